#pragma once

#include "platform/ui/lists/IndexPath.h"
#include "platform/ui/lists/TypeName.h"
#include "platform/ui/lists/UICollectionReusableView.h"
#include "platform/ui/lists/UICollectionViewCell.h"
#include "platform/ui/lists/UICollectionViewFlowLayout.h"
#include "platform/ui/lists/UICollectionViewLayout.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/lists/detail/CellTapTracker.h"
#include "platform/ui/lists/detail/ListDiagnostics.h"
#include "platform/ui/lists/detail/ReuseQueue.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

class UICollectionView;

// What a collection view shows. Held weakly by the collection view.
class UICollectionViewDataSource {
public:
    virtual ~UICollectionViewDataSource() = default;

    virtual int numberOfSections(UICollectionView&) { return 1; }
    virtual int numberOfItems(UICollectionView&, int section) = 0;
    // Usually a cell from dequeueReusableCell for the same index path.
    virtual std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) = 0;
    // Headers and footers of the layout (kinds UICollectionElementKindSectionHeader/Footer).
    virtual std::shared_ptr<UICollectionReusableView> viewForSupplementaryElement(
        UICollectionView&, const std::string& /*kind*/, const IndexPath&)
    {
        return nullptr;
    }
};

// What a collection view tells about its items (and, as a scroll view, about scrolling). Every
// method is optional. Held weakly.
class UICollectionViewDelegate : public virtual UIScrollViewDelegate {
public:
    virtual void didSelectItem(UICollectionView&, const IndexPath&) { }
    virtual void didDeselectItem(UICollectionView&, const IndexPath&) { }
    virtual void willDisplayCell(UICollectionView&, UICollectionViewCell&, const IndexPath&) { }
    virtual void didEndDisplayingCell(UICollectionView&, UICollectionViewCell&, const IndexPath&) { }
};

// The flow layout's questions to the delegate; no answer (nullopt) means the layout's property.
class UICollectionViewDelegateFlowLayout : public virtual UICollectionViewDelegate {
public:
    virtual std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&)
    {
        return std::nullopt;
    }
    virtual std::optional<UIEdgeInsets> insetForSection(
        UICollectionView&, UICollectionViewLayout&, int /*section*/)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int)
    {
        return std::nullopt;
    }
    virtual std::optional<CGSize> referenceSizeForHeader(UICollectionView&, UICollectionViewLayout&, int)
    {
        return std::nullopt;
    }
    virtual std::optional<CGSize> referenceSizeForFooter(UICollectionView&, UICollectionViewLayout&, int)
    {
        return std::nullopt;
    }
};

// Where scrollToItem puts the item; one vertical and one horizontal value may be combined.
enum UICollectionViewScrollPosition : unsigned {
    UICollectionViewScrollPositionNone = 0,
    UICollectionViewScrollPositionTop = 1 << 0,
    UICollectionViewScrollPositionCenteredVertically = 1 << 1,
    UICollectionViewScrollPositionBottom = 1 << 2,
    UICollectionViewScrollPositionLeft = 1 << 3,
    UICollectionViewScrollPositionCenteredHorizontally = 1 << 4,
    UICollectionViewScrollPositionRight = 1 << 5,
};

// A scroll view of items placed by a layout. Views exist only for the elements inside the
// bounds: the layout pass (layoutSubviews, and every change of the content offset) asks the
// layout for the elements in the bounds, shows new ones through the data source (which dequeues
// them) and puts those that left into the reuse queue of their identifier, to be handed out
// again after prepareForReuse. A tap on a cell (touches that no recogniser or control took)
// highlights and selects it and tells the delegate.
class UICollectionView : public UIScrollView {
public:
    using CellFactory = std::function<std::shared_ptr<UICollectionViewCell>()>;
    using SupplementaryFactory = std::function<std::shared_ptr<UICollectionReusableView>()>;
    // Passes of one layout run (self-sizing cells may need more than one).
    static constexpr int maximumLayoutPasses = 8;

