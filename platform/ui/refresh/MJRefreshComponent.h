#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/lists/UIScrollView.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

enum class MJRefreshState {
    // At rest.
    idle = 1,
    // Pulled far enough: letting go refreshes.
    pulling,
    refreshing,
    // Told to refresh before it was on screen; refreshes once it is in a window.
    willRefresh,
    // A footer that has loaded everything.
    noMoreData,
};

// Base of the pull-to-refresh controls that sit at the edges of a scroll view's content. Put in
// a scroll view (setMjHeader / setMjFooter), a control watches the scroll view's offset, content
// size and drags; when it refreshes it runs its refreshing block; the owner ends the refresh with
// endRefreshing() when its data has come. Animations run on the main run loop's clock: their end
// values apply at once and their completions follow their duration later.
class MJRefreshComponent : public UIView {
public:
    using RefreshingBlock = std::function<void()>;
    static constexpr double fastAnimationDuration = 0.25;
    static constexpr double slowAnimationDuration = 0.4;

    explicit MJRefreshComponent(RefreshingBlock refreshingBlock = {});
    ~MJRefreshComponent() override;

    std::string className() const override { return "MJRefreshComponent"; }

    const RefreshingBlock& refreshingBlock() const { return m_refreshingBlock; }
    void setRefreshingBlock(RefreshingBlock block) { m_refreshingBlock = std::move(block); }

    MJRefreshState state() const { return m_state; }
    // Subclasses react to the change (texts, insets) and call the base first.
    virtual void setState(MJRefreshState state);
    // Refreshing, or about to once on screen.
    bool isRefreshing() const
    {
        return m_state == MJRefreshState::refreshing || m_state == MJRefreshState::willRefresh;
    }
    // Refreshes now when on screen, else as soon as it is.
    void beginRefreshing();
    // Back to idle (a footer also leaves its no-more-data state).
    void endRefreshing();

    // How far the control has been pulled into view (1: all of it).
    CGFloat pullingPercent() const { return m_pullingPercent; }
    virtual void setPullingPercent(CGFloat percent) { m_pullingPercent = percent; }

    // The scroll view it sits in, if any.
    std::shared_ptr<UIScrollView> scrollView() const { return m_scrollView.lock(); }

    void willMoveToSuperview(UIView* newSuperview) override;
    void didMoveToSuperview() override;
    void didMoveToWindow() override;
    void layoutSubviews() override;

protected:
    // Places the control and its subviews for the scroll view's current geometry.
    virtual void placeSubviews();
    virtual void scrollViewContentOffsetDidChange() { }
    virtual void scrollViewContentSizeDidChange() { }
    virtual void scrollViewPanStateDidChange(UIGestureRecognizerState) { }
    // The control is leaving `scrollView` or joining it.
    virtual void willLeaveScrollView(UIScrollView&) { }
    virtual void didJoinScrollView(UIScrollView&) { }

    // Subviews made in constructors: they are added once the control is owned.
    void addPart(std::shared_ptr<UIView> part);
    // Runs the refreshing block (the block may end the refresh at once).
    void executeRefreshingCallback();
    // The insets of the scroll view before the control changed them.
    UIEdgeInsets scrollViewOriginalInset() const { return m_scrollViewOriginalInset; }
    void setScrollViewOriginalInset(UIEdgeInsets insets) { m_scrollViewOriginalInset = insets; }
    // The offset before the latest change (for the direction of a scroll).
    CGPoint previousContentOffset() const { return m_previousOffset; }

private:
    void attachParts();
    void scrollViewDidChange(UIScrollView& scrollView, UIScrollViewChange change);
    void stopObserving();

    std::vector<std::shared_ptr<UIView>> m_pendingParts;

    RefreshingBlock m_refreshingBlock;
    MJRefreshState m_state = MJRefreshState::idle;
    CGFloat m_pullingPercent = 0;
    std::weak_ptr<UIScrollView> m_scrollView;
    std::optional<UIScrollView::ObserverId> m_observer;
    UIEdgeInsets m_scrollViewOriginalInset;
    CGPoint m_previousOffset;
};
