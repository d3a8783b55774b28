#include "platform/ui/controls/UISegmentedControl.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>

UISegmentedControl::UISegmentedControl()
    : UIControl(CGRect {})
{ }

UISegmentedControl::UISegmentedControl(std::vector<std::string> items)
    : UIControl(CGRect {})
    , m_titles(std::move(items))
{
    setFrame({ {}, intrinsicContentSize() });
}

void UISegmentedControl::insertSegment(std::string title, int index)
{
    index = std::clamp(index, 0, numberOfSegments());
    m_titles.insert(m_titles.begin() + index, std::move(title));
    if (m_selected >= index)
        ++m_selected;
    invalidateIntrinsicContentSize();
}

void UISegmentedControl::removeAllSegments()
{
    m_titles.clear();
    m_selected = noSegment;
    invalidateIntrinsicContentSize();
}

std::string UISegmentedControl::titleForSegment(int index) const
{
    return index >= 0 && index < numberOfSegments() ? m_titles[static_cast<std::size_t>(index)]
                                                    : std::string();
}

void UISegmentedControl::setTitle(std::string title, int index)
{
    if (index < 0 || index >= numberOfSegments())
        return;
    m_titles[static_cast<std::size_t>(index)] = std::move(title);
    invalidateIntrinsicContentSize();
}

void UISegmentedControl::setSelectedSegmentIndex(int index)
{
    if (index != noSegment && (index < 0 || index >= numberOfSegments()))
        return;
    m_selected = index;
    setNeedsDisplay();
}

void UISegmentedControl::setTitleTextAttributes(TitleAttributes attributes, unsigned state)
{
    m_attributes[state] = std::move(attributes);
    invalidateIntrinsicContentSize();
}

UISegmentedControl::TitleAttributes UISegmentedControl::titleTextAttributes(unsigned state) const
{
    auto it = m_attributes.find(state);
    return it != m_attributes.end() ? it->second : TitleAttributes {};
}

UIFont UISegmentedControl::fontFor(unsigned state) const
{
    if (auto font = titleTextAttributes(state).font)
        return *font;
    if (auto font = titleTextAttributes(UIControlStateNormal).font)
        return *font;
    return UIFont::systemFont(13);
}

int UISegmentedControl::segmentAt(CGPoint point) const
{
    CGRect b = bounds();
    if (m_titles.empty() || !b.contains(point))
        return noSegment;
    int index = static_cast<int>((point.x - b.minX()) / (b.width() / numberOfSegments()));
    return std::clamp(index, 0, numberOfSegments() - 1);
}

CGSize UISegmentedControl::intrinsicContentSize() const
{
    CGFloat widest = 0;
    for (const auto& title : m_titles)
        widest = std::max(widest, TextLayout::measure(title, fontFor(UIControlStateSelected)).width);
    return { (widest + 24) * static_cast<CGFloat>(m_titles.size()), defaultHeight };
}

void UISegmentedControl::endTracking(const UITouch* touch, const UIEvent* event)
{
    UIControl::endTracking(touch, event);
    if (!touch || !isTouchInside())
        return;
    int index = segmentAt(touch->location(this));
    if (index == noSegment || index == m_selected)
        return;
    m_selected = index;
    setNeedsDisplay();
    sendActions(UIControlEventValueChanged);
}

void UISegmentedControl::draw(CGContext& context, const CGRect& rect)
{
    UIControl::draw(context, rect);
    CGRect b = bounds();
    if (m_titles.empty())
        return;
    context.setFillColor(UIColor(0.46, 0.46, 0.5, 0.12));
    context.addPath(UIBezierPath::roundedRect(b, 8).cgPath());
    context.fillPath();
    CGFloat width = b.width() / numberOfSegments();
    for (int i = 0; i < numberOfSegments(); ++i) {
        CGRect segment { b.minX() + width * i, b.minY(), width, b.height() };
        bool selected = i == m_selected;
        if (selected) {
            context.setFillColor(selectedSegmentTintColor.value_or(UIColor::white()));
            context.addPath(UIBezierPath::roundedRect(segment.insetBy(2, 2), 7).cgPath());
            context.fillPath();
        }
        unsigned state = selected ? UIControlStateSelected : UIControlStateNormal;
        UIColor color = titleTextAttributes(state).color.value_or(
            titleTextAttributes(UIControlStateNormal).color.value_or(UIColor::label()));
        TextLayout layout(StyledText::plain(m_titles[static_cast<std::size_t>(i)]), fontFor(state), color);
        layout.setWidth(segment.width() - 8);
        layout.setAlignment(NSTextAlignment::center);
        layout.setMaximumNumberOfLines(1);
        layout.setLineBreakMode(NSLineBreakMode::byTruncatingTail);
        CGSize size = layout.size();
        layout.draw(context,
            { segment.minX() + 4, segment.minY() + std::floor((segment.height() - size.height) / 2) });
    }
}

std::string UISegmentedControl::dumpAttributes() const
{
    std::string out = "segments=\"";
    for (std::size_t i = 0; i < m_titles.size(); ++i)
        out += (i ? "|" : "") + m_titles[i];
    out += "\" selected=" + std::to_string(m_selected);
    std::string flags = UIControl::dumpAttributes();
    return out + (flags.empty() ? "" : " " + flags);
}
