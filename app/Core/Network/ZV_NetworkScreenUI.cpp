#include "app/Core/Network/ZV_NetworkScreenUI.h"

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"

namespace {

ZV_NetworkScreenUI::LoginScreenFactory& loginScreenFactory()
{
    static ZV_NetworkScreenUI::LoginScreenFactory factory = &ZV_NetworkScreenUI::makeDefaultLoginScreen;
    return factory;
}

}

std::shared_ptr<UIViewController> ZV_NetworkScreenUI::makeDefaultLoginScreen()
{
    return std::make_shared<ZVNavigationController>(std::make_shared<ZV_LoginViewVC>());
}

void ZV_NetworkScreenUI::setLoginScreenFactory(LoginScreenFactory factory)
{
    loginScreenFactory() = std::move(factory);
}

void ZV_NetworkScreenUI::hideAllTips()
{
    QMUITips::hideAllTips();
}

void ZV_NetworkScreenUI::showLoading()
{
    const std::shared_ptr<UIApplicationDelegate>& delegate = UIApplication::shared().delegate();
    if (std::shared_ptr<UIWindow> window = delegate ? delegate->window() : nullptr)
        QMUITips::showLoadingInView(window);
}

void ZV_NetworkScreenUI::showToast(const std::string& text)
{
    QMUITips::showWithText(text);
}

bool ZV_NetworkScreenUI::isLoginPresented() const
{
    // The presenting link is set when the presentation starts and cleared by the dismissal.
    std::shared_ptr<UIViewController> login = m_login.lock();
    return login && login->presentingViewController();
}

void ZV_NetworkScreenUI::presentLogin()
{
    const LoginScreenFactory& factory = loginScreenFactory();
    if (!factory)
        return;
    std::shared_ptr<UIViewController> top = topViewController();
    if (!top)
        return;
    std::shared_ptr<UIViewController> login = factory();
    if (!login)
        return;
    login->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
    if (top->present(login, true))
        m_login = login;
}
