#include "platform/ui/controls/UISwitch.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIBezierPath.h"

UISwitch::UISwitch()
    : UISwitch(CGRect {})
{ }

UISwitch::UISwitch(const CGRect& frame)
    : UIControl({ frame.origin, size })
{ }

void UISwitch::setFrame(const CGRect& frame)
{
    // The switch keeps its size whatever frame it is given.
    UIControl::setFrame({ frame.origin, size });
}

void UISwitch::setOn(bool on, bool)
{
    m_on = on;
    setNeedsDisplay();
}

void UISwitch::endTracking(const UITouch* touch, const UIEvent* event)
{
    UIControl::endTracking(touch, event);
    if (!isTouchInside())
        return;
    setOn(!m_on);
    sendActions(UIControlEventValueChanged);
}

void UISwitch::draw(CGContext& context, const CGRect& rect)
{
    UIControl::draw(context, rect);
    CGRect b = bounds();
    UIColor track = m_on ? onTintColor.value_or(UIColor(0.2, 0.78, 0.35, 1)) : UIColor(0.47, 0.47, 0.5, 0.16);
    context.setFillColor(isEnabled() ? track : track.withAlphaComponent(track.alphaComponent() * 0.5));
    context.addPath(UIBezierPath::roundedRect(b, b.height() / 2).cgPath());
    context.fillPath();
    CGFloat inset = 2;
    CGFloat d = b.height() - 2 * inset;
    CGRect thumb { m_on ? b.maxX() - inset - d : b.minX() + inset, b.minY() + inset, d, d };
    context.setFillColor(thumbTintColor.value_or(UIColor::white()));
    context.addPath(UIBezierPath::ovalIn(thumb).cgPath());
    context.fillPath();
}

std::string UISwitch::dumpAttributes() const
{
    std::string flags = UIControl::dumpAttributes();
    return std::string(m_on ? "on" : "off") + (flags.empty() ? "" : " " + flags);
}
