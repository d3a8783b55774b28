#pragma once

#include "platform/ui/UIBarButtonItem.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIView;

// What a navigation bar shows while a controller is on top of the stack: the title (or a title
// view), the buttons at the left and right, and how the back button of the next screen reads.
class UINavigationItem {
public:
    UINavigationItem() = default;
    UINavigationItem(const UINavigationItem&) = delete;
    UINavigationItem& operator=(const UINavigationItem&) = delete;

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    // Replaces the title text when set.
    const std::shared_ptr<UIView>& titleView() const { return m_titleView; }
    void setTitleView(std::shared_ptr<UIView> view);

    // The first item sits at the outer edge.
    const std::vector<std::shared_ptr<UIBarButtonItem>>& leftBarButtonItems() const { return m_left; }
    void setLeftBarButtonItems(std::vector<std::shared_ptr<UIBarButtonItem>> items);
    std::shared_ptr<UIBarButtonItem> leftBarButtonItem() const
    {
        return m_left.empty() ? nullptr : m_left.front();
    }
    // nullptr removes the item.
    void setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> item);
    const std::vector<std::shared_ptr<UIBarButtonItem>>& rightBarButtonItems() const { return m_right; }
    void setRightBarButtonItems(std::vector<std::shared_ptr<UIBarButtonItem>> items);
    std::shared_ptr<UIBarButtonItem> rightBarButtonItem() const
    {
        return m_right.empty() ? nullptr : m_right.front();
    }
    void setRightBarButtonItem(std::shared_ptr<UIBarButtonItem> item);

    // A left item replaces the back button; hiding it leaves the left side empty.
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool hides);
    // The title of the back button that leads back to this item; unset uses the title.
    const std::optional<std::string>& backButtonTitle() const { return m_backButtonTitle; }
    void setBackButtonTitle(std::optional<std::string> title);

    // For the bar that shows the item: called after each change, also of the shown bar items.
    void setChangeHandler(std::function<void()> handler);

private:
    void changed();
    void watchItems();

    std::string m_title;
    std::shared_ptr<UIView> m_titleView;
    std::vector<std::shared_ptr<UIBarButtonItem>> m_left;
    std::vector<std::shared_ptr<UIBarButtonItem>> m_right;
    bool m_hidesBackButton = false;
    std::optional<std::string> m_backButtonTitle;
    std::function<void()> m_changed;
};
