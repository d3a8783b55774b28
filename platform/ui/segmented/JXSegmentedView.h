#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/segmented/JXSegmentedBaseCell.h"
#include "platform/ui/segmented/JXSegmentedBaseDataSource.h"
#include "platform/ui/segmented/JXSegmentedIndicatorBaseView.h"
#include "platform/ui/segmented/JXSegmentedTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class JXSegmentedView;

namespace detail {
class JXSegmentedCollectionAdapter;
}

// What a tab bar tells its owner. Every method is optional.
class JXSegmentedViewDelegate {
public:
    virtual ~JXSegmentedViewDelegate() = default;

    // After every selection, whatever made it (code, tap, page swipe), also of the item that was
    // already selected.
    virtual void didSelectedItemAt(JXSegmentedView&, int /*index*/) { }
    // A tap selected the item (before didSelectedItemAt).
    virtual void didClickSelectedItemAt(JXSegmentedView&, int /*index*/) { }
    // A swipe of the page container settled on the item's page (before didSelectedItemAt).
    virtual void didScrollSelectedItemAt(JXSegmentedView&, int /*index*/) { }
    // False ignores a tap on the item.
    virtual bool canClickItemAt(JXSegmentedView&, int /*index*/) { return true; }
};

// The pages under a tab bar (JXSegmentedListContainerView). The bar tells it of reloads and
// of selections by tap or code; the container tells the bar when a swipe settles on a page.
class JXSegmentedViewListContainer {
public:
    using PageSettledHandler = std::function<void(int index)>;

    virtual ~JXSegmentedViewListContainer() = default;
    virtual void setDefaultSelectedIndex(int index) = 0;
    virtual void reloadData() = 0;
    // Shows the page of the index (the item was selected by tap or code).
    virtual void didClickSelectedItem(int index) = 0;
    virtual void setPageSettledHandler(PageSettledHandler handler) = 0;
};

// A horizontal bar of items (tabs) over a collection view of the data source's cells, with
// indicators over the selected item and, optionally, a page container that follows the
// selection. Items are laid out left to right: the content edge inset, the first item, the
// spacing, the next item... ; when they do not fill the bar and the data source asks for it,
// the space left over is shared out as spacing. The bar scrolls when the items are wider than it.
//
// The first layout builds the items if no reload has yet.
class JXSegmentedView : public UIView {
public:
    JXSegmentedView();
    explicit JXSegmentedView(const CGRect& frame);
    ~JXSegmentedView() override;

    std::string className() const override { return "JXSegmentedView"; }

    const std::shared_ptr<JXSegmentedBaseDataSource>& dataSource() const { return m_dataSource; }
    void setDataSource(std::shared_ptr<JXSegmentedBaseDataSource> dataSource);
    // Held weakly.
    std::shared_ptr<JXSegmentedViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<JXSegmentedViewDelegate> delegate) { m_delegate = std::move(delegate); }
    // Held weakly; it gets the default selected index now and follows the selection from then on.
    std::shared_ptr<JXSegmentedViewListContainer> listContainer() const { return m_listContainer.lock(); }
    void setListContainer(std::weak_ptr<JXSegmentedViewListContainer> listContainer);
    const std::vector<std::shared_ptr<JXSegmentedIndicatorBaseView>>& indicators() const
    {
        return m_indicators;
    }
    void setIndicators(std::vector<std::shared_ptr<JXSegmentedIndicatorBaseView>> indicators);

    // The collection view holding the item cells (data sources register their cells here).
    const std::shared_ptr<UICollectionView>& collectionView() const { return m_collectionView; }

    // The item selected before the first reload (also passed to the list container).
    int defaultSelectedIndex() const { return m_defaultSelectedIndex; }
    void setDefaultSelectedIndex(int index);
    int selectedIndex() const { return m_selectedIndex; }

    // Space before the first item and after the last; automatic takes the item spacing.
    CGFloat contentEdgeInsetLeft() const { return m_contentEdgeInsetLeft; }
    void setContentEdgeInsetLeft(CGFloat inset);
    CGFloat contentEdgeInsetRight() const { return m_contentEdgeInsetRight; }
    void setContentEdgeInsetRight(CGFloat inset);

    // The item models of the last reload.
    const std::vector<std::shared_ptr<JXSegmentedBaseItemModel>>& itemDataSource() const { return m_items; }
    // Spacing between items as laid out (after any sharing out of free space).
    CGFloat resolvedItemSpacing() const { return m_innerItemSpacing; }
    // The item's frame in the content of the collection view; zero outside the items.
    CGRect itemFrame(int index) const;

    // Rebuilds the items from the data source, then the list container's pages.
    void reloadData();
    // Rebuilds the items only; the pages stay as they are.
    void reloadDataWithoutListContainer();
    // Refreshes one item's model from the data source and its cell.
    void reloadItem(int index);

    // Selects by code: the page container shows the item's page.
    void selectItemAt(int index) { selectItemAt(index, JXSegmentedViewItemSelectedType::code); }
    void selectItemAt(int index, JXSegmentedViewItemSelectedType selectedType);

    // For data sources: a cell of the class registered under the identifier, for the item.
    std::shared_ptr<JXSegmentedBaseCell> dequeueReusableCell(const std::string& reuseIdentifier, int index);
    template<typename Cell>
    std::shared_ptr<Cell> dequeueReusableCell(const std::string& reuseIdentifier, int index)
    {
        return m_collectionView->dequeueReusableCell<Cell>(reuseIdentifier, IndexPath(index, 0));
    }
    // The cell shown for the item, if it is in view.
    std::shared_ptr<JXSegmentedBaseCell> cellForItem(int index) const;

    void layoutSubviews() override;
    void didMoveToSuperview() override;

private:
    friend class detail::JXSegmentedCollectionAdapter;

    void attachCollectionView();
    bool isValidIndex(int index) const { return index >= 0 && index < static_cast<int>(m_items.size()); }
    void updateMetrics();
    void applyMetricsToLayout();
    JXSegmentedIndicatorSelectedParams selectedParams(JXSegmentedViewItemSelectedType type) const;
    void refreshIndicators();
    void scrollSelectedItemIntoView();
    void itemTapped(int index);
    void pageSettled(int index);

    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<detail::JXSegmentedCollectionAdapter> m_adapter;
    std::shared_ptr<JXSegmentedBaseDataSource> m_dataSource;
    // The data source the shown items came from.
    std::shared_ptr<JXSegmentedBaseDataSource> m_loadedDataSource;
    std::weak_ptr<JXSegmentedViewDelegate> m_delegate;
    std::weak_ptr<JXSegmentedViewListContainer> m_listContainer;
    std::vector<std::shared_ptr<JXSegmentedIndicatorBaseView>> m_indicators;
    std::vector<std::shared_ptr<JXSegmentedBaseItemModel>> m_items;
    std::vector<CGFloat> m_itemX;
    int m_defaultSelectedIndex = 0;
    int m_selectedIndex = 0;
    CGFloat m_contentEdgeInsetLeft = JXSegmentedViewAutomaticDimension;
    CGFloat m_contentEdgeInsetRight = JXSegmentedViewAutomaticDimension;
    CGFloat m_leftInset = 0;
    CGFloat m_rightInset = 0;
    CGFloat m_innerItemSpacing = 0;
    CGSize m_metricsSize { -1, -1 };
    bool m_loaded = false;
};
