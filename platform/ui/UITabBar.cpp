#include "platform/ui/UITabBar.h"

#include "platform/ui/UIScreen.h"

#include <algorithm>

namespace {

constexpr CGFloat imageTop = 5;
constexpr CGFloat titleBottom = 4;

std::function<void(UITabBar&)>& appearanceRule()
{
    static std::function<void(UITabBar&)> rule;
    return rule;
}

UIFont defaultTitleFont()
{
    return UIFont::systemFont(10, UIFont::Weight::medium);
}

}

// ---- UITabBarButton ----

UITabBarButton::UITabBarButton(std::shared_ptr<UITabBarItem> item, std::function<void()> action)
    : m_item(item ? std::move(item) : std::make_shared<UITabBarItem>())
    , m_imageView(UIView::create<UIImageView>())
    , m_label(UIView::create<UILabel>())
    , m_action(std::move(action))
{
    m_label->setText(m_item->title());
    m_label->setTextAlignment(NSTextAlignment::center);
    m_label->setUserInteractionEnabled(false);
    m_imageView->setContentMode(UIViewContentMode::center);
    m_imageView->setUserInteractionEnabled(false);
    update();
}

void UITabBarButton::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

void UITabBarButton::setAppearance(
    const UITabBarItemStateAppearance& normal, const UITabBarItemStateAppearance& selected)
{
    m_normal = normal;
    m_selectedAppearance = selected;
    update();
}

void UITabBarButton::update()
{
    const auto& look = m_selected ? m_selectedAppearance : m_normal;
    UIColor fallback = m_selected ? tintColor() : UIColor::gray();
    UIFont font = look.titleFont ? *look.titleFont
        : m_normal.titleFont     ? *m_normal.titleFont
                                 : defaultTitleFont();
    m_label->setFont(font);
    m_label->setTextColor(look.titleColor.value_or(fallback));
    m_imageView->setTintColor(look.iconColor.value_or(fallback));
    m_imageView->setImage(m_selected ? m_item->selectedImage() : m_item->image());
    m_imageView->setHidden(!m_imageView->image());
    setNeedsLayout();
}

void UITabBarButton::tintColorDidChange()
{
    update();
}

bool UITabBarButton::performTap()
{
    if (!m_action)
        return false;
    auto keep = weak_from_this().lock();
    auto action = m_action;
    action();
    return true;
}

void UITabBarButton::layoutSubviews()
{
    if (m_label->superview().get() != this) {
        addSubview(m_imageView);
        addSubview(m_label);
    }
    UIView::layoutSubviews();
    CGRect b = bounds();
    CGFloat titleHeight = m_label->text().empty() ? 0 : m_label->sizeThatFits({ b.width(), 0 }).height;
    if (m_imageView->isHidden()) {
        m_label->setFrame({ 0, (b.height() - titleHeight) / 2, b.width(), titleHeight });
        return;
    }
    CGSize image = m_imageView->image()->size();
    // Without a title the image sits in the middle.
    CGFloat y = titleHeight > 0 ? imageTop : (b.height() - image.height) / 2;
    m_imageView->setFrame({ (b.width() - image.width) / 2, y, image.width, image.height });
    m_label->setFrame({ 0, b.height() - titleBottom - titleHeight, b.width(), titleHeight });
}

void UITabBarButton::touchesBegan(const UITouchSet&, const UIEvent*)
{
    m_tracking = true;
}

void UITabBarButton::touchesEnded(const UITouchSet&, const UIEvent*)
{
    bool wasTracking = m_tracking;
    m_tracking = false;
    if (wasTracking)
        performTap();
}

void UITabBarButton::touchesCancelled(const UITouchSet&, const UIEvent*)
{
    m_tracking = false;
}

// ---- UITabBar ----

UITabBar::UITabBar()
    : UIView(CGRect { 0, 0, UIScreen::main().bounds().width(), barHeight })
{ }

void UITabBar::setAppearanceRule(std::function<void(UITabBar&)> rule)
{
    appearanceRule() = std::move(rule);
}

void UITabBar::didMoveToWindow()
{
    UIView::didMoveToWindow();
    // A copy: the rule may be replaced while it runs.
    if (auto rule = appearanceRule(); rule && window())
        rule(*this);
}

void UITabBar::setItems(std::vector<std::shared_ptr<UITabBarItem>> items)
{
    for (auto& button : m_buttons)
        button->removeFromSuperview();
    m_buttons.clear();
    std::weak_ptr<UIView> weak = weakFromThis();
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto button = UIView::create<UITabBarButton>(std::move(items[i]), [weak, i] {
            auto bar = std::static_pointer_cast<UITabBar>(weak.lock());
            if (bar && bar->m_select) {
                auto select = bar->m_select;
                select(i);
            }
        });
        button->setAppearance(m_normal, m_selectedAppearance);
        button->setSelected(i == m_selected);
        addSubview(button);
        m_buttons.push_back(std::move(button));
    }
    setNeedsLayout();
}

void UITabBar::setSelectedIndex(std::size_t index)
{
    m_selected = index;
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setSelected(i == index);
}

void UITabBar::changeLook(const std::function<void(detail::BarBackground::Look&)>& change)
{
    auto look = m_background.look();
    change(look);
    m_background.setLook(std::move(look));
}

void UITabBar::setBarStyle(UIBarStyle style)
{
    changeLook([&](auto& look) { look.style = style; });
}

void UITabBar::setBarTintColor(std::optional<UIColor> color)
{
    changeLook([&](auto& look) { look.barTintColor = std::move(color); });
}

void UITabBar::setBackgroundImage(std::optional<UIImage> image)
{
    changeLook([&](auto& look) { look.backgroundImage = std::move(image); });
}

void UITabBar::setShadowImage(std::optional<UIImage> image)
{
    changeLook([&](auto& look) { look.shadowImage = std::move(image); });
}

void UITabBar::setItemAppearance(UITabBarItemStateAppearance normal, UITabBarItemStateAppearance selected)
{
    m_normal = std::move(normal);
    m_selectedAppearance = std::move(selected);
    for (auto& button : m_buttons)
        button->setAppearance(m_normal, m_selectedAppearance);
}

void UITabBar::layoutSubviews()
{
    m_background.attach(*this);
    UIView::layoutSubviews();
    m_background.layout(bounds());
    if (m_buttons.empty())
        return;
    CGFloat width = bounds().width() / static_cast<CGFloat>(m_buttons.size());
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setFrame({ width * static_cast<CGFloat>(i), 0, width, barHeight });
}
