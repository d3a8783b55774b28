#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UITabBarItem.h"
#include "platform/ui/UIView.h"
#include "platform/ui/detail/BarBackground.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// How the items of a tab bar look in one state. Unset values keep the bar's own: a small medium
// font, grey when normal and the tint colour when selected (the selected font follows the
// normal one).
struct UITabBarItemStateAppearance {
    std::optional<UIFont> titleFont;
    std::optional<UIColor> titleColor;
    // Colour of template images; images drawn as they are keep their own colours.
    std::optional<UIColor> iconColor;
};

// One tab of a tab bar: the item's image (its selected image while selected) above its title.
// A tap runs the action.
class UITabBarButton : public UIView {
public:
    UITabBarButton(std::shared_ptr<UITabBarItem> item, std::function<void()> action);
    std::string className() const override { return "UITabBarButton"; }

    const std::string& title() const { return m_label->text(); }
    const UILabel& titleLabel() const { return *m_label; }
    const UIImageView& imageView() const { return *m_imageView; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    void setAppearance(
        const UITabBarItemStateAppearance& normal, const UITabBarItemStateAppearance& selected);
    bool performTap();

    void layoutSubviews() override;
    void tintColorDidChange() override;
    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

private:
    void update();

    std::shared_ptr<UITabBarItem> m_item;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UILabel> m_label;
    std::function<void()> m_action;
    UITabBarItemStateAppearance m_normal;
    UITabBarItemStateAppearance m_selectedAppearance;
    bool m_selected = false;
    bool m_tracking = false;
};

// The bar at the bottom of a tab bar controller: one button per item, side by side, the selected
// one in the tint colour, over a backdrop that follows the bar style.
class UITabBar : public UIView {
public:
    static constexpr CGFloat barHeight = 49;

    UITabBar();
    std::string className() const override { return "UITabBar"; }

    // Run on every bar as it comes into a window: how a framework gives the app's bars its
    // look (the latest rule replaces the former).
    static void setAppearanceRule(std::function<void(UITabBar&)> rule);

    void setItems(std::vector<std::shared_ptr<UITabBarItem>> items);
    void setSelectedIndex(std::size_t index);
    // Run with the index of a tapped button.
    void setSelectAction(std::function<void(std::size_t)> action) { m_select = std::move(action); }
    const std::vector<std::shared_ptr<UITabBarButton>>& buttons() const { return m_buttons; }

    // ---- Look ----
    UIBarStyle barStyle() const { return m_background.look().style; }
    void setBarStyle(UIBarStyle style);
    void setBarTintColor(std::optional<UIColor> color);
    void setBackgroundImage(std::optional<UIImage> image);
    // The line along the top edge: unset draws the style's, an empty image hides it.
    void setShadowImage(std::optional<UIImage> image);
    void setItemAppearance(UITabBarItemStateAppearance normal, UITabBarItemStateAppearance selected);

    void layoutSubviews() override;
    void didMoveToWindow() override;

private:
    void changeLook(const std::function<void(detail::BarBackground::Look&)>& change);

    detail::BarBackground m_background;
    std::vector<std::shared_ptr<UITabBarButton>> m_buttons;
    UITabBarItemStateAppearance m_normal;
    UITabBarItemStateAppearance m_selectedAppearance;
    std::size_t m_selected = 0;
    std::function<void(std::size_t)> m_select;
};
