#include "platform/ui/refresh/MJRefreshComponent.h"

#include "platform/ui/gestures/UIPanGestureRecognizer.h"

MJRefreshComponent::MJRefreshComponent(RefreshingBlock refreshingBlock)
    : m_refreshingBlock(std::move(refreshingBlock))
{
    setBackgroundColor(UIColor::clear());
}

MJRefreshComponent::~MJRefreshComponent()
{
    stopObserving();
}

void MJRefreshComponent::setState(MJRefreshState state)
{
    m_state = state;
    setNeedsLayout();
}

void MJRefreshComponent::beginRefreshing()
{
    setPullingPercent(1);
    if (window()) {
        setState(MJRefreshState::refreshing);
        return;
    }
    if (m_state != MJRefreshState::refreshing)
        setState(MJRefreshState::willRefresh);
}

void MJRefreshComponent::endRefreshing()
{
    setState(MJRefreshState::idle);
}

void MJRefreshComponent::addPart(std::shared_ptr<UIView> part)
{
    m_pendingParts.push_back(std::move(part));
    attachParts();
}

void MJRefreshComponent::attachParts()
{
    // A view can take subviews only once it is owned.
    if (m_pendingParts.empty() || weak_from_this().expired())
        return;
    auto parts = std::move(m_pendingParts);
    m_pendingParts.clear();
    for (auto& part : parts)
        addSubview(part);
}

void MJRefreshComponent::executeRefreshingCallback()
{
    // The block may drop the last other owner of the control.
    auto keep = weak_from_this().lock();
    if (m_refreshingBlock)
        m_refreshingBlock();
}

// ---- Joining a scroll view ----

void MJRefreshComponent::stopObserving()
{
    auto scroll = m_scrollView.lock();
    if (scroll && m_observer)
        scroll->removeObserver(*m_observer);
    m_observer.reset();
    m_scrollView.reset();
}

void MJRefreshComponent::willMoveToSuperview(UIView* newSuperview)
{
    UIView::willMoveToSuperview(newSuperview);
    auto old = m_scrollView.lock();
    if (old && old.get() == newSuperview)
        return;
    if (old)
        willLeaveScrollView(*old);
    stopObserving();
}

void MJRefreshComponent::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    attachParts();
    auto scroll = std::dynamic_pointer_cast<UIScrollView>(superview());
    if (!scroll || scroll == m_scrollView.lock())
        return;
    m_scrollView = scroll;
    // A list shorter than its view must still be pulled.
    scroll->setAlwaysBounceVertical(true);
    m_scrollViewOriginalInset = scroll->adjustedContentInset();
    m_previousOffset = scroll->contentOffset();
    std::weak_ptr<UIView> weak = weakFromThis();
    m_observer = scroll->addObserver([weak](UIScrollView& scrollView, UIScrollViewChange change) {
        if (auto self = std::static_pointer_cast<MJRefreshComponent>(weak.lock()))
            self->scrollViewDidChange(scrollView, change);
    });
    didJoinScrollView(*scroll);
    placeSubviews();
}

void MJRefreshComponent::didMoveToWindow()
{
    UIView::didMoveToWindow();
    if (m_state == MJRefreshState::willRefresh && window())
        setState(MJRefreshState::refreshing);
}

void MJRefreshComponent::scrollViewDidChange(UIScrollView& scrollView, UIScrollViewChange change)
{
    auto keep = weak_from_this().lock();
    if (!isUserInteractionEnabled())
        return;
    if (change == UIScrollViewChange::contentSize)
        scrollViewContentSizeDidChange();
    if (isHidden())
        return;
    if (change == UIScrollViewChange::contentOffset) {
        scrollViewContentOffsetDidChange();
        m_previousOffset = scrollView.contentOffset();
    } else if (change == UIScrollViewChange::panState) {
        scrollViewPanStateDidChange(scrollView.panGestureRecognizer()->state());
    }
}

// ---- Layout ----

void MJRefreshComponent::layoutSubviews()
{
    UIView::layoutSubviews();
    attachParts();
    placeSubviews();
}

void MJRefreshComponent::placeSubviews()
{
    auto scroll = m_scrollView.lock();
    if (!scroll)
        return;
    // As wide as the scroll view, from its left edge.
    CGRect f = frame();
    f.origin.x = -scroll->adjustedContentInset().left;
    f.size.width = scroll->bounds().size.width;
    if (f != frame())
        setFrame(f);
}