    // A null layout gets a flow layout.
    UICollectionView(const CGRect& frame, std::shared_ptr<UICollectionViewLayout> layout);
    ~UICollectionView() override;

    std::string className() const override { return "UICollectionView"; }

    const std::shared_ptr<UICollectionViewLayout>& collectionViewLayout() const { return m_layout; }
    void setCollectionViewLayout(std::shared_ptr<UICollectionViewLayout> layout);

    std::shared_ptr<UICollectionViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(std::weak_ptr<UICollectionViewDataSource> dataSource);
    std::shared_ptr<UICollectionViewDelegate> delegate() const;
    void setDelegate(std::weak_ptr<UICollectionViewDelegate> delegate);

    // ---- Registration and reuse ----
    void registerClass(CellFactory factory, const std::string& reuseIdentifier);
    template<typename Cell> void registerClass(const std::string& reuseIdentifier)
    {
        static_assert(std::is_base_of_v<UICollectionViewCell, Cell>);
        registerClass(CellFactory([] { return std::make_shared<Cell>(); }), reuseIdentifier);
    }
    void registerClass(
        SupplementaryFactory factory, const std::string& kind, const std::string& reuseIdentifier);
    template<typename View>
    void registerSupplementaryClass(const std::string& kind, const std::string& reuseIdentifier)
    {
        static_assert(std::is_base_of_v<UICollectionReusableView, View>);
        registerClass(SupplementaryFactory([] { return std::make_shared<View>(); }), kind, reuseIdentifier);
    }

    // A cell of the class registered under the identifier: an idle one (after prepareForReuse)
    // or a new one, already given the layout's frame for the index path. Null when nothing is
    // registered under the identifier.
    std::shared_ptr<UICollectionViewCell> dequeueReusableCell(
        const std::string& reuseIdentifier, const IndexPath& indexPath);
    // The same as the class asked for; any other class stops the program with a message naming
    // the class asked for.
    template<typename Cell>
    std::shared_ptr<Cell> dequeueReusableCell(const std::string& reuseIdentifier, const IndexPath& indexPath)
    {
        auto cell = std::dynamic_pointer_cast<Cell>(dequeueReusableCell(reuseIdentifier, indexPath));
        if (!cell)
            detail::listFatalError("Couldn't find UICollectionViewCell for " + unqualifiedTypeName<Cell>()
                + ", make sure the cell is registered with collection view");
        return cell;
    }
    std::shared_ptr<UICollectionReusableView> dequeueReusableSupplementaryView(
        const std::string& kind, const std::string& reuseIdentifier, const IndexPath& indexPath);
    template<typename View>
    std::shared_ptr<View> dequeueReusableSupplementaryView(
        const std::string& kind, const std::string& reuseIdentifier, const IndexPath& indexPath)
    {
        auto view = std::dynamic_pointer_cast<View>(
            dequeueReusableSupplementaryView(kind, reuseIdentifier, indexPath));
        if (!view)
            detail::listFatalError("Couldn't find UICollectionReusableView for " + unqualifiedTypeName<View>()
                + ", make sure the view is registered with collection view");
        return view;
    }

    // ---- Data ----
    // Forgets the counts, the selection and the shown views; the next layout pass asks again.
    void reloadData();
    void reloadItems(const std::vector<IndexPath>& indexPaths);
    // Asks the data source again for the shown cells at these index paths; dequeuing for such a
    // path gives back the cell shown there, unprepared, so that it keeps its place, its highlight
    // and a finger that is on it. Paths not shown are left to the next layout pass.
    void reconfigureItems(const std::vector<IndexPath>& indexPaths);
    void reloadSections(const IndexSet& sections);
    // From the data source (asked again after a reload).
    int numberOfSections();
    int numberOfItems(int section);

