#pragma once

#include "platform/ui/UIView.h"

#include <memory>
#include <vector>

class UIScreen;
class UIViewController;

using UIWindowLevel = CGFloat;
inline constexpr UIWindowLevel UIWindowLevelNormal = 0;
inline constexpr UIWindowLevel UIWindowLevelStatusBar = 1000;
inline constexpr UIWindowLevel UIWindowLevelAlert = 2000;

// The root of a view tree shown on the screen. A new window covers the screen and is hidden
// until it is made visible; visible windows are listed by the shared application.
class UIWindow : public UIView {
public:
    UIWindow();
    explicit UIWindow(const CGRect& frame);
    ~UIWindow() override;

    std::string className() const override { return "UIWindow"; }

    std::shared_ptr<UIWindow> window() const override;

    UIWindowLevel windowLevel() const { return m_windowLevel; }
    void setWindowLevel(UIWindowLevel level) { m_windowLevel = level; }

    // Every window shown and not hidden since, in the order they were shown, whatever the
    // application remembers (tests look for windows that a test left up).
    static std::vector<std::shared_ptr<UIWindow>> shownWindows();

    // Shows the window and makes it the application's key window.
    void makeKeyAndVisible();
    void makeKey();
    bool isKeyWindow() const;
    void setHidden(bool hidden) override;

    UIScreen& screen() const;

    // The controller whose view fills the window. Setting it is implemented by the view
    // controller layer (UIWindowRootViewController.cpp): it installs the controller's view.
    const std::shared_ptr<UIViewController>& rootViewController() const { return m_rootViewController; }
    virtual void setRootViewController(std::shared_ptr<UIViewController> controller);

    // The screen's insets, as far as the window overlaps them.
    UIEdgeInsets safeAreaInsets() const override;
    // Keeps the root and presented controllers' views at the window's size (after rotation too).
    void layoutSubviews() override;

protected:
    // For the controller layer's implementation of setRootViewController.
    std::shared_ptr<UIViewController> m_rootViewController;

private:
    UIWindowLevel m_windowLevel = UIWindowLevelNormal;
};
