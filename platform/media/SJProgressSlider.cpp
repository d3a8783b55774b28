#include "platform/media/SJProgressSlider.h"

#include "platform/media/SJVideoPlayerConfigurations.h"
#include "platform/ui/CGContext.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>

namespace {

double clampValue(double value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0;
}

}

void SJProgressSlider::setValue(double value)
{
    if (m_dragging)
        return;
    m_value = clampValue(value);
    setNeedsDisplay();
}

void SJProgressSlider::moveTo(const UITouch& touch)
{
    CGFloat width = bounds().size.width;
    m_value = width > 0 ? clampValue(touch.location(this).x / width) : 0;
}

bool SJProgressSlider::beginTracking(const UITouch& touch, const UIEvent*)
{
    m_dragging = true;
    moveTo(touch);
    return true;
}

bool SJProgressSlider::continueTracking(const UITouch& touch, const UIEvent*)
{
    moveTo(touch);
    return true;
}

void SJProgressSlider::endTracking(const UITouch* touch, const UIEvent*)
{
    if (touch)
        moveTo(*touch);
    m_dragging = false;
    sendActions(UIControlEventValueChanged);
}

void SJProgressSlider::cancelTracking(const UIEvent*)
{
    m_dragging = false;
}

void SJProgressSlider::draw(CGContext& context, const CGRect&)
{
    const SJVideoPlayerResources& resources = SJVideoPlayerConfigurations::shared().resources;
    CGRect bounds = this->bounds();
    CGFloat thumb = resources.progressThumbSize;
    CGFloat height = resources.progressTrackHeight;
    CGFloat left = thumb / 2;
    CGFloat width = std::max<CGFloat>(0, bounds.size.width - thumb);
    CGFloat y = (bounds.size.height - height) / 2;
    auto bar = [&](CGFloat length, const UIColor& color) {
        context.setFillColor(color);
        context.addPath(UIBezierPath::roundedRect({ { left, y }, { length, height } }, height / 2).cgPath());
        context.fillPath();
    };
    bar(width, resources.progressTrackColor);
    CGFloat played = width * static_cast<CGFloat>(m_value);
    bar(played, resources.progressTraceColor);
    context.setFillColor(resources.progressThumbColor);
    CGPath circle;
    circle.addEllipse({ { left + played - thumb / 2, (bounds.size.height - thumb) / 2 }, { thumb, thumb } });
    context.addPath(circle);
    context.fillPath();
}
