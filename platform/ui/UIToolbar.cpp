#include "platform/ui/UIToolbar.h"

#include "platform/ui/UIScreen.h"

#include <algorithm>

namespace {

constexpr CGFloat toolbarItemMargin = 16;
constexpr CGFloat toolbarItemSpacing = 8;

std::function<void(UIToolbar&)>& toolbarAppearanceRule()
{
    static std::function<void(UIToolbar&)> rule;
    return rule;
}

}

UIToolbar::UIToolbar()
    : UIView(CGRect { 0, 0, UIScreen::main().bounds().width(), barHeight })
{ }

void UIToolbar::setAppearanceRule(std::function<void(UIToolbar&)> rule)
{
    toolbarAppearanceRule() = std::move(rule);
}

void UIToolbar::didMoveToWindow()
{
    UIView::didMoveToWindow();
    if (auto rule = toolbarAppearanceRule(); rule && window())
        rule(*this);
}

void UIToolbar::setItems(std::vector<std::shared_ptr<UIBarButtonItem>> items)
{
    for (auto& item : m_items)
        item->setChangeHandler({});
    std::erase(items, nullptr);
    m_items = std::move(items);
    // A changed item (title, enabled...) is shown anew.
    std::weak_ptr<UIView> weak = weakFromThis();
    for (auto& item : m_items) {
        item->setChangeHandler([weak] {
            if (auto bar = std::static_pointer_cast<UIToolbar>(weak.lock()))
                bar->rebuildItems();
        });
    }
    rebuildItems();
}

void UIToolbar::rebuildItems()
{
    for (auto& view : m_itemViews)
        view->removeFromSuperview();
    m_itemViews.clear();
    for (const auto& item : m_items) {
        auto view = UINavigationBarButton::viewForItem(item);
        if (auto button = std::dynamic_pointer_cast<UINavigationBarButton>(view)) {
            if (m_buttonFont)
                button->setFont(*m_buttonFont);
            button->setStateColors(m_highlightedColor, m_disabledColor);
        }
        addSubview(view);
        m_itemViews.push_back(std::move(view));
    }
    setNeedsLayout();
}

void UIToolbar::changeLook(const std::function<void(detail::BarBackground::Look&)>& change)
{
    auto look = m_background.look();
    change(look);
    m_background.setLook(std::move(look));
}

void UIToolbar::setBarStyle(UIBarStyle style)
{
    changeLook([&](auto& look) { look.style = style; });
}

void UIToolbar::setBarTintColor(std::optional<UIColor> color)
{
    changeLook([&](auto& look) { look.barTintColor = std::move(color); });
}

void UIToolbar::setBackgroundImage(std::optional<UIImage> image)
{
    changeLook([&](auto& look) { look.backgroundImage = std::move(image); });
}

void UIToolbar::setShadowImage(std::optional<UIImage> image)
{
    changeLook([&](auto& look) { look.shadowImage = std::move(image); });
}

void UIToolbar::setButtonFont(std::optional<UIFont> font)
{
    if (font == m_buttonFont)
        return;
    m_buttonFont = std::move(font);
    rebuildItems();
}

void UIToolbar::setButtonStateColors(std::optional<UIColor> highlighted, std::optional<UIColor> disabled)
{
    if (highlighted == m_highlightedColor && disabled == m_disabledColor)
        return;
    m_highlightedColor = std::move(highlighted);
    m_disabledColor = std::move(disabled);
    rebuildItems();
}

CGSize UIToolbar::sizeThatFits(CGSize size) const
{
    return { size.width, barHeight };
}

void UIToolbar::layoutSubviews()
{
    m_background.attach(*this);
    UIView::layoutSubviews();
    m_background.layout(bounds());
    CGFloat x = toolbarItemMargin;
    for (const auto& view : m_itemViews) {
        // Custom views keep a size of their own; buttons fit their content.
        CGSize size = view->frame().size;
        if (size.width <= 0 || size.height <= 0 || dynamic_cast<UINavigationBarButton*>(view.get()))
            size = view->sizeThatFits({ 0, barHeight });
        size.height = std::min(size.height, barHeight);
        view->setFrame({ x, (barHeight - size.height) / 2, size.width, size.height });
        x += size.width + toolbarItemSpacing;
    }
}
