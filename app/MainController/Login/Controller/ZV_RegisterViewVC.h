#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/MainController/Other/Tool/ZV_CodeCountdown.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"

#include <memory>
#include <optional>
#include <string_view>

class QMUITextField;
class UIButton;
class UIImageView;
class UILabel;
class UIStackView;
class ZV_RegisterTypeView;

// How an account is registered; the raw value is the `send_type` of the code request.
enum class RegisterType { phone, mail };
std::string_view rawValue(RegisterType type);

// Registration in three steps on one card, faded between: 0 the way (phone or e-mail), 1 the
// account and a password, 2 the code that the server sends once the captcha is passed. A
// successful registration signs the viewer in as a login does and takes the login stack away; a
// refused or failed one empties the code field, outlines it in red and shows the reason as an
// error tip (the server's text, or the client's for a failed transfer), on the same step.
// The next button is the only check of the input: it stays disabled for a malformed number or
// address, an empty password or an empty code. The resend label counts down from 60 after each
// code sent; the back button stops the countdown.
class ZV_RegisterViewVC : public BaseViewController {
public:
    ZV_RegisterViewVC() = default;

    std::string className() const override { return "ZV_RegisterViewVC"; }

    void viewDidLoad() override;
    std::optional<UIImage> qmui_navigationBarBackgroundImage() const override;

    RegisterType registerType() const { return m_registerType; }
    int page() const { return m_page; }
    const ZV_CodeCountdown& countdown() const { return m_countdown; }

    // Made on first use.
    const std::shared_ptr<UIButton>& backBtn();
    const std::shared_ptr<UIImageView>& zv_bgImgView();
    const std::shared_ptr<UIView>& zv_bgView();
    const std::shared_ptr<UILabel>& zv_titleLb();
    const std::shared_ptr<UILabel>& zv_desLb();
    const std::shared_ptr<UIStackView>& zv_stackView();
    const std::shared_ptr<QMUITextField>& zv_accountField();
    const std::shared_ptr<QMUITextField>& zv_passwdField();
    const std::shared_ptr<UIButton>& zv_nextBtn();
    const std::shared_ptr<UIStackView>& zv_stackTypeView();
    const std::shared_ptr<ZV_RegisterTypeView>& zv_phoneTypeView();
    const std::shared_ptr<ZV_RegisterTypeView>& zv_mailTypeView();
    const std::shared_ptr<UIStackView>& zv_stackCodeView();
    const std::shared_ptr<QMUITextField>& zv_codeField();
    const std::shared_ptr<UILabel>& zv_codeLb();

    virtual void setupUI();
    // Fades the card out, moves one step back or forward, fades it in.
    virtual void goPage(bool back);
    virtual void updateNextButton();

    // Sends a code to the typed account with the captcha's result.
    void sendCode(const JSON& captcha);

private:
    void showPage(bool back);
    void chooseType(RegisterType type);
    void nextTapped();
    void backTapped();
    void resendTapped();
    void openCaptcha();
    void registerAccount();
    void registrationFinished(const std::optional<JSON>& json, const std::optional<NSError>& error);

    RegisterType m_registerType = RegisterType::phone;
    int m_page = 0;
    ZV_CodeCountdown m_countdown { "重新发送验证码 " };

    std::shared_ptr<UIButton> m_backBtn;
    std::shared_ptr<UIImageView> m_bgImgView;
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<QMUITextField> m_accountField;
    std::shared_ptr<QMUITextField> m_passwdField;
    std::shared_ptr<UIButton> m_nextBtn;
    std::shared_ptr<UIStackView> m_stackTypeView;
    std::shared_ptr<ZV_RegisterTypeView> m_phoneTypeView;
    std::shared_ptr<ZV_RegisterTypeView> m_mailTypeView;
    std::shared_ptr<UIStackView> m_stackCodeView;
    std::shared_ptr<QMUITextField> m_codeField;
    std::shared_ptr<UILabel> m_codeLb;
};
