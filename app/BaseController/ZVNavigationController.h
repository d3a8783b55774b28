#pragma once

#include "platform/ui/qmui/QMUINavigationController.h"

#include <memory>

// The app's navigation stack, for the window's root and for every stack presented modally.
// The screen on top decides rotation and status bar; every screen pushed above the root hides
// the bottom bar; the bar is opaque over the system background colour.
class ZVNavigationController : public QMUINavigationController, public UINavigationControllerDelegate {
public:
    ZVNavigationController();
    explicit ZVNavigationController(std::shared_ptr<UIViewController> root);

    std::string className() const override { return "ZVNavigationController"; }

    void viewDidLoad() override;
    void pushViewController(std::shared_ptr<UIViewController> controller, bool animated,
        std::function<void()> completion = {}) override;

    // Each the top screen's answer. An empty stack (never on screen) answers as a plain controller.
    bool shouldAutorotate() const override;
    unsigned supportedInterfaceOrientations() const override;
    UIInterfaceOrientation preferredInterfaceOrientationForPresentation() const override;
    std::shared_ptr<UIViewController> childViewControllerForStatusBarStyle() const override;
    std::shared_ptr<UIViewController> childViewControllerForStatusBarHidden() const override;

    std::optional<UIImage> qmui_navigationBarBackgroundImage() const override;

    // The page of a list container is this controller's view.
    const std::shared_ptr<UIView>& listView() { return view(); }
};
