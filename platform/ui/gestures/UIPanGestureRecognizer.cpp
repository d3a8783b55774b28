#include "platform/ui/gestures/UIPanGestureRecognizer.h"

#include "platform/ui/UIView.h"
#include "platform/ui/gestures/UITouch.h"

#include <cmath>

namespace {

// A vector of window space expressed in a view's space (rotation and scale taken into account).
CGPoint vectorInView(CGPoint vector, const UIView* view)
{
    if (!view)
        return vector;
    CGPoint a = view->convertFrom(CGPoint {}, nullptr);
    CGPoint b = view->convertFrom(vector, nullptr);
    return { b.x - a.x, b.y - a.y };
}

CGPoint vectorFromView(CGPoint vector, const UIView* view)
{
    if (!view)
        return vector;
    CGPoint a = view->convert(CGPoint {}, nullptr);
    CGPoint b = view->convert(vector, nullptr);
    return { b.x - a.x, b.y - a.y };
}

}

bool UIPanGestureRecognizer::isActive() const
{
    return state() == UIGestureRecognizerState::began || state() == UIGestureRecognizerState::changed;
}

CGPoint UIPanGestureRecognizer::translation(const UIView* view) const
{
    return vectorInView({ m_current.x - m_origin.x, m_current.y - m_origin.y }, view);
}

void UIPanGestureRecognizer::setTranslation(CGPoint translation, const UIView* view)
{
    CGPoint inWindow = vectorFromView(translation, view);
    m_origin = { m_current.x - inWindow.x, m_current.y - inWindow.y };
}

CGPoint UIPanGestureRecognizer::velocity(const UIView* view) const
{
    return vectorInView(m_velocity, view);
}

void UIPanGestureRecognizer::addSample(double time, CGPoint point)
{
    m_samples.push_back({ time, point });
    while (m_samples.size() > 2 && time - m_samples[1].time >= velocityWindow)
        m_samples.pop_front();
    const Sample& first = m_samples.front();
    double dt = time - first.time;
    if (dt > 0)
        m_velocity = { (point.x - first.point.x) / dt, (point.y - first.point.y) / dt };
}

bool UIPanGestureRecognizer::shouldBeginWithTranslation(CGPoint t) const
{
    return std::hypot(t.x, t.y) >= minimumMovement;
}

void UIPanGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent*)
{
    if (state() != UIGestureRecognizerState::possible || touches.empty())
        return;
    const auto& touch = touches.front();
    m_start = m_current = m_origin = touch->locationInWindow();
    m_velocity = {};
    m_samples.clear();
    addSample(touch->timestamp(), m_start);
}

void UIPanGestureRecognizer::touchesMoved(const UITouchSet& touches, const UIEvent*)
{
    if (touches.empty())
        return;
    const auto& touch = touches.front();
    m_current = touch->locationInWindow();
    addSample(touch->timestamp(), m_current);
    if (isActive()) {
        setState(UIGestureRecognizerState::changed);
        return;
    }
    if (state() == UIGestureRecognizerState::possible
        && shouldBeginWithTranslation({ m_current.x - m_start.x, m_current.y - m_start.y }))
        setState(UIGestureRecognizerState::began);
}

void UIPanGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent*)
{
    if (!touches.empty()) {
        const auto& touch = touches.front();
        m_current = touch->locationInWindow();
        addSample(touch->timestamp(), m_current);
    }
    if (isActive())
        setState(UIGestureRecognizerState::ended);
    else if (state() == UIGestureRecognizerState::possible)
        setState(UIGestureRecognizerState::failed);
}

void UIPanGestureRecognizer::touchesCancelled(const UITouchSet&, const UIEvent*)
{
    if (isActive())
        setState(UIGestureRecognizerState::cancelled);
    else if (state() == UIGestureRecognizerState::possible)
        setState(UIGestureRecognizerState::failed);
}

void UIPanGestureRecognizer::didReset()
{
    m_samples.clear();
}
