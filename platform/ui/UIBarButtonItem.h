#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class UITouch;
class UIView;

enum class UIBarButtonItemStyle { plain, done };

// A button of a navigation bar: a title, an image or a custom view of the caller's, with an
// action closure (the target-action pair). Bars redraw when a shown item changes.
class UIBarButtonItem : public std::enable_shared_from_this<UIBarButtonItem> {
public:
    using Action = std::function<void(UIBarButtonItem&)>;

    static std::shared_ptr<UIBarButtonItem> withTitle(
        std::string title, UIBarButtonItemStyle style = UIBarButtonItemStyle::plain, Action action = {});
    static std::shared_ptr<UIBarButtonItem> withImage(
        UIImage image, UIBarButtonItemStyle style = UIBarButtonItemStyle::plain, Action action = {});
    // The bar shows the view itself, at its own size; the item's action is not used by the bar.
    static std::shared_ptr<UIBarButtonItem> withCustomView(std::shared_ptr<UIView> view);

    UIBarButtonItem() = default;
    UIBarButtonItem(const UIBarButtonItem&) = delete;
    UIBarButtonItem& operator=(const UIBarButtonItem&) = delete;

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    const std::optional<UIImage>& image() const { return m_image; }
    void setImage(std::optional<UIImage> image);
    const std::shared_ptr<UIView>& customView() const { return m_customView; }
    void setCustomView(std::shared_ptr<UIView> view);
    UIBarButtonItemStyle style() const { return m_style; }
    void setStyle(UIBarButtonItemStyle style);
    // Own tint, else the bar's.
    const std::optional<UIColor>& tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<UIColor> color);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    const Action& action() const { return m_action; }
    void setAction(Action action) { m_action = std::move(action); }
    // What a tap does: runs the action when the item is enabled. Returns whether it ran.
    bool performAction();
    // Whether the touch-up of a tap on the item's button may run the action: not for a repeated
    // tap (tap count above 1) while the item prevents repeated touch-ups.
    bool acceptsTouchUp(const UITouch& touch) const;

    // Unless set on the item, the answer comes from the process-wide rule (an app-wide helper
    // installs one to turn it on for every bar button), else it is off.
    bool preventsRepeatedTouchUpInsideEvent() const;
    void setPreventsRepeatedTouchUpInsideEvent(bool prevents) { m_preventsRepeated = prevents; }
    static void setRepeatedTouchUpRule(std::function<bool(const UIBarButtonItem&)> rule);

    // For the bar that shows the item: called after each change.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

private:
    void changed();

    std::string m_title;
    std::optional<UIImage> m_image;
    std::shared_ptr<UIView> m_customView;
    UIBarButtonItemStyle m_style = UIBarButtonItemStyle::plain;
    std::optional<UIColor> m_tintColor;
    bool m_enabled = true;
    std::optional<bool> m_preventsRepeated;
    int m_tag = 0;
    Action m_action;
    std::function<void()> m_changed;
};
