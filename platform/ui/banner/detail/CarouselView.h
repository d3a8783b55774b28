#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/lists/UICollectionView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class Timer;

namespace detail {

enum class CarouselAlignment {
    // The item at rest starts at the left inset.
    leading,
    // The item at rest sits in the middle.
    center,
};

// The engine of the banner and pager views: one row of equal items in a horizontal collection
// view, item k resting at a content offset of k steps (item width plus spacing). An infinite
// carousel of two or more items shows its items many times over and starts in the middle copy,
// moving back by whole copies when it comes to rest near either end, so it never runs out. Items
// are numbered 0..n-1 in every copy. Auto-sliding moves one item on each tick of a run-loop timer
// (while in a window, not dragged, with two items or more); a finite carousel goes back to the
// first item after the last. A release snaps to an item when paging (one item in the direction of
// a flick). A tap on an item selects it.
//
// Subclasses (the public frameworks) answer the questions below.
class CarouselView : public UIView, public UICollectionViewDataSource, public UICollectionViewDelegate {
public:
    using CellFactory = UICollectionView::CellFactory;
    // Copies of the items an infinite carousel holds, at the least.
    static constexpr int minimumCopies = 3;

    struct Settings {
        // Zero: the carousel's size inside the insets.
        CGSize itemSize;
        CGFloat itemSpacing = 0;
        CarouselAlignment alignment = CarouselAlignment::center;
        UIEdgeInsets contentInset;
        bool infinite = false;
        bool paging = true;
        // Seconds between slides; 0 for none.
        double slideInterval = 0;
        // A finite carousel's way back from the last item to the first.
        bool animatesBackToStart = true;
        // Adjusts an item's attributes for its position (0: at rest, -1: one step before, 1: after).
        std::function<void(UICollectionViewLayoutAttributes&, CGFloat position)> transform;
    };

    CarouselView();
    ~CarouselView() override;

    const std::shared_ptr<UICollectionView>& collectionView() const { return m_collectionView; }

    // Item count from the last reload.
    int itemCount() const { return m_count; }
    // Position in items: k at rest on item k; in an infinite carousel between n - 1 and n while
    // moving from the last item round to the first.
    CGFloat position() const;
    // The item nearest the position.
    int nearestItem() const;
    // To the copy of the item nearest the current position.
    void scrollToItem(int index, bool animated);
    // Asks the counts and settings again and shows the items from the current one (clamped).
    void reload();

    void layoutSubviews() override;
    void didMoveToWindow() override;

    // ---- The collection view's questions (answered for the subclasses) ----
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;
    void scrollViewDidScroll(UIScrollView&) override;
    void scrollViewWillBeginDragging(UIScrollView&) override;
    void scrollViewWillEndDragging(UIScrollView&, CGPoint velocity, CGPoint& targetContentOffset) override;
    void scrollViewDidEndDragging(UIScrollView&, bool willDecelerate) override;
    void scrollViewDidEndDecelerating(UIScrollView&) override;
    void scrollViewDidEndScrollingAnimation(UIScrollView&) override;

protected:
    virtual Settings carouselSettings() = 0;
    virtual int carouselNumberOfItems() = 0;
    // Usually a cell from dequeueCell.
    virtual std::shared_ptr<UICollectionViewCell> carouselCell(int index) = 0;
    virtual void carouselDidSelect(int) { }
    virtual void carouselDidScroll() { }
    virtual void carouselDidEndScrollAnimation() { }

    void registerCell(CellFactory factory, const std::string& identifier);
    // While a cell is asked for: a cell of the identifier for that item (null when the identifier
    // is not registered or no cell is being asked for).
    std::shared_ptr<UICollectionViewCell> dequeueCell(const std::string& identifier);

    const Settings& settings() const { return m_settings; }

private:
    class Layout;

    // Puts the collection view in place once the carousel is owned.
    bool attach();
    int copies() const;
    CGFloat step() const;
    CGFloat displayedPosition() const;
    CGPoint offsetForDisplayed(int displayed) const;
    // Rests on the item (in the middle copy), without animation.
    void show(int item);
    // Back to the middle copy, without a visible move.
    void recenter();
    void updateTimer();
    void slide(Timer&);

    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<Layout> m_layout;
    std::shared_ptr<Timer> m_timer;
    Settings m_settings;
    int m_count = 0;
    std::optional<IndexPath> m_configuring;
    bool m_dragging = false;
    bool m_loaded = false;
};

}
