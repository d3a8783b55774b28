#include "platform/ui/UIColor.h"

#include <algorithm>
#include <cstdio>

namespace {

CGFloat clampUnit(CGFloat v)
{
    if (!(v >= 0))
        return 0;
    return std::min<CGFloat>(v, 1);
}

}

UIColor::UIColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
    : m_rgba { clampUnit(red), clampUnit(green), clampUnit(blue), clampUnit(alpha) }
{ }

UIColor UIColor::white(CGFloat white, CGFloat alpha)
{
    return { white, white, white, alpha };
}

UIColor UIColor::dynamic(const UIColor& light, const UIColor& dark)
{
    UIColor c = light.resolved(UIUserInterfaceStyle::light);
    c.m_dark = std::make_shared<const UIColor>(dark.resolved(UIUserInterfaceStyle::dark));
    return c;
}

UIColor UIColor::provided(std::function<UIColor()> provider)
{
    if (!provider)
        return {};
    UIColor c;
    c.m_provider = std::make_shared<const std::function<UIColor()>>(std::move(provider));
    return c;
}

UIColor UIColor::systemBackground()
{
    static const UIColor color = dynamic(white(), black());
    return color;
}

UIColor UIColor::label()
{
    static const UIColor color = dynamic(black(), white());
    return color;
}

UIColor UIColor::systemTeal()
{
    static const UIColor color
        = dynamic({ 48 / 255.0, 176 / 255.0, 199 / 255.0, 1 }, { 64 / 255.0, 200 / 255.0, 224 / 255.0, 1 });
    return color;
}

UIColor UIColor::systemBlue()
{
    static const UIColor color
        = dynamic({ 0, 98 / 255.0, 204 / 255.0, 1 }, { 64 / 255.0, 156 / 255.0, 1, 1 });
    return color;
}

UIColor UIColor::systemRed()
{
    static const UIColor color
        = dynamic({ 215 / 255.0, 0, 21 / 255.0, 1 }, { 1, 105 / 255.0, 97 / 255.0, 1 });
    return color;
}

UIColor UIColor::secondaryLabel()
{
    static const UIColor color
        = dynamic({ 108 / 255.0, 108 / 255.0, 112 / 255.0, 1 }, { 174 / 255.0, 174 / 255.0, 178 / 255.0, 1 });
    return color;
}

UIColor UIColor::resolved(UIUserInterfaceStyle style) const
{
    if (m_provider)
        return (*m_provider)().resolved(style);
    if (m_dark && style == UIUserInterfaceStyle::dark)
        return *m_dark;
    UIColor plain;
    plain.m_rgba = m_rgba;
    return plain;
}

UIColor UIColor::withAlphaComponent(CGFloat alpha) const
{
    if (m_provider)
        return provided([provider = m_provider, alpha] { return (*provider)().withAlphaComponent(alpha); });
    UIColor c = *this;
    c.m_rgba.alpha = clampUnit(alpha);
    if (m_dark)
        c.m_dark = std::make_shared<const UIColor>(m_dark->withAlphaComponent(alpha));
    return c;
}

std::string UIColor::debugDescription() const
{
    auto byte = [](CGFloat v) { return static_cast<int>(v * 255 + 0.5); };
    RGBA c = rgba();
    char buf[16];
    std::snprintf(
        buf, sizeof buf, "#%02X%02X%02X%02X", byte(c.red), byte(c.green), byte(c.blue), byte(c.alpha));
    return buf;
}

bool UIColor::operator==(const UIColor& other) const
{
    if (m_provider || other.m_provider)
        return m_provider == other.m_provider;
    if (m_rgba != other.m_rgba)
        return false;
    if (!m_dark || !other.m_dark)
        return !m_dark && !other.m_dark;
    return *m_dark == *other.m_dark;
}
