#pragma once

#include "platform/ui/UITabBar.h"
#include "platform/ui/UIViewController.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Shows one of several controllers, chosen with a bar of tabs at the bottom (each controller's
// tabBarItem, taken when the controllers are set). The bar hides while the selected controller
// is a navigation stack holding a controller that asks for it (hidesBottomBarWhenPushed).
class UITabBarController : public UIViewController {
public:
    UITabBarController();
    std::string className() const override { return "UITabBarController"; }

    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return m_tabs; }
    // Controllers shown elsewhere are left out. The selection moves to the first tab when the
    // selected controller is gone.
    void setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers);
    std::size_t selectedIndex() const { return m_selected; }
    // Out-of-range indexes are ignored.
    void setSelectedIndex(std::size_t index);
    std::shared_ptr<UIViewController> selectedViewController() const;
    void setSelectedViewController(const std::shared_ptr<UIViewController>& controller);

    UITabBar& tabBar() { return *m_tabBar; }
    bool isTabBarHidden() const;

    void loadView() override;

protected:
    bool isChildShown(const UIViewController& child) const override;
    void layoutChildren() override;
    void containerViewDidLoad() override;

private:
    void showSelected();

    std::vector<std::shared_ptr<UIViewController>> m_tabs;
    std::size_t m_selected = 0;
    std::shared_ptr<UITabBar> m_tabBar;
};
