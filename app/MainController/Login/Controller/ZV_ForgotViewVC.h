#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/MainController/Other/Tool/ZV_CodeCountdown.h"
#include "platform/json/JSON.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class Constraint;
class QMUITextField;
class UIButton;
class UIImageView;
class UILabel;
class UIStackView;
class ZV_RegisterTypeView;

// Where a verification code goes: the bound phone or the bound e-mail address. The raw value is
// the `send_type` of the code requests.
enum class ForgotType { phone, mail };
std::string_view rawValue(ForgotType type);
// None for any text but "phone" and "email".
std::optional<ForgotType> forgotTypeFromRawValue(std::string_view rawValue);

// Password recovery in three steps on one card, faded between: 0 the account (a phone number or
// an e-mail address), 1 the way the code goes, 2 the code and the new password twice. Choosing a
// way passes a captcha, which buys a recovery session token ("v1/user/forget/get_token"); the
// token sends the code ("v1/user/forget/send_code"); token, code and password set the password
// ("v1/user/forget/set_pass"), after which the page says "设置成功" and leaves. A refusal of any
// of the three shows the server's message as an error tip and leaves the step and the fields as
// they were. A resend passes a new captcha and fetches a new token; the resend label counts down
// from 60 meanwhile.
class ZV_ForgotViewVC : public BaseViewController {
public:
    ZV_ForgotViewVC() = default;

    std::string className() const override { return "ZV_ForgotViewVC"; }

    void viewDidLoad() override;
    std::optional<UIImage> qmui_navigationBarBackgroundImage() const override;

    ForgotType registerType() const { return m_registerType; }
    const std::string& session_token() const { return m_sessionToken; }
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
    const std::shared_ptr<QMUITextField>& zv_passwdAgainField();
    const std::shared_ptr<UIButton>& zv_nextBtn();
    const std::shared_ptr<UIStackView>& zv_stackTypeView();
    const std::shared_ptr<ZV_RegisterTypeView>& zv_phoneTypeView();
    const std::shared_ptr<ZV_RegisterTypeView>& zv_mailTypeView();
    const std::shared_ptr<UIStackView>& zv_stackCodeView();
    const std::shared_ptr<QMUITextField>& zv_codeField();
    const std::shared_ptr<UILabel>& zv_codeLb();

    virtual void setupUI();
    virtual void turnPage(bool back);
    virtual void updateNextButton();

    void requestSessionToken(const JSON& captcha);
    void sendCode();
    void startCountdown();
    void setNewPassword();

private:
    void showPage(bool back);
    void chooseType(ForgotType type);
    void openCaptcha();
    void nextTapped();
    void backTapped();
    void resendTapped();
    void placeNextButton(const std::shared_ptr<UIView>& below);

    ForgotType m_registerType = ForgotType::phone;
    std::string m_sessionToken;
    int m_page = 0;
    ZV_CodeCountdown m_countdown { "" };
    std::shared_ptr<Constraint> m_cardTop;

    std::shared_ptr<UIButton> m_backBtn;
    std::shared_ptr<UIImageView> m_bgImgView;
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<QMUITextField> m_accountField;
    std::shared_ptr<QMUITextField> m_passwdField;
    std::shared_ptr<QMUITextField> m_passwdAgainField;
    std::shared_ptr<UIButton> m_nextBtn;
    std::shared_ptr<UIStackView> m_stackTypeView;
    std::shared_ptr<ZV_RegisterTypeView> m_phoneTypeView;
    std::shared_ptr<ZV_RegisterTypeView> m_mailTypeView;
    std::shared_ptr<UIStackView> m_stackCodeView;
    std::shared_ptr<QMUITextField> m_codeField;
    std::shared_ptr<UILabel> m_codeLb;
};
