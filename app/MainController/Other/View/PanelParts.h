#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <memory>
#include <string>
#include <vector>

// The plain look shared by the presenters' panels: a header with a title and a close button,
// then a column of rows, each a rounded button. Panels lay themselves out with these.
namespace panelparts {

inline constexpr CGFloat headerHeight = 54;
inline constexpr CGFloat rowHeight = 50;
inline constexpr CGFloat rowSpacing = 12;
inline constexpr CGFloat sideInset = 16;

// A weak handle on a view owned by a shared_ptr, for actions that must not keep it alive.
template<typename T> std::weak_ptr<T> weakSelf(T& view)
{
    return std::static_pointer_cast<T>(view.sharedFromThis());
}

// A touch-up on `button` runs `action` on `owner` while the owner lives; the button never keeps
// its panel alive.
template<typename T, typename Action> void onTap(QMUIButton& button, T& owner, Action action)
{
    button.addAction(UIControlEventTouchUpInside, [weak = weakSelf(owner), action](UIControl&) {
        if (auto self = weak.lock())
            action(*self);
    });
}

std::shared_ptr<QMUILabel> makeTitle(const std::string& text, bool onDark = false);
std::shared_ptr<QMUIButton> makeCloseButton(bool onDark = false);
// `marked` rows stand out (the current source, episode or rate).
std::shared_ptr<QMUIButton> makeRow(const std::string& title, bool marked, bool onDark = false);
std::shared_ptr<QMUIButton> makeConfirmButton(const std::string& title);

// A playback rate as the panels write it: "1.0X", "1.25X".
std::string rateText(double rate);

// Title along the top left, the close button (if any) at the top right.
void layoutHeader(const CGRect& bounds, UIView* title, UIView* close);
// Rows one under another from `top`, inset at the sides.
void layoutRows(const CGRect& bounds, CGFloat top, const std::vector<std::shared_ptr<QMUIButton>>& rows);
// Chips `columns` to a line from `top`, rows of rowHeight.
void layoutGrid(
    const CGRect& bounds, CGFloat top, const std::vector<std::shared_ptr<QMUIButton>>& chips, int columns);
// Takes the old rows out of the panel and puts the new ones in.
void replaceRows(UIView& panel, std::vector<std::shared_ptr<QMUIButton>>& rows,
    std::vector<std::shared_ptr<QMUIButton>> fresh);

}
