#include "platform/ui/lists/UIScrollView.h"

#include "platform/dispatch/Timer.h"
#include "platform/ui/gestures/UIPanGestureRecognizer.h"

#include <algorithm>
#include <cmath>

namespace {

// The scroll view's own drag: it fails as soon as the finger moves along an axis that the
// content cannot scroll on, so that an enclosing scroll view (or another recogniser) gets it.
// A drag that did ask to begin but is still possible is being held back until the recognisers
// it must wait for have failed: it keeps waiting rather than failing.
class ScrollViewPanGestureRecognizer final : public UIPanGestureRecognizer {
public:
    using UIPanGestureRecognizer::UIPanGestureRecognizer;

    std::string className() const override { return "UIScrollViewPanGestureRecognizer"; }

    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override
    {
        UIPanGestureRecognizer::touchesMoved(touches, event);
        if (state() != UIGestureRecognizerState::possible || m_askedToBegin)
            return;
        CGPoint t = translation(nullptr);
        if (std::hypot(t.x, t.y) < minimumMovement)
            return;
        if (shouldBeginWithTranslation(t))
            m_askedToBegin = true;
        else
            setState(UIGestureRecognizerState::failed);
    }

protected:
    void didReset() override
    {
        UIPanGestureRecognizer::didReset();
        m_askedToBegin = false;
    }

    bool shouldBeginWithTranslation(CGPoint t) const override
    {
        if (!UIPanGestureRecognizer::shouldBeginWithTranslation(t))
            return false;
        auto scrollView = std::dynamic_pointer_cast<UIScrollView>(view());
        if (!scrollView || !scrollView->isScrollEnabled())
            return false;
        if (std::abs(t.x) > std::abs(t.y))
            return scrollView->canScrollHorizontally();
        return scrollView->canScrollVertically();
    }

private:
    bool m_askedToBegin = false;
};

constexpr CGFloat rubberBandFactor = 0.5;

CGFloat clamp(CGFloat value, CGFloat low, CGFloat high)
{
    return std::max(low, std::min(value, high));
}

// Beyond an edge the content follows the finger at a fraction of its movement.
CGFloat rubberBand(CGFloat value, CGFloat low, CGFloat high, bool bounces)
{
    if (value < low)
        return bounces ? low + (value - low) * rubberBandFactor : low;
    if (value > high)
        return bounces ? high + (value - high) * rubberBandFactor : high;
    return value;
}

}

UIScrollView::UIScrollView()
    : UIScrollView(CGRect {})
{ }

UIScrollView::UIScrollView(const CGRect& frame)
    : UIView(frame)
{
    setUp();
}

UIScrollView::~UIScrollView()
{
    if (m_pending)
        m_pending->invalidate();
}

void UIScrollView::setUp()
{
    setClipsToBounds(true);
    m_pan = std::make_shared<ScrollViewPanGestureRecognizer>([](UIGestureRecognizer& recognizer) {
        auto scrollView = std::dynamic_pointer_cast<UIScrollView>(recognizer.view());
        if (scrollView)
            scrollView->handlePan(static_cast<UIPanGestureRecognizer&>(recognizer));
    });
}

void UIScrollView::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    // A view cannot hand itself to a recogniser while it is being constructed.
    if (!m_pan->view())
        addGestureRecognizer(m_pan);
}

// ---- Observers ----

UIScrollView::ObserverId UIScrollView::addObserver(Observer observer)
{
    ObserverId id = m_nextObserverId++;
    m_observers.emplace_back(id, std::move(observer));
    return id;
}

void UIScrollView::removeObserver(ObserverId id)
{
    std::erase_if(m_observers, [id](const auto& entry) { return entry.first == id; });
}

void UIScrollView::notifyObservers(UIScrollViewChange change)
{
    if (m_observers.empty())
        return;
    auto observers = m_observers;
    for (const auto& [id, observer] : observers) {
        bool stillThere = std::any_of(
            m_observers.begin(), m_observers.end(), [id = id](const auto& e) { return e.first == id; });
        if (stillThere && observer)
            observer(*this, change);
    }
}

// ---- Content ----

void UIScrollView::setContentOffset(CGPoint offset)
{
    CGRect b = bounds();
    if (b.origin == offset)
        return;
    b.origin = offset;
    setBounds(b);
}

void UIScrollView::setContentOffset(CGPoint offset, bool animated)
{
    stopDeceleration();
    bool moves = offset != contentOffset();
    setContentOffset(offset);
    if (animated && moves)
        scheduleAfter(scrollAnimationDuration, [](UIScrollView& self) {
            if (auto d = self.delegate())
                d->scrollViewDidEndScrollingAnimation(self);
        });
}

