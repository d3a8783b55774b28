#include "platform/ui/gestures/UISwipeGestureRecognizer.h"

#include "platform/ui/gestures/UITouch.h"

#include <cmath>

void UISwipeGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent*)
{
    if (state() != UIGestureRecognizerState::possible || touches.empty())
        return;
    m_start = touches.front()->locationInWindow();
    m_startTime = touches.front()->timestamp();
}

void UISwipeGestureRecognizer::evaluate(const UITouch& touch, bool lifted)
{
    if (state() != UIGestureRecognizerState::possible)
        return;
    CGPoint p = touch.locationInWindow();
    CGFloat dx = p.x - m_start.x;
    CGFloat dy = p.y - m_start.y;
    if (touch.timestamp() - m_startTime > maximumDuration) {
        setState(UIGestureRecognizerState::failed);
        return;
    }
    bool horizontal = std::abs(dx) >= std::abs(dy);
    CGFloat along = horizontal ? std::abs(dx) : std::abs(dy);
    CGFloat across = horizontal ? std::abs(dy) : std::abs(dx);
    unsigned stroke = horizontal
        ? (dx > 0 ? UISwipeGestureRecognizerDirectionRight : UISwipeGestureRecognizerDirectionLeft)
        : (dy > 0 ? UISwipeGestureRecognizerDirectionDown : UISwipeGestureRecognizerDirectionUp);
    if (along >= minimumDistance && across <= along / 2) {
        setState((direction & stroke) ? UIGestureRecognizerState::ended : UIGestureRecognizerState::failed);
        return;
    }
    if (lifted)
        setState(UIGestureRecognizerState::failed);
}

void UISwipeGestureRecognizer::touchesMoved(const UITouchSet& touches, const UIEvent*)
{
    if (!touches.empty())
        evaluate(*touches.front(), false);
}

void UISwipeGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent*)
{
    if (!touches.empty())
        evaluate(*touches.front(), true);
}

void UISwipeGestureRecognizer::touchesCancelled(const UITouchSet&, const UIEvent*)
{
    if (state() == UIGestureRecognizerState::possible)
        setState(UIGestureRecognizerState::failed);
}
