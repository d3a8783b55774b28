#pragma once

#include "platform/ui/UINavigationController.h"

#include <optional>

// What a screen may answer about the navigation bar while it is the top of a
// QMUINavigationController. Every hook has a "no answer" default; for the look, the navigation
// controller's own answer counts next, then QMUIConfiguration's navBar... values.
class QMUINavigationControllerAppearanceDelegate {
public:
    virtual ~QMUINavigationControllerAppearanceDelegate() = default;

    // Whether the bar hides while this screen is on top (default: the configuration's
    // navigationBarHiddenInitially).
    virtual std::optional<bool> preferredNavigationBarHidden() const { return std::nullopt; }
    // Whether a change of bar visibility between this screen and its neighbour should use the
    // framework's own transition. Kept for the screens that answer it; the transition itself is
    // the platform's.
    virtual bool shouldCustomizeNavigationBarTransitionIfHideable() const { return false; }

    // An empty image as shadow hides the line under the bar.
    virtual std::optional<UIImage> qmui_navigationBarBackgroundImage() const { return std::nullopt; }
    virtual std::optional<UIImage> qmui_navigationBarShadowImage() const { return std::nullopt; }
    virtual std::optional<UIColor> qmui_navigationBarBarTintColor() const { return std::nullopt; }
    virtual std::optional<UIColor> qmui_navigationBarTintColor() const { return std::nullopt; }
    // Colour of the title.
    virtual std::optional<UIColor> qmui_titleViewTintColor() const { return std::nullopt; }
};

// A navigation controller that gives its bar the look the top screen asks for whenever a screen
// comes to the top (push, pop, replacing the stack) and when it appears itself: hidden or shown,
// background image, shadow image, bar tint, tint and title colour, each from the top screen's
// answer, else this controller's own answer (it is an appearance delegate too), else the
// configuration; the bar style and title font always from the configuration.
class QMUINavigationController : public UINavigationController,
                                 public QMUINavigationControllerAppearanceDelegate {
public:
    QMUINavigationController();
    explicit QMUINavigationController(std::shared_ptr<UIViewController> root);

    std::string className() const override { return "QMUINavigationController"; }

    // Applies the current top screen's answers again (for a screen whose answers changed).
    void updateNavigationBarAppearance(bool animated = false);

    void viewWillAppear(bool animated) override;

protected:
    void willShowViewController(UIViewController& controller, bool animated) override;

private:
    void applyAppearance(const UIViewController* top, bool animated);
};
