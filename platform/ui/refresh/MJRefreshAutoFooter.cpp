#include "platform/ui/refresh/MJRefreshAutoFooter.h"

MJRefreshAutoFooter::MJRefreshAutoFooter(RefreshingBlock refreshingBlock)
    : MJRefreshFooter(std::move(refreshingBlock))
{ }

void MJRefreshAutoFooter::adjustBottomInset(UIScrollView& scrollView, CGFloat delta)
{
    UIEdgeInsets inset = scrollView.contentInset();
    inset.bottom += delta;
    scrollView.setContentInset(inset);
}

void MJRefreshAutoFooter::didJoinScrollView(UIScrollView& scrollView)
{
    if (!isHidden())
        adjustBottomInset(scrollView, frame().size.height);
    placeBelowContent();
}

void MJRefreshAutoFooter::willLeaveScrollView(UIScrollView& scrollView)
{
    if (!isHidden())
        adjustBottomInset(scrollView, -frame().size.height);
}

void MJRefreshAutoFooter::setHidden(bool hidden)
{
    bool was = isHidden();
    MJRefreshFooter::setHidden(hidden);
    auto scroll = scrollView();
    if (!scroll || was == hidden)
        return;
    if (hidden) {
        setState(MJRefreshState::idle);
        adjustBottomInset(*scroll, -frame().size.height);
    } else {
        adjustBottomInset(*scroll, frame().size.height);
        placeBelowContent();
    }
}

void MJRefreshAutoFooter::placeBelowContent()
{
    auto scroll = scrollView();
    if (!scroll)
        return;
    CGRect f = frame();
    f.origin.y = scroll->contentSize().height + ignoredScrollViewContentInsetBottom;
    if (f != frame())
        setFrame(f);
}

void MJRefreshAutoFooter::placeSubviews()
{
    MJRefreshFooter::placeSubviews();
    placeBelowContent();
}

void MJRefreshAutoFooter::scrollViewContentSizeDidChange()
{
    placeBelowContent();
}

void MJRefreshAutoFooter::scrollViewContentOffsetDidChange()
{
    auto scroll = scrollView();
    if (!scroll || state() != MJRefreshState::idle || !isAutomaticallyRefresh || frame().origin.y == 0)
        return;
    UIEdgeInsets inset = scroll->adjustedContentInset();
    CGFloat viewHeight = scroll->bounds().size.height;
    CGFloat contentHeight = scroll->contentSize().height;
    // Short content is handled when a drag ends.
    if (inset.top + contentHeight <= viewHeight)
        return;
    CGFloat h = frame().size.height;
    CGFloat offsetY = scroll->contentOffset().y;
    CGFloat threshold
        = contentHeight - viewHeight + h * triggerAutomaticallyRefreshPercent + inset.bottom - h;
    // Only on the way down (not while the content springs back up after a release).
    if (offsetY >= threshold && offsetY > previousContentOffset().y)
        beginRefreshing();
}

void MJRefreshAutoFooter::scrollViewPanStateDidChange(UIGestureRecognizerState panState)
{
    auto scroll = scrollView();
    if (!scroll || state() != MJRefreshState::idle || panState != UIGestureRecognizerState::ended)
        return;
    UIEdgeInsets inset = scroll->adjustedContentInset();
    CGFloat viewHeight = scroll->bounds().size.height;
    CGFloat contentHeight = scroll->contentSize().height;
    CGFloat offsetY = scroll->contentOffset().y;
    if (inset.top + contentHeight <= viewHeight) {
        // Content shorter than the list: a drag up loads more.
        if (offsetY >= -inset.top)
            beginRefreshing();
    } else if (offsetY >= contentHeight + inset.bottom - viewHeight) {
        beginRefreshing();
    }
}

void MJRefreshAutoFooter::setState(MJRefreshState newState)
{
    MJRefreshState old = state();
    if (old == newState)
        return;
    MJRefreshFooter::setState(newState);
    if (newState == MJRefreshState::refreshing)
        executeRefreshingCallback();
}