    // ---- Shown elements ----
    // In index path order.
    std::vector<std::shared_ptr<UICollectionViewCell>> visibleCells() const;
    std::vector<IndexPath> indexPathsForVisibleItems() const;
    std::shared_ptr<UICollectionViewCell> cellForItem(const IndexPath& indexPath) const;
    std::optional<IndexPath> indexPathForCell(const UICollectionViewCell& cell) const;
    std::shared_ptr<UICollectionReusableView> supplementaryView(
        const std::string& kind, const IndexPath& indexPath) const;
    std::vector<std::shared_ptr<UICollectionReusableView>> visibleSupplementaryViews(
        const std::string& kind) const;
    // The item under a point of the content (lays the view out first).
    std::optional<IndexPath> indexPathForItem(CGPoint point);
    UICollectionViewLayoutAttributesPtr layoutAttributesForItem(const IndexPath& indexPath);
    UICollectionViewLayoutAttributesPtr layoutAttributesForSupplementaryElement(
        const std::string& kind, const IndexPath& indexPath);

    // ---- Selection ----
    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows) { m_allowsSelection = allows; }
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool allows) { m_allowsMultipleSelection = allows; }
    std::vector<IndexPath> indexPathsForSelectedItems() const
    {
        return { m_selected.begin(), m_selected.end() };
    }
    // Without telling the delegate, as on the phone.
    void selectItem(const IndexPath& indexPath, bool animated, unsigned scrollPosition);
    void deselectItem(const IndexPath& indexPath, bool animated);

    // Runs the updates (changes the caller makes to what the data source answers), lays the list
    // out again for them and then calls the completion with true.
    void performBatchUpdates(
        const std::function<void()>& updates, const std::function<void(bool)>& completion = {});

    // ---- Scrolling ----
    void scrollToItem(const IndexPath& indexPath, unsigned scrollPosition, bool animated);

    // Lays out the elements for the current bounds (see the class comment).
    void layoutSubviews() override;

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

    // Views waiting in the reuse queues (for tests and diagnostics).
    std::size_t idleViewCount() const { return m_cellQueue.idleCount() + m_supplementaryQueue.idleCount(); }

protected:
    void contentOffsetDidChange() override;
    void boundsSizeDidChange() override;

private:
    struct SupplementaryKey {
        std::string kind;
        IndexPath indexPath;
        auto operator<=>(const SupplementaryKey&) const = default;
    };

    static std::string supplementaryQueueKey(const std::string& kind, const std::string& identifier);
    void ensureCounts();
    void updateElements();
    void placeElements();
    void applyAttributes(UICollectionReusableView& view, const UICollectionViewLayoutAttributes& attributes);
    void insertElementView(const std::shared_ptr<UIView>& view);
    void retireCell(const IndexPath& indexPath, const std::shared_ptr<UICollectionViewCell>& cell);
    void retireSupplementary(
        const SupplementaryKey& key, const std::shared_ptr<UICollectionReusableView>& view);
    void retireAll();
    void orderByZIndex();
    void selectTappedItem(const IndexPath& indexPath);

    std::shared_ptr<UICollectionViewLayout> m_layout;
    std::weak_ptr<UICollectionViewDataSource> m_dataSource;
    detail::ReuseQueue<UICollectionViewCell> m_cellQueue;
    detail::ReuseQueue<UICollectionReusableView> m_supplementaryQueue;
    std::map<IndexPath, std::shared_ptr<UICollectionViewCell>> m_cells;
    std::map<SupplementaryKey, std::shared_ptr<UICollectionReusableView>> m_supplementary;
    std::map<const UIView*, int> m_zIndex;
    // Attributes of the element being configured, so that dequeue can size it.
    UICollectionViewLayoutAttributesPtr m_configuring;
    // The shown cell that dequeue hands back for its index path while it is reconfigured.
    std::shared_ptr<UICollectionViewCell> m_reconfiguring;
    IndexPath m_reconfiguringPath;
    std::vector<int> m_itemCounts;
    std::set<IndexPath> m_selected;
    // Counts reloads, so that a layout pass notices one made by a call out.
    unsigned m_generation = 0;
    detail::CellTapTracker<UICollectionViewCell> m_tap;
    bool m_countsValid = false;
    bool m_updating = false;
    bool m_updateAgain = false;
    bool m_allowsSelection = true;
    bool m_allowsMultipleSelection = false;
};
