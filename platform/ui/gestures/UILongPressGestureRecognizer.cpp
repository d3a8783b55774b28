#include "platform/ui/gestures/UILongPressGestureRecognizer.h"

#include "platform/dispatch/Timer.h"
#include "platform/ui/gestures/UITouch.h"

#include <cmath>

UILongPressGestureRecognizer::~UILongPressGestureRecognizer()
{
    stopTimer();
}

void UILongPressGestureRecognizer::stopTimer()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
}

bool UILongPressGestureRecognizer::isActive() const
{
    return state() == UIGestureRecognizerState::began || state() == UIGestureRecognizerState::changed;
}

void UILongPressGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent*)
{
    if (state() != UIGestureRecognizerState::possible || touches.empty())
        return;
    m_downPoint = touches.front()->locationInWindow();
    std::weak_ptr<UIGestureRecognizer> weak = weak_from_this();
    m_timer = Timer::scheduledTimer(minimumPressDuration, false, [weak](Timer&) {
        auto self = std::static_pointer_cast<UILongPressGestureRecognizer>(weak.lock());
        if (!self)
            return;
        self->m_timer.reset();
        if (self->state() == UIGestureRecognizerState::possible)
            self->setState(UIGestureRecognizerState::began);
    });
}

void UILongPressGestureRecognizer::touchesMoved(const UITouchSet& touches, const UIEvent*)
{
    if (touches.empty())
        return;
    CGPoint p = touches.front()->locationInWindow();
    if (isActive()) {
        setState(UIGestureRecognizerState::changed);
        return;
    }
    if (state() == UIGestureRecognizerState::possible
        && std::hypot(p.x - m_downPoint.x, p.y - m_downPoint.y) > allowableMovement) {
        stopTimer();
        setState(UIGestureRecognizerState::failed);
    }
}

void UILongPressGestureRecognizer::touchesEnded(const UITouchSet&, const UIEvent*)
{
    stopTimer();
    if (isActive())
        setState(UIGestureRecognizerState::ended);
    else if (state() == UIGestureRecognizerState::possible)
        setState(UIGestureRecognizerState::failed);
}

void UILongPressGestureRecognizer::touchesCancelled(const UITouchSet&, const UIEvent*)
{
    stopTimer();
    if (isActive())
        setState(UIGestureRecognizerState::cancelled);
    else if (state() == UIGestureRecognizerState::possible)
        setState(UIGestureRecognizerState::failed);
}

void UILongPressGestureRecognizer::didReset()
{
    stopTimer();
}
