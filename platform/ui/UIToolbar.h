#pragma once

#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UINavigationBar.h"
#include "platform/ui/UIView.h"
#include "platform/ui/detail/BarBackground.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A bar of bar button items along the bottom of a screen, laid out from the leading edge in the
// top 44 points (the rest of a taller bar is the safe area), over a backdrop that follows the bar
// style. Buttons take the bar's tint unless their item has its own.
class UIToolbar : public UIView {
public:
    static constexpr CGFloat barHeight = 44;

    UIToolbar();
    std::string className() const override { return "UIToolbar"; }

    // Run on every tool bar as it comes into a window: how a framework gives the app's bars
    // its look (the latest rule replaces the former).
    static void setAppearanceRule(std::function<void(UIToolbar&)> rule);

    const std::vector<std::shared_ptr<UIBarButtonItem>>& items() const { return m_items; }
    void setItems(std::vector<std::shared_ptr<UIBarButtonItem>> items);
    const std::vector<std::shared_ptr<UIView>>& itemViews() const { return m_itemViews; }

    // ---- Look ----
    UIBarStyle barStyle() const { return m_background.look().style; }
    void setBarStyle(UIBarStyle style);
    void setBarTintColor(std::optional<UIColor> color);
    void setBackgroundImage(std::optional<UIImage> image);
    // The line along the top edge: unset draws the style's, an empty image hides it.
    void setShadowImage(std::optional<UIImage> image);
    // The buttons' font, and their colours while pressed and disabled (unset: dimmed).
    void setButtonFont(std::optional<UIFont> font);
    void setButtonStateColors(std::optional<UIColor> highlighted, std::optional<UIColor> disabled);

    CGSize sizeThatFits(CGSize size) const override;
    void layoutSubviews() override;
    void didMoveToWindow() override;

private:
    void changeLook(const std::function<void(detail::BarBackground::Look&)>& change);
    void rebuildItems();

    detail::BarBackground m_background;
    std::vector<std::shared_ptr<UIBarButtonItem>> m_items;
    std::vector<std::shared_ptr<UIView>> m_itemViews;
    std::optional<UIFont> m_buttonFont;
    std::optional<UIColor> m_highlightedColor;
    std::optional<UIColor> m_disabledColor;
};
