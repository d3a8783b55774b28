#include "platform/ui/gestures/UITapGestureRecognizer.h"

#include "platform/dispatch/Timer.h"
#include "platform/ui/gestures/UITouch.h"

#include <cmath>

namespace {

CGFloat distance(CGPoint a, CGPoint b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

}

UITapGestureRecognizer::~UITapGestureRecognizer()
{
    stopTimer();
}

void UITapGestureRecognizer::stopTimer()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
}

void UITapGestureRecognizer::fail()
{
    stopTimer();
    if (state() == UIGestureRecognizerState::possible)
        setState(UIGestureRecognizerState::failed);
}

void UITapGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent*)
{
    if (state() != UIGestureRecognizerState::possible || touches.empty())
        return;
    stopTimer();
    m_downPoint = touches.front()->locationInWindow();
    if (m_taps == 0)
        m_firstPoint = m_downPoint;
    else if (distance(m_downPoint, m_firstPoint) > multiTapDistance)
        fail();
}

void UITapGestureRecognizer::touchesMoved(const UITouchSet& touches, const UIEvent*)
{
    if (state() != UIGestureRecognizerState::possible || touches.empty())
        return;
    if (distance(touches.front()->locationInWindow(), m_downPoint) > allowableMovement)
        fail();
}

void UITapGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent*)
{
    if (state() != UIGestureRecognizerState::possible || touches.empty())
        return;
    // Only one finger is ever down in this system, so gestures of more fingers cannot happen.
    if (numberOfTouchesRequired > 1
        || distance(touches.front()->locationInWindow(), m_downPoint) > allowableMovement) {
        fail();
        return;
    }
    ++m_taps;
    if (m_taps >= std::max(1, numberOfTapsRequired)) {
        setState(UIGestureRecognizerState::ended);
        return;
    }
    std::weak_ptr<UIGestureRecognizer> weak = weak_from_this();
    m_timer = Timer::scheduledTimer(multiTapInterval, false, [weak](Timer&) {
        if (auto self = std::static_pointer_cast<UITapGestureRecognizer>(weak.lock())) {
            self->m_timer.reset();
            self->fail();
        }
    });
}

void UITapGestureRecognizer::touchesCancelled(const UITouchSet&, const UIEvent*)
{
    fail();
}

void UITapGestureRecognizer::didReset()
{
    stopTimer();
    m_taps = 0;
}
