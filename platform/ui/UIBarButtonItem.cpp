#include "platform/ui/UIBarButtonItem.h"

#include "platform/ui/UIView.h"
#include "platform/ui/gestures/UITouch.h"

namespace {

std::function<bool(const UIBarButtonItem&)>& repeatedTouchUpRule()
{
    static std::function<bool(const UIBarButtonItem&)> rule;
    return rule;
}

}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::withTitle(
    std::string title, UIBarButtonItemStyle style, Action action)
{
    auto item = std::make_shared<UIBarButtonItem>();
    item->m_title = std::move(title);
    item->m_style = style;
    item->m_action = std::move(action);
    return item;
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::withImage(
    UIImage image, UIBarButtonItemStyle style, Action action)
{
    auto item = std::make_shared<UIBarButtonItem>();
    item->m_image = std::move(image);
    item->m_style = style;
    item->m_action = std::move(action);
    return item;
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::withCustomView(std::shared_ptr<UIView> view)
{
    auto item = std::make_shared<UIBarButtonItem>();
    item->m_customView = std::move(view);
    return item;
}

void UIBarButtonItem::setTitle(std::string title)
{
    m_title = std::move(title);
    changed();
}

void UIBarButtonItem::setImage(std::optional<UIImage> image)
{
    m_image = std::move(image);
    changed();
}

void UIBarButtonItem::setCustomView(std::shared_ptr<UIView> view)
{
    m_customView = std::move(view);
    changed();
}

void UIBarButtonItem::setStyle(UIBarButtonItemStyle style)
{
    m_style = style;
    changed();
}

void UIBarButtonItem::setTintColor(std::optional<UIColor> color)
{
    m_tintColor = std::move(color);
    changed();
}

void UIBarButtonItem::setEnabled(bool enabled)
{
    m_enabled = enabled;
    changed();
}

bool UIBarButtonItem::performAction()
{
    if (!m_enabled || !m_action)
        return false;
    // The action may drop the last reference to the item (by replacing the bar's items).
    auto keep = shared_from_this();
    auto action = m_action;
    action(*this);
    return true;
}

bool UIBarButtonItem::acceptsTouchUp(const UITouch& touch) const
{
    return touch.tapCount() <= 1 || !preventsRepeatedTouchUpInsideEvent();
}

bool UIBarButtonItem::preventsRepeatedTouchUpInsideEvent() const
{
    if (m_preventsRepeated)
        return *m_preventsRepeated;
    const auto& rule = repeatedTouchUpRule();
    return rule && rule(*this);
}

void UIBarButtonItem::setRepeatedTouchUpRule(std::function<bool(const UIBarButtonItem&)> rule)
{
    repeatedTouchUpRule() = std::move(rule);
}

void UIBarButtonItem::changed()
{
    if (m_changed)
        m_changed();
}
