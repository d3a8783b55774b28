#include "platform/ui/refresh/MJRefreshHeader.h"

#include <map>

namespace {

std::map<std::string, Date>& lastUpdatedTimes()
{
    static std::map<std::string, Date> times;
    return times;
}

}

MJRefreshHeader::MJRefreshHeader(RefreshingBlock refreshingBlock)
    : MJRefreshComponent(std::move(refreshingBlock))
{
    setFrame({ { 0, -height }, { 0, height } });
}

std::optional<Date> MJRefreshHeader::lastUpdatedTime() const
{
    auto& times = lastUpdatedTimes();
    auto it = times.find(lastUpdatedTimeKey);
    if (it == times.end())
        return std::nullopt;
    return it->second;
}

void MJRefreshHeader::placeSubviews()
{
    MJRefreshComponent::placeSubviews();
    CGRect f = frame();
    f.origin.y = -f.size.height - ignoredScrollViewContentInsetTop;
    if (f != frame())
        setFrame(f);
}

void MJRefreshHeader::scrollViewContentOffsetDidChange()
{
    auto scroll = scrollView();
    if (!scroll || state() == MJRefreshState::refreshing)
        return;
    UIEdgeInsets original = scroll->adjustedContentInset();
    setScrollViewOriginalInset(original);
    CGFloat offsetY = scroll->contentOffset().y;
    // Where the header starts to come into view, and where it is all in view.
    CGFloat visibleFrom = -original.top;
    if (offsetY > visibleFrom)
        return;
    CGFloat h = frame().size.height;
    CGFloat fullyVisibleAt = visibleFrom - h;
    CGFloat percent = h > 0 ? (visibleFrom - offsetY) / h : 0;

    if (scroll->isDragging()) {
        setPullingPercent(percent);
        if (state() == MJRefreshState::idle && offsetY < fullyVisibleAt)
            setState(MJRefreshState::pulling);
        else if (state() == MJRefreshState::pulling && offsetY >= fullyVisibleAt)
            setState(MJRefreshState::idle);
    } else if (state() == MJRefreshState::pulling) {
        // Let go while pulled far enough.
        beginRefreshing();
    } else if (percent < 1) {
        setPullingPercent(percent);
    }
}

void MJRefreshHeader::willLeaveScrollView(UIScrollView&)
{
    // The inset lent to a refresh goes back with the header.
    restoreInset();
}

void MJRefreshHeader::growInset()
{
    auto scroll = scrollView();
    if (!scroll || m_insetGrown)
        return;
    UIEdgeInsets original = scroll->adjustedContentInset();
    setScrollViewOriginalInset(original);
    CGFloat top = original.top + frame().size.height;
    m_insetTopDelta = top - original.top;
    m_insetGrown = true;
    UIEdgeInsets inset = scroll->contentInset();
    inset.top += m_insetTopDelta;
    scroll->setContentInset(inset);
    CGPoint offset = scroll->contentOffset();
    offset.y = -scroll->adjustedContentInset().top;
    scroll->setContentOffset(offset);
}

void MJRefreshHeader::restoreInset()
{
    auto scroll = scrollView();
    if (!scroll || !m_insetGrown)
        return;
    m_insetGrown = false;
    UIEdgeInsets inset = scroll->contentInset();
    inset.top -= m_insetTopDelta;
    m_insetTopDelta = 0;
    scroll->setContentInset(inset);
}

void MJRefreshHeader::setState(MJRefreshState newState)
{
    MJRefreshState old = state();
    if (old == newState)
        return;
    MJRefreshComponent::setState(newState);
    std::weak_ptr<UIView> weak = weakFromThis();

    if (newState == MJRefreshState::refreshing) {
        unsigned generation = ++m_refreshGeneration;
        UIView::animate(
            fastAnimationDuration, [this] { growInset(); },
            [weak, generation](bool) {
                auto self = std::static_pointer_cast<MJRefreshHeader>(weak.lock());
                // Ended (or begun again) while moving in: this refresh is over.
                if (!self || self->m_refreshGeneration != generation
                    || self->state() != MJRefreshState::refreshing)
                    return;
                self->executeRefreshingCallback();
            });
        return;
    }
    if (newState == MJRefreshState::idle && old == MJRefreshState::refreshing) {
        ++m_refreshGeneration;
        lastUpdatedTimes()[lastUpdatedTimeKey] = Date::now();
        UIView::animate(
            slowAnimationDuration, [this] { restoreInset(); },
            [weak](bool) {
                auto self = std::static_pointer_cast<MJRefreshHeader>(weak.lock());
                if (self && self->state() == MJRefreshState::idle)
                    self->setPullingPercent(0);
            });
    }
}
