#include "platform/ui/UITabBarController.h"

#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/detail/ControllerHierarchy.h"

#include <algorithm>

using detail::ControllerHierarchy;

UITabBarController::UITabBarController()
    : m_tabBar(UIView::create<UITabBar>())
{ }

void UITabBarController::setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers)
{
    ControllerHierarchy::AppearanceUpdate update(*this, false);
    auto selected = selectedViewController();
    std::vector<std::shared_ptr<UIViewController>> tabs;
    for (auto& c : controllers) {
        if (!c || std::find(tabs.begin(), tabs.end(), c) != tabs.end())
            continue;
        bool ours = c->parent().get() == this;
        if (!ours && (c->parent() || c->presentingViewController() || ControllerHierarchy::windowOf(*c)))
            continue;
        tabs.push_back(std::move(c));
    }
    auto old = std::move(m_tabs);
    m_tabs = std::move(tabs);
    for (const auto& c : old) {
        if (std::find(m_tabs.begin(), m_tabs.end(), c) != m_tabs.end())
            continue;
        c->willMove(nullptr);
        if (const auto& v = c->viewIfLoaded())
            v->removeFromSuperview();
        c->removeFromParent();
    }
    for (const auto& c : m_tabs) {
        if (c->parent().get() != this)
            addChild(c);
    }
    auto it = std::find(m_tabs.begin(), m_tabs.end(), selected);
    m_selected = it == m_tabs.end() ? 0 : static_cast<std::size_t>(it - m_tabs.begin());
    std::vector<std::shared_ptr<UITabBarItem>> items;
    for (const auto& c : m_tabs)
        items.push_back(c->tabBarItem());
    m_tabBar->setItems(std::move(items));
    showSelected();
    update.commit();
    for (const auto& c : m_tabs)
        c->didMove(this);
    ControllerHierarchy::scheduleEnd(false, {}, [old = std::move(old)] { (void)old; });
}

std::shared_ptr<UIViewController> UITabBarController::selectedViewController() const
{
    return m_selected < m_tabs.size() ? m_tabs[m_selected] : nullptr;
}

void UITabBarController::setSelectedViewController(const std::shared_ptr<UIViewController>& controller)
{
    auto it = std::find(m_tabs.begin(), m_tabs.end(), controller);
    if (it != m_tabs.end())
        setSelectedIndex(static_cast<std::size_t>(it - m_tabs.begin()));
}

void UITabBarController::setSelectedIndex(std::size_t index)
{
    if (index >= m_tabs.size() || index == m_selected)
        return;
    ControllerHierarchy::AppearanceUpdate update(*this, false);
    if (const auto& v = m_tabs[m_selected]->viewIfLoaded())
        v->removeFromSuperview();
    m_selected = index;
    showSelected();
    update.commit();
    ControllerHierarchy::scheduleEnd(false, {}, {});
}

void UITabBarController::showSelected()
{
    m_tabBar->setSelectedIndex(m_selected);
    const auto& view = viewIfLoaded();
    auto selected = selectedViewController();
    if (!view || !selected)
        return;
    const auto& selectedView = selected->view();
    if (selectedView->superview() != view)
        view->insertSubviewBelow(selectedView, m_tabBar.get());
    layoutChildren();
}

bool UITabBarController::isTabBarHidden() const
{
    auto nav = std::dynamic_pointer_cast<UINavigationController>(selectedViewController());
    if (!nav)
        return false;
    auto stack = nav->viewControllers();
    return std::any_of(
        stack.begin(), stack.end(), [](const auto& c) { return c->hidesBottomBarWhenPushed(); });
}

void UITabBarController::loadView()
{
    UIViewController::loadView();
    viewIfLoaded()->addSubview(m_tabBar);
    std::weak_ptr<UIViewController> weak = weakFromThis();
    m_tabBar->setSelectAction([weak](std::size_t index) {
        if (auto self = std::static_pointer_cast<UITabBarController>(weak.lock()))
            self->setSelectedIndex(index);
    });
}

void UITabBarController::containerViewDidLoad()
{
    showSelected();
}

bool UITabBarController::isChildShown(const UIViewController& child) const
{
    auto selected = selectedViewController();
    return selected.get() == &child && child.isViewLoaded();
}

void UITabBarController::layoutChildren()
{
    const auto& view = viewIfLoaded();
    if (!view)
        return;
    CGRect b = view->bounds();
    CGFloat bottomInset = view->safeAreaInsets().bottom;
    bool hidden = isTabBarHidden();
    CGFloat height = UITabBar::barHeight + bottomInset;
    m_tabBar->setHidden(hidden);
    m_tabBar->setFrame({ b.minX(), b.maxY() - height, b.width(), height });
    auto selected = selectedViewController();
    if (!selected)
        return;
    const auto& selectedView = selected->viewIfLoaded();
    if (!selectedView || selectedView->superview() != view)
        return;
    UIEdgeInsets extra;
    if (!hidden)
        extra.bottom = UITabBar::barHeight;
    if (selectedView->additionalSafeAreaInsets() != extra)
        selectedView->setAdditionalSafeAreaInsets(extra);
    if (selectedView->frame() != b)
        selectedView->setFrame(b);
}
