#pragma once

#include "platform/ui/controls/UIControl.h"

#include <optional>

// A row of dots, one per page, the current one highlighted. A tap left or right of the current
// dot moves one page that way and sends value-changed.
class UIPageControl : public UIControl {
public:
    static constexpr CGFloat dotSize = 7;
    static constexpr CGFloat dotSpacing = 9;
    static constexpr CGFloat height = 26;

    UIPageControl();
    explicit UIPageControl(const CGRect& frame);

    std::string className() const override { return "UIPageControl"; }

    int numberOfPages() const { return m_pages; }
    void setNumberOfPages(int pages);
    // Clamped to the pages; sends nothing.
    int currentPage() const { return m_current; }
    void setCurrentPage(int page);
    bool hidesForSinglePage = false;
    std::optional<UIColor> pageIndicatorTintColor;
    std::optional<UIColor> currentPageIndicatorTintColor;

    CGSize sizeForNumberOfPages(int pages) const;
    CGSize intrinsicContentSize() const override { return sizeForNumberOfPages(m_pages); }
    CGSize sizeThatFits(CGSize) const override { return intrinsicContentSize(); }
    void endTracking(const UITouch* touch, const UIEvent* event) override;
    void draw(CGContext& context, const CGRect& rect) override;
    std::string dumpAttributes() const override;

protected:
    bool keepsSingleTaps() const override { return true; }

private:
    int m_pages = 0;
    int m_current = 0;
};
