#include "platform/ui/lists/detail/SectionIndexView.h"

#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>

namespace detail {

SectionIndexView::SectionIndexView(Picked picked)
    : m_picked(std::move(picked))
{
    updateLook();
}

void SectionIndexView::setTitles(std::vector<std::string> titles)
{
    if (titles == m_titles)
        return;
    m_titles = std::move(titles);
    for (const auto& label : m_labels)
        label->removeFromSuperview();
    m_labels.clear();
    for (const auto& title : m_titles) {
        auto label = std::make_shared<UILabel>();
        label->setText(title);
        label->setFont(UIFont::boldSystemFont(11));
        label->setTextAlignment(NSTextAlignment::center);
        label->setUserInteractionEnabled(false);
        m_labels.push_back(label);
    }
    updateLook();
    setNeedsLayout();
}

void SectionIndexView::setColors(
    std::optional<UIColor> text, std::optional<UIColor> background, std::optional<UIColor> trackingBackground)
{
    m_textColor = std::move(text);
    m_background = std::move(background);
    m_trackingBackground = std::move(trackingBackground);
    updateLook();
}

void SectionIndexView::updateLook()
{
    setBackgroundColor(m_tracking ? m_trackingBackground : m_background);
    for (const auto& label : m_labels)
        label->setTextColor(m_textColor.value_or(tintColor()));
}

void SectionIndexView::layoutSubviews()
{
    UIView::layoutSubviews();
    // The tint may have come with the superview.
    updateLook();
    CGRect b = bounds();
    CGFloat top = b.minY() + std::max<CGFloat>(0, (b.height() - rowHeight * m_labels.size()) / 2);
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        if (m_labels[i]->superview().get() != this)
            addSubview(m_labels[i]);
        m_labels[i]->setFrame({ 0, top + rowHeight * i, b.width(), rowHeight });
    }
}

void SectionIndexView::setTracking(bool tracking)
{
    if (tracking == m_tracking)
        return;
    m_tracking = tracking;
    updateLook();
}

void SectionIndexView::pick(const UITouchSet& touches)
{
    if (touches.empty() || m_titles.empty())
        return;
    CGFloat y = touches.front()->location(this).y;
    CGFloat top = std::max<CGFloat>(0, (bounds().height() - rowHeight * m_titles.size()) / 2);
    auto index = static_cast<long>(std::floor((y - top) / rowHeight));
    index = std::clamp<long>(index, 0, static_cast<long>(m_titles.size()) - 1);
    if (m_picked)
        m_picked(static_cast<int>(index));
}

void SectionIndexView::touchesBegan(const UITouchSet& touches, const UIEvent*)
{
    setTracking(true);
    pick(touches);
}

void SectionIndexView::touchesMoved(const UITouchSet& touches, const UIEvent*)
{
    pick(touches);
}

void SectionIndexView::touchesEnded(const UITouchSet&, const UIEvent*)
{
    setTracking(false);
}

void SectionIndexView::touchesCancelled(const UITouchSet&, const UIEvent*)
{
    setTracking(false);
}

}
