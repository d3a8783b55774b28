#include "platform/ui/UINavigationItem.h"

#include "platform/ui/UIView.h"

void UINavigationItem::setTitle(std::string title)
{
    m_title = std::move(title);
    changed();
}

void UINavigationItem::setTitleView(std::shared_ptr<UIView> view)
{
    m_titleView = std::move(view);
    changed();
}

void UINavigationItem::setLeftBarButtonItems(std::vector<std::shared_ptr<UIBarButtonItem>> items)
{
    std::erase(items, nullptr);
    m_left = std::move(items);
    watchItems();
    changed();
}

void UINavigationItem::setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> item)
{
    setLeftBarButtonItems(
        item ? std::vector { std::move(item) } : std::vector<std::shared_ptr<UIBarButtonItem>> {});
}

void UINavigationItem::setRightBarButtonItems(std::vector<std::shared_ptr<UIBarButtonItem>> items)
{
    std::erase(items, nullptr);
    m_right = std::move(items);
    watchItems();
    changed();
}

void UINavigationItem::setRightBarButtonItem(std::shared_ptr<UIBarButtonItem> item)
{
    setRightBarButtonItems(
        item ? std::vector { std::move(item) } : std::vector<std::shared_ptr<UIBarButtonItem>> {});
}

void UINavigationItem::setHidesBackButton(bool hides)
{
    m_hidesBackButton = hides;
    changed();
}

void UINavigationItem::setBackButtonTitle(std::optional<std::string> title)
{
    m_backButtonTitle = std::move(title);
    changed();
}

void UINavigationItem::setChangeHandler(std::function<void()> handler)
{
    m_changed = std::move(handler);
    watchItems();
}

void UINavigationItem::watchItems()
{
    for (auto* list : { &m_left, &m_right }) {
        for (auto& item : *list)
            item->setChangeHandler(m_changed);
    }
}

void UINavigationItem::changed()
{
    if (m_changed)
        m_changed();
}
