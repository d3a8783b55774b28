#include "platform/media/SJEdgeControlButtonItem.h"

#include "platform/ui/UIView.h"

#include <algorithm>

std::shared_ptr<SJEdgeControlButtonItemAction> SJEdgeControlButtonItemAction::actionWithHandler(Handler handler)
{
    return std::make_shared<SJEdgeControlButtonItemAction>(std::move(handler));
}

void SJEdgeControlButtonItemAction::perform()
{
    if (auto handler = m_handler)
        handler(*this);
}

std::shared_ptr<SJEdgeControlButtonItem> SJEdgeControlButtonItem::initWithImage(UIImage image, Action action, int tag)
{
    auto item = std::make_shared<SJEdgeControlButtonItem>(tag);
    item->m_image = std::move(image);
    item->m_action = std::move(action);
    return item;
}

std::shared_ptr<SJEdgeControlButtonItem> SJEdgeControlButtonItem::initWithTitle(
    NSAttributedString title, Action action, int tag)
{
    auto item = std::make_shared<SJEdgeControlButtonItem>(tag);
    item->m_title = std::move(title);
    item->m_action = std::move(action);
    return item;
}

std::shared_ptr<SJEdgeControlButtonItem> SJEdgeControlButtonItem::initWithCustomView(
    std::shared_ptr<UIView> view, int tag)
{
    auto item = std::make_shared<SJEdgeControlButtonItem>(tag);
    item->m_customView = std::move(view);
    return item;
}

std::shared_ptr<SJEdgeControlButtonItem> SJEdgeControlButtonItem::placeholderFillingWidth(int tag)
{
    auto item = std::make_shared<SJEdgeControlButtonItem>(tag);
    item->m_fill = true;
    return item;
}

SJEdgeControlButtonItem::SJEdgeControlButtonItem(int tag)
    : m_tag(tag)
{ }

void SJEdgeControlButtonItem::changed()
{
    if (auto handler = m_changed)
        handler();
}

void SJEdgeControlButtonItem::setImage(std::optional<UIImage> image)
{
    m_image = std::move(image);
    changed();
}

void SJEdgeControlButtonItem::setTitle(std::optional<NSAttributedString> title)
{
    m_title = std::move(title);
    changed();
}

void SJEdgeControlButtonItem::setCustomView(std::shared_ptr<UIView> view)
{
    m_customView = std::move(view);
    changed();
}

void SJEdgeControlButtonItem::setInsets(SJEdgeInsets insets)
{
    m_insets = insets;
    changed();
}

void SJEdgeControlButtonItem::setHidden(bool hidden)
{
    m_hidden = hidden;
    changed();
}

void SJEdgeControlButtonItem::setAlpha(CGFloat alpha)
{
    m_alpha = std::clamp<CGFloat>(alpha, 0, 1);
    changed();
}

void SJEdgeControlButtonItem::setFill(bool fill)
{
    m_fill = fill;
    changed();
}

void SJEdgeControlButtonItem::addAction(std::shared_ptr<SJEdgeControlButtonItemAction> action)
{
    if (!action)
        return;
    action->m_item = weak_from_this();
    m_actions.push_back(std::move(action));
}

void SJEdgeControlButtonItem::removeAllActions()
{
    m_actions.clear();
}

void SJEdgeControlButtonItem::performActions()
{
    // The item may be changed or dropped by what runs: hold it and a copy of the list.
    auto self = shared_from_this();
    if (auto action = m_action)
        action(*self);
    auto actions = m_actions;
    for (const auto& added : actions)
        added->perform();
}
