#pragma once

#include "app/Core/Network/ZV_NetworkUI.h"

#include <functional>
#include <memory>

class UIViewController;

// The API client on the app's screens: loading tips and toasts of QMUITips on the application
// delegate's window, and the login screen presented over full screen, animated, over the
// topmost screen. Main thread.
class ZV_NetworkScreenUI : public ZV_NetworkUI {
public:
    // Makes the controller to present when the sign-in ends. By default it is
    // makeDefaultLoginScreen; an empty factory presents nothing.
    using LoginScreenFactory = std::function<std::shared_ptr<UIViewController>()>;
    static void setLoginScreenFactory(LoginScreenFactory factory);
    // The app's login screen: a new ZVNavigationController with a new ZV_LoginViewVC as root.
    static std::shared_ptr<UIViewController> makeDefaultLoginScreen();

    void hideAllTips() override;
    void showLoading() override;
    void showToast(const std::string& text) override;
    // True from the presentation until the login screen is dismissed.
    bool isLoginPresented() const override;
    void presentLogin() override;

private:
    std::weak_ptr<UIViewController> m_login;
};