void UIScrollView::setContentSize(CGSize size)
{
    if (m_contentSize == size)
        return;
    UIEdgeInsets before = adjustedContentInset();
    m_contentSize = size;
    // The scrollable axes (and so the automatic insets) may have changed.
    keepOffsetAtRest(before);
    notifyObservers(UIScrollViewChange::contentSize);
}

void UIScrollView::setContentInset(UIEdgeInsets insets)
{
    if (m_contentInset == insets)
        return;
    UIEdgeInsets before = adjustedContentInset();
    m_contentInset = insets;
    keepOffsetAtRest(before);
    notifyObservers(UIScrollViewChange::contentInset);
}

void UIScrollView::setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior behavior)
{
    if (m_adjustmentBehavior == behavior)
        return;
    UIEdgeInsets before = adjustedContentInset();
    m_adjustmentBehavior = behavior;
    keepOffsetAtRest(before);
}

UIEdgeInsets UIScrollView::adjustedContentInset() const
{
    UIEdgeInsets result = m_contentInset;
    if (m_adjustmentBehavior == UIScrollViewContentInsetAdjustmentBehavior::never)
        return result;
    UIEdgeInsets safe = safeAreaInsets();
    CGSize size = bounds().size;
    bool horizontal = m_alwaysBounceHorizontal || m_contentSize.width > size.width;
    bool vertical = m_alwaysBounceVertical || m_contentSize.height > size.height;
    switch (m_adjustmentBehavior) {
    case UIScrollViewContentInsetAdjustmentBehavior::automatic:
        vertical = true;
        break;
    case UIScrollViewContentInsetAdjustmentBehavior::always:
        vertical = horizontal = true;
        break;
    case UIScrollViewContentInsetAdjustmentBehavior::scrollableAxes:
    case UIScrollViewContentInsetAdjustmentBehavior::never:
        break;
    }
    if (vertical) {
        result.top += safe.top;
        result.bottom += safe.bottom;
    }
    if (horizontal) {
        result.left += safe.left;
        result.right += safe.right;
    }
    return result;
}

CGPoint UIScrollView::minimumContentOffset() const
{
    UIEdgeInsets inset = adjustedContentInset();
    return { -inset.left, -inset.top };
}

CGPoint UIScrollView::maximumContentOffset() const
{
    UIEdgeInsets inset = adjustedContentInset();
    CGSize size = bounds().size;
    CGPoint low = minimumContentOffset();
    return { std::max(low.x, m_contentSize.width + inset.right - size.width),
        std::max(low.y, m_contentSize.height + inset.bottom - size.height) };
}

CGPoint UIScrollView::clampedOffset(CGPoint offset) const
{
    CGPoint low = minimumContentOffset();
    CGPoint high = maximumContentOffset();
    return { clamp(offset.x, low.x, high.x), clamp(offset.y, low.y, high.y) };
}

void UIScrollView::keepOffsetAtRest(const UIEdgeInsets& previous)
{
    m_lastAdjustedInset = adjustedContentInset();
    if (m_dragging || m_lastAdjustedInset == previous)
        return;
    // An offset resting against the leading edge stays against it, as lists open at their top.
    CGPoint offset = contentOffset();
    if (offset.x == -previous.left)
        offset.x = -m_lastAdjustedInset.left;
    if (offset.y == -previous.top)
        offset.y = -m_lastAdjustedInset.top;
    setContentOffset(offset);
}

void UIScrollView::layoutSubviews()
{
    UIView::layoutSubviews();
    if (adjustedContentInset() != m_lastAdjustedInset)
        keepOffsetAtRest(m_lastAdjustedInset);
}

void UIScrollView::scrollRectToVisible(const CGRect& rect, bool animated)
{
    UIEdgeInsets inset = adjustedContentInset();
    CGRect visible = bounds().inset(inset);
    CGPoint offset = contentOffset();
    auto axis = [](CGFloat current, CGFloat visibleMin, CGFloat visibleMax, CGFloat min, CGFloat max) {
        if (max - min > visibleMax - visibleMin || min < visibleMin)
            return current + (min - visibleMin);
        if (max > visibleMax)
            return current + (max - visibleMax);
        return current;
    };
    CGRect r = rect.standardized();
    offset.x = axis(offset.x, visible.minX(), visible.maxX(), r.minX(), r.maxX());
    offset.y = axis(offset.y, visible.minY(), visible.maxY(), r.minY(), r.maxY());
    setContentOffset(clampedOffset(offset), animated);
}

bool UIScrollView::scrollToTopFromStatusBar()
{
    if (!m_scrollsToTop)
        return false;
    auto d = delegate();
    if (d && !d->scrollViewShouldScrollToTop(*this))
        return false;
    CGPoint offset = contentOffset();
    offset.y = minimumContentOffset().y;
    setContentOffset(offset);
    if (d)
        d->scrollViewDidScrollToTop(*this);
    return true;
}

