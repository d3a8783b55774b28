#pragma once

#include "platform/ui/UIBarStyle.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationItem.h"
#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A tappable title and/or image of a navigation bar: the back button and the title and image
// bar button items. Touches that end on it, or performTap(), run its action.
class UINavigationBarButton : public UIView {
public:
    UINavigationBarButton(std::string title, std::optional<UIImage> image, std::function<void()> action);
    // What shows a bar button item in a bar: its custom view, else a button that runs the item's
    // action (a repeated tap as the item allows) in the item's font, tint and state.
    static std::shared_ptr<UIView> viewForItem(const std::shared_ptr<UIBarButtonItem>& item);

    std::string className() const override { return "UINavigationBarButton"; }

    const std::string& title() const { return m_label->text(); }
    const std::optional<UIImage>& image() const { return m_imageView->image(); }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    void setFont(UIFont font);
    // Colour of the title and of template images; unset follows the tint colour.
    void setColor(std::optional<UIColor> color);
    // Colours while pressed and while disabled; unset dims the normal colour instead.
    void setStateColors(std::optional<UIColor> highlighted, std::optional<UIColor> disabled);
    const UILabel& titleLabel() const { return *m_label; }

    // What a tap does: runs the action when enabled. Returns whether it ran.
    bool performTap();
    // Asked at the touch-up of a tap before the action runs; no ignores that tap.
    std::function<bool(const UITouch&)> acceptsTouchUp;

    CGSize sizeThatFits(CGSize size) const override;
    void layoutSubviews() override;
    void tintColorDidChange() override;
    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;
    std::string dumpAttributes() const override;

private:
    void updateColors();
    void attachParts();

    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UILabel> m_label;
    std::function<void()> m_action;
    std::optional<UIColor> m_color;
    std::optional<UIColor> m_highlightedColor;
    std::optional<UIColor> m_disabledColor;
    bool m_enabled = true;
    bool m_tracking = false;
};

struct UINavigationBarTitleTextAttributes {
    std::optional<UIFont> font;
    std::optional<UIColor> foregroundColor;
    bool operator==(const UINavigationBarTitleTextAttributes&) const = default;
};

// The bar at the top of a navigation controller: 44 points high, under the status bar, with its
// background reaching up behind the status bar. It shows the top item of its stack: the title
// (or title view) in the middle, the left items or a back button (titled after the item below)
// on the left, the right items on the right.
class UINavigationBar : public UIView {
public:
    static constexpr CGFloat barHeight = 44;

    // Defaults for bars made afterwards (what a theme sets app-wide).
    struct Appearance {
        std::optional<UIImage> backgroundImage;
        std::optional<UIImage> shadowImage;
        std::optional<UIColor> barTintColor;
        std::optional<UIColor> tintColor;
        UINavigationBarTitleTextAttributes titleTextAttributes;
        std::optional<UIImage> backIndicatorImage;
        bool translucent = true;
        UIBarStyle barStyle = UIBarStyle::defaultStyle;
    };
    static Appearance& appearance();

    UINavigationBar();

    std::string className() const override { return "UINavigationBar"; }

    // ---- Look ----
    // An opaque bar lets the content of its controllers start below it.
    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool translucent);
    // Black gives a black background and a white title unless the bar sets its own.
    UIBarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(UIBarStyle style);
    // Background colour; unset gives the style's (slightly see-through when translucent).
    const std::optional<UIColor>& barTintColor() const { return m_barTintColor; }
    void setBarTintColor(std::optional<UIColor> color);
    // Drawn over the whole background, stretched.
    const std::optional<UIImage>& backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(std::optional<UIImage> image);
    // The line under the bar: unset draws the default hairline, an empty image hides it.
    const std::optional<UIImage>& shadowImage() const { return m_shadowImage; }
    void setShadowImage(std::optional<UIImage> image);
    bool isShadowHidden() const;
    const UINavigationBarTitleTextAttributes& titleTextAttributes() const { return m_titleAttributes; }
    void setTitleTextAttributes(UINavigationBarTitleTextAttributes attributes);
    // The back button's image (drawn as is unless it is a template); unset draws a chevron.
    const std::optional<UIImage>& backIndicatorImage() const { return m_backIndicatorImage; }
    void setBackIndicatorImage(std::optional<UIImage> image);

    // ---- Items ----
    // Bottom first; the last is shown.
    const std::vector<std::shared_ptr<UINavigationItem>>& items() const { return m_items; }
    void setItems(std::vector<std::shared_ptr<UINavigationItem>> items);
    std::shared_ptr<UINavigationItem> topItem() const;
    std::shared_ptr<UINavigationItem> backItem() const;
    // Run by the back button (the navigation controller pops).
    void setBackAction(std::function<void()> action) { m_backAction = std::move(action); }
    // How far the background reaches above the bar (the status bar's height).
    void setBackgroundExtension(CGFloat top);

    // ---- Shown views (for tests and the touch driver) ----
    // The title label; nullptr while a title view is shown or there is no item.
    const std::shared_ptr<UILabel>& titleLabel() const { return m_titleLabel; }
    const std::shared_ptr<UINavigationBarButton>& backButton() const { return m_backButton; }
    const std::vector<std::shared_ptr<UIView>>& leftItemViews() const { return m_leftViews; }
    const std::vector<std::shared_ptr<UIView>>& rightItemViews() const { return m_rightViews; }

    CGSize sizeThatFits(CGSize size) const override;
    void layoutSubviews() override;
    void tintColorDidChange() override;
    std::string dumpAttributes() const override;

private:
    void attachParts();
    void rebuildContent();
    void updateBackground();

    bool m_translucent = true;
    UIBarStyle m_barStyle = UIBarStyle::defaultStyle;
    std::optional<UIColor> m_barTintColor;
    std::optional<UIImage> m_backgroundImage;
    std::optional<UIImage> m_shadowImage;
    UINavigationBarTitleTextAttributes m_titleAttributes;
    std::optional<UIImage> m_backIndicatorImage;
    CGFloat m_backgroundExtension = 0;

    std::vector<std::shared_ptr<UINavigationItem>> m_items;
    std::function<void()> m_backAction;

    std::shared_ptr<UIImageView> m_backgroundView;
    std::shared_ptr<UIImageView> m_shadowView;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UIView> m_titleView;
    std::shared_ptr<UINavigationBarButton> m_backButton;
    std::vector<std::shared_ptr<UIView>> m_leftViews;
    std::vector<std::shared_ptr<UIView>> m_rightViews;
};
