#include "platform/ui/gestures/UIPinchGestureRecognizer.h"

#include "platform/ui/UIView.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>

bool UIPinchGestureRecognizer::isActive() const
{
    return state() == UIGestureRecognizerState::began || state() == UIGestureRecognizerState::changed;
}

CGFloat UIPinchGestureRecognizer::distance() const
{
    if (m_touches.size() < 2)
        return 0;
    CGPoint a = m_touches[0]->locationInWindow();
    CGPoint b = m_touches[1]->locationInWindow();
    return std::hypot(a.x - b.x, a.y - b.y);
}

CGFloat UIPinchGestureRecognizer::scale() const
{
    // Fingers that came down on the same point have no scale to give.
    if (m_startDistance <= 0)
        return m_baseScale;
    return m_baseScale * distance() / m_startDistance;
}

void UIPinchGestureRecognizer::setScale(CGFloat scale)
{
    m_baseScale = scale;
    m_startDistance = distance();
}

CGPoint UIPinchGestureRecognizer::location(const UIView* view) const
{
    if (m_touches.empty())
        return UIGestureRecognizer::location(view);
    CGPoint sum;
    for (const auto& touch : m_touches) {
        CGPoint p = touch->location(view);
        sum = { sum.x + p.x, sum.y + p.y };
    }
    auto count = static_cast<CGFloat>(m_touches.size());
    return { sum.x / count, sum.y / count };
}

void UIPinchGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent*)
{
    if (state() != UIGestureRecognizerState::possible)
        return;
    for (const auto& touch : touches) {
        if (m_touches.size() < 2 && std::find(m_touches.begin(), m_touches.end(), touch) == m_touches.end())
            m_touches.push_back(touch);
    }
    if (m_touches.size() == 2 && touches.size() > 0) {
        m_downDistance = m_startDistance = distance();
        m_baseScale = 1;
        m_samples.clear();
        m_samples.push_back({ touches.front()->timestamp(), 1 });
        m_velocity = 0;
    }
}

void UIPinchGestureRecognizer::touchesMoved(const UITouchSet& touches, const UIEvent*)
{
    if (m_touches.size() < 2 || touches.empty())
        return;
    double time = touches.front()->timestamp();
    CGFloat now = scale();
    m_samples.push_back({ time, now });
    while (m_samples.size() > 2 && time - m_samples[1].time >= velocityWindow)
        m_samples.pop_front();
    if (double dt = time - m_samples.front().time; dt > 0)
        m_velocity = static_cast<CGFloat>((now - m_samples.front().scale) / dt);
    if (isActive()) {
        setState(UIGestureRecognizerState::changed);
        return;
    }
    if (state() == UIGestureRecognizerState::possible
        && std::abs(distance() - m_downDistance) >= minimumDistanceChange)
        setState(UIGestureRecognizerState::began);
}

void UIPinchGestureRecognizer::removeTouches(const UITouchSet& touches)
{
    std::erase_if(m_touches,
        [&](const auto& touch) { return std::find(touches.begin(), touches.end(), touch) != touches.end(); });
}

void UIPinchGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent*)
{
    if (isActive()) {
        setState(UIGestureRecognizerState::ended);
        removeTouches(touches);
        return;
    }
    removeTouches(touches);
    // A lifted second finger leaves the first one down: another may still come.
    if (state() == UIGestureRecognizerState::possible && m_touches.empty())
        setState(UIGestureRecognizerState::failed);
}

void UIPinchGestureRecognizer::touchesCancelled(const UITouchSet& touches, const UIEvent*)
{
    removeTouches(touches);
    if (isActive())
        setState(UIGestureRecognizerState::cancelled);
    else if (state() == UIGestureRecognizerState::possible)
        setState(UIGestureRecognizerState::failed);
}

void UIPinchGestureRecognizer::didReset()
{
    m_touches.clear();
    m_samples.clear();
    m_startDistance = m_downDistance = 0;
    m_baseScale = 1;
    m_velocity = 0;
}