// ---- Geometry ----

void UIScrollView::setBounds(const CGRect& newBounds)
{
    CGRect old = bounds();
    UIView::setBounds(newBounds);
    if (old.size != newBounds.size)
        boundsSizeDidChange();
    if (old.origin != newBounds.origin) {
        contentOffsetDidChange();
        if (auto d = delegate())
            d->scrollViewDidScroll(*this);
        notifyObservers(UIScrollViewChange::contentOffset);
    }
}

void UIScrollView::setFrame(const CGRect& frame)
{
    CGSize old = bounds().size;
    UIView::setFrame(frame);
    if (bounds().size != old)
        boundsSizeDidChange();
}

// ---- Behaviour ----

void UIScrollView::setScrollEnabled(bool enabled)
{
    m_scrollEnabled = enabled;
    m_pan->setEnabled(enabled);
}

bool UIScrollView::canScrollHorizontally() const
{
    if (!m_scrollEnabled)
        return false;
    return m_alwaysBounceHorizontal || maximumContentOffset().x > minimumContentOffset().x;
}

bool UIScrollView::canScrollVertically() const
{
    if (!m_scrollEnabled)
        return false;
    return m_alwaysBounceVertical || maximumContentOffset().y > minimumContentOffset().y;
}

// ---- Dragging ----

void UIScrollView::handlePan(UIPanGestureRecognizer& pan)
{
    // Observers hear of the new state before the content reacts to it, as with observation of
    // the recogniser's state on the phone.
    notifyObservers(UIScrollViewChange::panState);
    switch (pan.state()) {
    case UIGestureRecognizerState::began:
        beginDrag();
        [[fallthrough]];
    case UIGestureRecognizerState::changed: {
        CGPoint t = pan.translation(this);
        setContentOffset(rubberBandedOffset({ m_dragStartOffset.x - t.x, m_dragStartOffset.y - t.y }));
        break;
    }
    case UIGestureRecognizerState::ended: {
        CGPoint v = pan.velocity(this);
        endDrag({ -v.x, -v.y });
        break;
    }
    case UIGestureRecognizerState::cancelled:
        endDrag({});
        break;
    case UIGestureRecognizerState::possible:
    case UIGestureRecognizerState::failed:
        break;
    }
}

CGPoint UIScrollView::flickTarget(CGPoint velocity) const
{
    if (!canScrollHorizontally())
        velocity.x = 0;
    if (!canScrollVertically())
        velocity.y = 0;
    return decelerationTarget(contentOffset(), velocity);
}

bool UIScrollView::flick(CGPoint velocity)
{
    if (!m_scrollEnabled || m_dragging || m_decelerating || flickTarget(velocity) == contentOffset())
        return false;
    beginDrag();
    endDrag(velocity);
    return true;
}

void UIScrollView::beginDrag()
{
    stopDeceleration();
    m_dragging = true;
    m_dragStartOffset = contentOffset();
    if (m_keyboardDismissMode == UIScrollViewKeyboardDismissMode::onDrag) {
        if (auto responder = UIResponder::currentFirstResponder())
            responder->resignFirstResponder();
    }
    if (auto d = delegate())
        d->scrollViewWillBeginDragging(*this);
}

CGPoint UIScrollView::rubberBandedOffset(CGPoint proposed) const
{
    CGPoint low = minimumContentOffset();
    CGPoint high = maximumContentOffset();
    CGPoint result = m_dragStartOffset;
    if (canScrollHorizontally())
        result.x = rubberBand(proposed.x, low.x, high.x, m_bounces);
    if (canScrollVertically())
        result.y = rubberBand(proposed.y, low.y, high.y, m_bounces);
    return result;
}

CGPoint UIScrollView::decelerationTarget(CGPoint offset, CGPoint velocity) const
{
    if (!m_pagingEnabled) {
        // Where the content would coast to under the deceleration rate (velocity per ms decays
        // by the rate each ms: distance = v * rate / (1 - rate)).
        CGFloat coast = m_decelerationRate / (1 - m_decelerationRate) / 1000;
        return clampedOffset({ offset.x + velocity.x * coast, offset.y + velocity.y * coast });
    }
    CGSize page = bounds().size;
    // A flick turns to the next page in its direction; a slow release settles on the nearest.
    auto axis = [](CGFloat position, CGFloat pageLength, CGFloat speed) {
        if (pageLength <= 0)
            return position;
        CGFloat here = position / pageLength;
        CGFloat target;
        if (speed > pagingVelocityThreshold)
            target = std::floor(here) + 1;
        else if (speed < -pagingVelocityThreshold)
            target = std::ceil(here) - 1;
        else
            target = std::round(here);
        return target * pageLength;
    };
    CGPoint target { axis(offset.x, page.width, velocity.x), axis(offset.y, page.height, velocity.y) };
    if (!canScrollHorizontally())
        target.x = offset.x;
    if (!canScrollVertically())
        target.y = offset.y;
    return clampedOffset(target);
}

