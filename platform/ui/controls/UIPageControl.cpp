#include "platform/ui/controls/UIPageControl.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>

UIPageControl::UIPageControl()
    : UIPageControl(CGRect {})
{ }

UIPageControl::UIPageControl(const CGRect& frame)
    : UIControl(frame)
{ }

void UIPageControl::setNumberOfPages(int pages)
{
    m_pages = std::max(0, pages);
    m_current = std::clamp(m_current, 0, std::max(0, m_pages - 1));
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UIPageControl::setCurrentPage(int page)
{
    m_current = std::clamp(page, 0, std::max(0, m_pages - 1));
    setNeedsDisplay();
}

CGSize UIPageControl::sizeForNumberOfPages(int pages) const
{
    if (pages <= 0)
        return { 0, height };
    return { pages * dotSize + (pages - 1) * dotSpacing + 2 * dotSpacing, height };
}

void UIPageControl::endTracking(const UITouch* touch, const UIEvent* event)
{
    UIControl::endTracking(touch, event);
    if (!touch || !isTouchInside() || m_pages < 2)
        return;
    CGRect b = bounds();
    CGFloat rowWidth = sizeForNumberOfPages(m_pages).width - 2 * dotSpacing;
    CGFloat currentX = b.midX() - rowWidth / 2 + m_current * (dotSize + dotSpacing) + dotSize / 2;
    int page = std::clamp(m_current + (touch->location(this).x < currentX ? -1 : 1), 0, m_pages - 1);
    if (page == m_current)
        return;
    m_current = page;
    setNeedsDisplay();
    sendActions(UIControlEventValueChanged);
}

void UIPageControl::draw(CGContext& context, const CGRect& rect)
{
    UIControl::draw(context, rect);
    if (m_pages == 0 || (hidesForSinglePage && m_pages == 1))
        return;
    CGRect b = bounds();
    CGFloat rowWidth = sizeForNumberOfPages(m_pages).width - 2 * dotSpacing;
    CGFloat x = b.midX() - rowWidth / 2;
    for (int i = 0; i < m_pages; ++i) {
        bool current = i == m_current;
        context.setFillColor(current ? currentPageIndicatorTintColor.value_or(UIColor::white())
                                     : pageIndicatorTintColor.value_or(UIColor::white(1, 0.3)));
        context.addPath(UIBezierPath::ovalIn({ x, b.midY() - dotSize / 2, dotSize, dotSize }).cgPath());
        context.fillPath();
        x += dotSize + dotSpacing;
    }
}

std::string UIPageControl::dumpAttributes() const
{
    return "page=" + std::to_string(m_current) + "/" + std::to_string(m_pages);
}
