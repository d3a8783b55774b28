#include "platform/ui/UIFont.h"

#include "platform/ui/detail/PangoSupport.h"

#include <map>
#include <mutex>
#include <tuple>

namespace {

struct Metrics {
    CGFloat ascent = 0;
    CGFloat descent = 0;
    CGFloat lineHeight = 0;
};

Metrics computeMetrics(const UIFont& font)
{
    auto desc = detail::makeFontDescription(font);
    PangoContext* context = detail::measuringContext();
    // Measure a real line so the height equals what a layout of this font produces.
    detail::GObjectPtr<PangoLayout> layout(pango_layout_new(context));
    pango_layout_set_font_description(layout.get(), desc.get());
    pango_layout_set_text(layout.get(), "Ag", -1);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    Metrics m;
    m.lineHeight = static_cast<CGFloat>(logical.height) / PANGO_SCALE;
    m.ascent = static_cast<CGFloat>(pango_layout_get_baseline(layout.get())) / PANGO_SCALE;
    m.descent = m.lineHeight - m.ascent;
    return m;
}

const Metrics& metricsFor(const UIFont& font)
{
    using Key = std::tuple<std::string, CGFloat, int>;
    thread_local std::map<Key, Metrics> cache;
    Key key { font.familyName(), font.pointSize(), font.cssWeight() };
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, computeMetrics(font)).first;
    return it->second;
}

}

UIFont::UIFont()
    : m_family(systemFamilyName)
{ }

UIFont::UIFont(std::string family, CGFloat size, CGFloat weight)
    : m_family(std::move(family))
    , m_size(size)
    , m_weight(weight)
{ }

UIFont UIFont::systemFont(CGFloat size, CGFloat weight)
{
    return { systemFamilyName, size, weight };
}

UIFont UIFont::boldSystemFont(CGFloat size)
{
    return { systemFamilyName, size, Weight::bold };
}

UIFont UIFont::named(const std::string& family, CGFloat size, CGFloat weight)
{
    return { family.empty() ? std::string(systemFamilyName) : family, size, weight };
}

UIFont UIFont::withSize(CGFloat size) const
{
    return { m_family, size, m_weight };
}

int UIFont::cssWeight() const
{
    if (m_weight <= -0.7)
        return 100;
    if (m_weight <= -0.5)
        return 200;
    if (m_weight <= -0.2)
        return 300;
    if (m_weight < 0.2)
        return 400;
    if (m_weight < 0.27)
        return 500;
    if (m_weight < 0.35)
        return 600;
    if (m_weight < 0.5)
        return 700;
    if (m_weight < 0.6)
        return 800;
    return 900;
}

CGFloat UIFont::ascender() const
{
    return metricsFor(*this).ascent;
}
CGFloat UIFont::descender() const
{
    return -metricsFor(*this).descent;
}
CGFloat UIFont::lineHeight() const
{
    return metricsFor(*this).lineHeight;
}
