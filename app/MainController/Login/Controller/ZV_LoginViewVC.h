#pragma once

#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/ui/UIViewController.h"

#include <memory>
#include <optional>
#include <string>

class QMUITextField;
class UIButton;

// The password login screen, shown modally as the root of its own navigation stack. The viewer
// types an account (phone number or user name) and a password and taps the login button; a
// signed-in reply stores the token, posts "loginSuccess", dismisses the stack and then shows
// "登录成功！". A failure shows the error's text and leaves the page as typed.
class ZV_LoginViewVC : public UIViewController {
public:
    ZV_LoginViewVC();

    std::string className() const override { return "ZV_LoginViewVC"; }

    void viewDidLoad() override;

    // The login button's action: sends the fields' texts and the captcha result.
    void zv_clickLogin();

    // The captcha step's result, sent whole as the `captcha` parameter; empty until the viewer
    // has passed a captcha.
    void setCaptcha(std::string captcha) { m_captcha = std::move(captcha); }

    const std::shared_ptr<QMUITextField>& accountField() const { return m_accountField; }
    const std::shared_ptr<QMUITextField>& passwordField() const { return m_passwordField; }
    const std::shared_ptr<UIButton>& loginButton() const { return m_loginButton; }

private:
    void loginFinished(const std::optional<JSON>& json, const std::optional<NSError>& error);

    std::shared_ptr<QMUITextField> m_accountField;
    std::shared_ptr<QMUITextField> m_passwordField;
    std::shared_ptr<UIButton> m_loginButton;
    std::string m_captcha;
};