void UIScrollView::endDrag(CGPoint velocity)
{
    m_dragging = false;
    if (!canScrollHorizontally())
        velocity.x = 0;
    if (!canScrollVertically())
        velocity.y = 0;
    CGPoint offset = contentOffset();
    CGPoint target = decelerationTarget(offset, velocity);
    auto d = delegate();
    if (d) {
        d->scrollViewWillEndDragging(*this, { velocity.x / 1000, velocity.y / 1000 }, target);
        d = delegate();
    }
    bool decelerates = target != offset;
    if (d)
        d->scrollViewDidEndDragging(*this, decelerates);
    if (!decelerates)
        return;
    m_decelerating = true;
    if (auto d2 = delegate())
        d2->scrollViewWillBeginDecelerating(*this);
    setContentOffset(target);
    scheduleAfter(decelerationDuration, [](UIScrollView& self) {
        self.m_decelerating = false;
        if (auto d = self.delegate())
            d->scrollViewDidEndDecelerating(self);
    });
}

void UIScrollView::stopDeceleration()
{
    m_decelerating = false;
    if (m_pending) {
        m_pending->invalidate();
        m_pending.reset();
    }
}

void UIScrollView::scheduleAfter(double seconds, std::function<void(UIScrollView&)> action)
{
    if (m_pending)
        m_pending->invalidate();
    std::weak_ptr<UIView> weak = weakFromThis();
    m_pending = Timer::scheduledTimer(seconds, false, [weak, action = std::move(action)](Timer&) {
        auto self = std::static_pointer_cast<UIScrollView>(weak.lock());
        if (!self)
            return;
        self->m_pending.reset();
        action(*self);
    });
}

// ---- Zoom ----

void UIScrollView::setMinimumZoomScale(CGFloat scale)
{
    m_minimumZoomScale = scale;
}

void UIScrollView::setMaximumZoomScale(CGFloat scale)
{
    m_maximumZoomScale = scale;
}

void UIScrollView::setZoomScale(CGFloat scale, bool animated)
{
    applyZoom(scale, std::nullopt);
    if (animated)
        scheduleAfter(scrollAnimationDuration, [](UIScrollView& self) {
            if (auto d = self.delegate()) {
                auto view = d->viewForZooming(self);
                d->scrollViewDidEndZooming(self, view.get(), self.m_zoomScale);
            }
        });
}

void UIScrollView::zoomTo(const CGRect& rect, bool animated)
{
    CGRect r = rect.standardized();
    CGSize size = bounds().size;
    if (r.width() <= 0 || r.height() <= 0)
        return;
    CGFloat scale = std::min(size.width / r.width(), size.height / r.height());
    applyZoom(scale, r.center());
    if (animated)
        scheduleAfter(scrollAnimationDuration, [](UIScrollView& self) {
            if (auto d = self.delegate()) {
                auto view = d->viewForZooming(self);
                d->scrollViewDidEndZooming(self, view.get(), self.m_zoomScale);
            }
        });
}

void UIScrollView::applyZoom(CGFloat requested, std::optional<CGPoint> focus)
{
    auto d = delegate();
    auto view = d ? d->viewForZooming(*this) : nullptr;
    if (!view)
        return;
    CGFloat low = std::min(m_minimumZoomScale, m_maximumZoomScale);
    CGFloat scale = clamp(requested, low, m_maximumZoomScale);
    if (scale <= 0)
        return;
    CGSize size = bounds().size;
    CGPoint offset = contentOffset();
    // The point of the zooming view that ends up in the middle: the requested one, or the one
    // in the middle now.
    CGPoint middle = focus.value_or(
        view->convertFrom(CGPoint { offset.x + size.width / 2, offset.y + size.height / 2 }, this));
    if (scale == m_zoomScale && !focus)
        return;
    stopDeceleration();
    m_zoomScale = scale;
    CGSize unscaled = view->bounds().size;
    view->setTransform(CGAffineTransform::scale(scale, scale));
    view->setCenter({ unscaled.width * scale / 2, unscaled.height * scale / 2 });
    m_contentSize = { unscaled.width * scale, unscaled.height * scale };
    m_lastAdjustedInset = adjustedContentInset();
    CGPoint inContent = view->convert(middle, this);
    setContentOffset(clampedOffset({ inContent.x - size.width / 2, inContent.y - size.height / 2 }));
    if (auto d2 = delegate())
        d2->scrollViewDidZoom(*this);
}
