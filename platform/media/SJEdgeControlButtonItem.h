#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/text/NSAttributedString.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class SJEdgeControlButtonItem;
class UIView;

// Space before (front) and after (rear) an item in its row, in points.
struct SJEdgeInsets {
    CGFloat front = 0;
    CGFloat rear = 0;
    bool operator==(const SJEdgeInsets&) const = default;
};

inline SJEdgeInsets SJEdgeInsetsMake(CGFloat front, CGFloat rear)
{
    return { front, rear };
}

// Something to run when an item is tapped.
class SJEdgeControlButtonItemAction {
public:
    using Handler = std::function<void(SJEdgeControlButtonItemAction& action)>;

    static std::shared_ptr<SJEdgeControlButtonItemAction> actionWithHandler(Handler handler);
    explicit SJEdgeControlButtonItemAction(Handler handler)
        : m_handler(std::move(handler))
    { }

    // The item that ran it; none once the item is gone.
    std::shared_ptr<SJEdgeControlButtonItem> item() const { return m_item.lock(); }
    void perform();

private:
    friend class SJEdgeControlButtonItem;
    Handler m_handler;
    std::weak_ptr<SJEdgeControlButtonItem> m_item;
};

// One place in a row of the player's edge controls: an image, a text, a view of the owner's, or
// nothing (a placeholder that takes the row's free width). A tap runs the item's actions in the
// order they were added. Changes show at once in the row that holds the item. Main thread.
class SJEdgeControlButtonItem : public std::enable_shared_from_this<SJEdgeControlButtonItem> {
public:
    using Action = std::function<void(SJEdgeControlButtonItem& item)>;

    // An image or text item whose tap runs `action` (none: only the added actions).
    static std::shared_ptr<SJEdgeControlButtonItem> initWithImage(UIImage image, Action action, int tag);
    static std::shared_ptr<SJEdgeControlButtonItem> initWithTitle(NSAttributedString title, Action action, int tag);
    // The view goes into the row as it is; its width is its frame's (else its intrinsic) width.
    static std::shared_ptr<SJEdgeControlButtonItem> initWithCustomView(std::shared_ptr<UIView> view, int tag);
    // Nothing to show; fills the free width of the row.
    static std::shared_ptr<SJEdgeControlButtonItem> placeholderFillingWidth(int tag);

    explicit SJEdgeControlButtonItem(int tag);

    int tag() const { return m_tag; }

    const std::optional<UIImage>& image() const { return m_image; }
    void setImage(std::optional<UIImage> image);
    const std::optional<NSAttributedString>& title() const { return m_title; }
    void setTitle(std::optional<NSAttributedString> title);
    const std::shared_ptr<UIView>& customView() const { return m_customView; }
    void setCustomView(std::shared_ptr<UIView> view);
    SJEdgeInsets insets() const { return m_insets; }
    void setInsets(SJEdgeInsets insets);
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    CGFloat alpha() const { return m_alpha; }
    void setAlpha(CGFloat alpha);
    // Takes the free width of the row (shared with the other filling items).
    bool fill() const { return m_fill; }
    void setFill(bool fill);

    void addAction(std::shared_ptr<SJEdgeControlButtonItemAction> action);
    void removeAllActions();
    const std::vector<std::shared_ptr<SJEdgeControlButtonItemAction>>& actions() const { return m_actions; }
    // What a tap does: the item's own action, then every added action.
    void performActions();

    // For the row: told of every change.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

private:
    void changed();

    int m_tag = 0;
    std::optional<UIImage> m_image;
    std::optional<NSAttributedString> m_title;
    std::shared_ptr<UIView> m_customView;
    SJEdgeInsets m_insets;
    bool m_hidden = false;
    CGFloat m_alpha = 1;
    bool m_fill = false;
    Action m_action;
    std::vector<std::shared_ptr<SJEdgeControlButtonItemAction>> m_actions;
    std::function<void()> m_changed;
};
