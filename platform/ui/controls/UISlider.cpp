#include "platform/ui/controls/UISlider.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/gestures/UIPanGestureRecognizer.h"
#include "platform/ui/gestures/UISwipeGestureRecognizer.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

UISlider::UISlider()
    : UISlider(CGRect {})
{ }

UISlider::UISlider(const CGRect& frame)
    : UIControl(frame)
{ }

void UISlider::setValue(float value, bool)
{
    m_value = std::clamp(value, m_minimum, std::max(m_minimum, m_maximum));
    setNeedsDisplay();
}

void UISlider::setMinimumValue(float minimum)
{
    m_minimum = minimum;
    m_maximum = std::max(m_maximum, minimum);
    setValue(m_value);
}

void UISlider::setMaximumValue(float maximum)
{
    m_maximum = maximum;
    m_minimum = std::min(m_minimum, maximum);
    setValue(m_value);
}

void UISlider::setThumbImage(std::optional<UIImage> image, unsigned state)
{
    if (image)
        m_thumbImages[state] = *image;
    else
        m_thumbImages.erase(state);
    setNeedsDisplay();
}

std::optional<UIImage> UISlider::thumbImage(unsigned state) const
{
    auto it = m_thumbImages.find(state);
    if (it == m_thumbImages.end())
        it = m_thumbImages.find(UIControlStateNormal);
    if (it == m_thumbImages.end())
        return std::nullopt;
    return it->second;
}

CGSize UISlider::thumbSize() const
{
    if (auto image = currentThumbImage(); image && !image->isEmpty())
        return image->size();
    return { defaultThumbSize, defaultThumbSize };
}

CGRect UISlider::trackRectForBounds(const CGRect& bounds) const
{
    return { bounds.minX(), bounds.midY() - 1, bounds.width(), 2 };
}

CGRect UISlider::thumbRectForBounds(const CGRect& bounds, const CGRect& track, float value) const
{
    CGSize thumb = thumbSize();
    CGFloat range = m_maximum - m_minimum;
    CGFloat fraction = range > 0 ? (value - m_minimum) / range : 0;
    CGFloat x = track.minX() + fraction * std::max<CGFloat>(0, track.width() - thumb.width);
    return { x, bounds.midY() - thumb.height / 2, thumb.width, thumb.height };
}

CGSize UISlider::intrinsicContentSize() const
{
    return { UIView::noIntrinsicMetric, std::max<CGFloat>(31, thumbSize().height) };
}

bool UISlider::beginTracking(const UITouch& touch, const UIEvent*)
{
    CGRect b = bounds();
    CGRect thumb = thumbRectForBounds(b, trackRectForBounds(b), m_value).insetBy(-10, -10);
    CGPoint p = touch.location(this);
    if (!thumb.contains(p))
        return false;
    m_startValue = m_value;
    m_startX = p.x;
    m_changedWhileTracking = false;
    return true;
}

bool UISlider::continueTracking(const UITouch& touch, const UIEvent*)
{
    CGRect b = bounds();
    CGFloat travel = trackRectForBounds(b).width() - thumbSize().width;
    if (travel <= 0)
        return true;
    CGFloat dx = touch.location(this).x - m_startX;
    float old = m_value;
    setValue(m_startValue + static_cast<float>(dx / travel) * (m_maximum - m_minimum));
    if (m_value != old) {
        m_changedWhileTracking = true;
        if (isContinuous)
            sendActions(UIControlEventValueChanged);
    }
    return true;
}

void UISlider::endTracking(const UITouch* touch, const UIEvent* event)
{
    UIControl::endTracking(touch, event);
    if (!isContinuous && m_changedWhileTracking)
        sendActions(UIControlEventValueChanged);
    m_changedWhileTracking = false;
}

bool UISlider::gestureRecognizerShouldBegin(const UIGestureRecognizer& recognizer) const
{
    // A drag that started on the thumb belongs to the slider.
    if (isTracking() && recognizer.view().get() != this
        && (dynamic_cast<const UIPanGestureRecognizer*>(&recognizer)
            || dynamic_cast<const UISwipeGestureRecognizer*>(&recognizer)))
        return false;
    return UIControl::gestureRecognizerShouldBegin(recognizer);
}

void UISlider::draw(CGContext& context, const CGRect& rect)
{
    UIControl::draw(context, rect);
    CGRect b = bounds();
    CGRect track = trackRectForBounds(b);
    CGRect thumb = thumbRectForBounds(b, track, m_value);
    CGFloat split = thumb.midX();
    CGFloat radius = track.height() / 2;
    context.setFillColor(maximumTrackTintColor.value_or(UIColor(0.47, 0.47, 0.5, 0.2)));
    context.addPath(UIBezierPath::roundedRect(track, radius).cgPath());
    context.fillPath();
    context.setFillColor(minimumTrackTintColor.value_or(tintColor()));
    context.addPath(UIBezierPath::roundedRect(
        { track.minX(), track.minY(), split - track.minX(), track.height() }, radius)
                        .cgPath());
    context.fillPath();
    if (auto image = currentThumbImage(); image && !image->isEmpty()) {
        context.draw(*image, thumb);
        return;
    }
    context.setFillColor(thumbTintColor.value_or(UIColor::white()));
    context.addPath(UIBezierPath::ovalIn(thumb).cgPath());
    context.fillPath();
    context.setStrokeColor(UIColor(0, 0, 0, 0.15));
    context.setLineWidth(0.5);
    context.addPath(UIBezierPath::ovalIn(thumb.insetBy(0.25, 0.25)).cgPath());
    context.strokePath();
}

std::string UISlider::dumpAttributes() const
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "value=%.3g", m_value);
    std::string flags = UIControl::dumpAttributes();
    return buffer + (flags.empty() ? std::string() : " " + flags);
}
