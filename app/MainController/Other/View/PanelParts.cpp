#include "app/MainController/Other/View/PanelParts.h"

#include "app/Core/Helpers/ColorHex.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/UIFont.h"

#include <cstdio>

namespace panelparts {

namespace {

UIColor textColor(bool onDark)
{
    return onDark ? UIColor::white() : colorWithHex("1D1942");
}

}

std::shared_ptr<QMUILabel> makeTitle(const std::string& text, bool onDark)
{
    auto label = std::make_shared<QMUILabel>();
    label->setText(text);
    label->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    label->setTextColor(textColor(onDark));
    return label;
}

std::shared_ptr<QMUIButton> makeCloseButton(bool onDark)
{
    auto button = std::make_shared<QMUIButton>();
    button->setTitle(std::string("×"));
    button->setFont(UIFont::systemFont(24));
    button->setTitleColor(textColor(onDark));
    return button;
}

std::shared_ptr<QMUIButton> makeRow(const std::string& title, bool marked, bool onDark)
{
    auto button = std::make_shared<QMUIButton>();
    button->setTitle(title);
    button->setFont(UIFont::systemFont(14, marked ? UIFont::Weight::medium : UIFont::Weight::regular));
    button->setTitleColor(marked || !onDark ? colorWithHex("1D1942") : UIColor::white());
    UIColor idle = onDark ? UIColor::white(1, 0.12) : colorWithHex("F3F5F9");
    button->setBackgroundColor(marked ? colorWithHex("03FFE1") : idle);
    button->layer()->setCornerRadius(8);
    button->setSelected(marked);
    return button;
}

std::shared_ptr<QMUIButton> makeConfirmButton(const std::string& title)
{
    auto button = makeRow(title, true);
    button->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    return button;
}

std::string rateText(double rate)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", rate);
    std::string out = text;
    // Keep one decimal at least: "1.00" -> "1.0", "1.25" stays.
    while (out.size() > 3 && out.back() == '0' && out[out.size() - 2] != '.')
        out.pop_back();
    return out + "X";
}

void layoutHeader(const CGRect& bounds, UIView* title, UIView* close)
{
    constexpr CGFloat closeSide = 44;
    if (title) {
        title->setFrame(
            { sideInset, 0, std::max<CGFloat>(0, bounds.width() - 2 * sideInset - closeSide), headerHeight });
    }
    if (close)
        close->setFrame(
            { bounds.width() - closeSide - 6, (headerHeight - closeSide) / 2, closeSide, closeSide });
}

void layoutRows(const CGRect& bounds, CGFloat top, const std::vector<std::shared_ptr<QMUIButton>>& rows)
{
    CGFloat y = top;
    CGFloat width = std::max<CGFloat>(0, bounds.width() - 2 * sideInset);
    for (const auto& row : rows) {
        row->setFrame({ sideInset, y, width, rowHeight });
        y += rowHeight + rowSpacing;
    }
}

void layoutGrid(
    const CGRect& bounds, CGFloat top, const std::vector<std::shared_ptr<QMUIButton>>& chips, int columns)
{
    columns = std::max(columns, 1);
    CGFloat gap = rowSpacing;
    CGFloat width = std::max<CGFloat>(0, (bounds.width() - 2 * sideInset - gap * (columns - 1)) / columns);
    for (std::size_t i = 0; i < chips.size(); ++i) {
        auto column = static_cast<CGFloat>(i % static_cast<std::size_t>(columns));
        auto line = static_cast<CGFloat>(i / static_cast<std::size_t>(columns));
        chips[i]->setFrame(
            { sideInset + column * (width + gap), top + line * (rowHeight + gap), width, rowHeight });
    }
}

void replaceRows(UIView& panel, std::vector<std::shared_ptr<QMUIButton>>& rows,
    std::vector<std::shared_ptr<QMUIButton>> fresh)
{
    for (const auto& row : rows)
        row->removeFromSuperview();
    rows = std::move(fresh);
    for (const auto& row : rows)
        panel.addSubview(row);
    panel.setNeedsLayout();
}

}
