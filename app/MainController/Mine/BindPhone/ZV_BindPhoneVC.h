#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "app/MainController/Login/Controller/ZV_ForgotViewVC.h"
#include "app/MainController/Other/Tool/ZV_CodeCountdown.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"

#include <memory>
#include <optional>

class QMUITextField;
class UIButton;
class UIImageView;
class UILabel;
class UIStackView;

// Binds a new phone number (registerType phone) or e-mail address (mail) to the signed-in
// account, in two steps on one card: 0 the new value, 1 the code sent to it behind a captcha.
// The page opens with a fade of step 0. Step 0 accepts a phone number or an e-mail address
// whatever the type: the server judges the value, and a refusal of the code or of the change
// shows its message as an error tip on the same step. A change the server accepts is written into
// the shared profile (`model`) before the page pops, so the opener shows it on return.
class ZV_BindPhoneVC : public BaseViewController {
public:
    ZV_BindPhoneVC() = default;

    std::string className() const override { return "ZV_BindPhoneVC"; }

    void viewDidLoad() override;

    std::shared_ptr<ZV_UserInfoModel> model;
    ForgotType registerType = ForgotType::phone;

    int page() const { return m_page; }
    const ZV_CodeCountdown& countdown() const { return m_countdown; }

    // Made on first use.
    const std::shared_ptr<UIImageView>& zv_bgImgView();
    const std::shared_ptr<UIView>& zv_bgView();
    const std::shared_ptr<UILabel>& zv_titleLb();
    const std::shared_ptr<UILabel>& zv_desLb();
    const std::shared_ptr<UIStackView>& zv_stackView();
    const std::shared_ptr<QMUITextField>& zv_accountField();
    const std::shared_ptr<UIButton>& zv_nextBtn();
    const std::shared_ptr<UIStackView>& zv_stackCodeView();
    const std::shared_ptr<QMUITextField>& zv_codeField();
    const std::shared_ptr<UILabel>& zv_codeLb();

    virtual void setupUI();
    virtual void turnPage(bool back);
    virtual void updateNextButton();

    void requestCode(const JSON& captcha);
    void changePhone();
    void changeEmail();
    void startCountdown();

private:
    void showPage(bool back);
    void openCaptcha();
    void nextTapped();
    void resendTapped();
    void placeNextButton(const std::shared_ptr<UIView>& below);
    void changeFinished(bool phone, const std::optional<JSON>& json, const std::optional<NSError>& error);

    int m_page = -1;
    ZV_CodeCountdown m_countdown { "" };

    std::shared_ptr<UIImageView> m_bgImgView;
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<QMUITextField> m_accountField;
    std::shared_ptr<UIButton> m_nextBtn;
    std::shared_ptr<UIStackView> m_stackCodeView;
    std::shared_ptr<QMUITextField> m_codeField;
    std::shared_ptr<UILabel> m_codeLb;
};
