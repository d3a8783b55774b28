#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"

#include <memory>
#include <optional>
#include <string>

class QMUITextField;
class UIButton;
class UIImageView;
class UILabel;
class UIStackView;

// The password login screen, always shown as the root of its own navigation stack over full
// screen. The viewer types an account (phone number, user name, anything: the server judges it)
// and a password, taps the round button and passes a fresh captcha; a reply that brings a
// non-empty access token stores it, posts "loginSuccess", dismisses the stack and then shows
// "登录成功！". Any other outcome shows the error's text (a reply without a token counts as
// unusable) and leaves the page as typed. "注册" and "忘了密码" push the registration and the
// recovery pages on the same stack.
class ZV_LoginViewVC : public BaseViewController {
public:
    ZV_LoginViewVC() = default;

    std::string className() const override { return "ZV_LoginViewVC"; }

    void viewDidLoad() override;
    std::optional<UIImage> qmui_navigationBarBackgroundImage() const override;

    // Made on first use.
    const std::shared_ptr<UIImageView>& zv_bgImgView();
    const std::shared_ptr<UIButton>& zv_closeBtn();
    const std::shared_ptr<UIButton>& zv_registerBtn();
    const std::shared_ptr<UILabel>& zv_titleLb();
    const std::shared_ptr<UIStackView>& zv_stackView();
    const std::shared_ptr<QMUITextField>& zv_accountField();
    const std::shared_ptr<QMUITextField>& zv_passwdField();
    const std::shared_ptr<UILabel>& zv_forgetBtn();
    const std::shared_ptr<UIButton>& zv_loginBtn();

    virtual void setupUI();
    // The login button's action: a new captcha overlay, whose result sends the login.
    virtual void zv_clickLogin();
    // Enabled and selected exactly while both fields hold text.
    virtual void updateLoginButton();
    void login(const JSON& captcha);

private:
    void loginFinished(const std::optional<JSON>& json, const std::optional<NSError>& error);

    std::shared_ptr<UIImageView> m_bgImgView;
    std::shared_ptr<UIButton> m_closeBtn;
    std::shared_ptr<UIButton> m_registerBtn;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<QMUITextField> m_accountField;
    std::shared_ptr<QMUITextField> m_passwdField;
    std::shared_ptr<UILabel> m_forgetBtn;
    std::shared_ptr<UIButton> m_loginBtn;
};
