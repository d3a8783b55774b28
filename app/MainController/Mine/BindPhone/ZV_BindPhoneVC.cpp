#include "app/MainController/Mine/BindPhone/ZV_BindPhoneVC.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Login/View/ZV_AccountForm.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUITextField.h"

const std::shared_ptr<UIImageView>& ZV_BindPhoneVC::zv_bgImgView()
{
    if (!m_bgImgView)
        m_bgImgView = UIView::create<UIImageView>(zvadaptive::dimmedImage(UIImage::named("login_bg")));
    return m_bgImgView;
}

const std::shared_ptr<UIView>& ZV_BindPhoneVC::zv_bgView()
{
    if (!m_bgView)
        m_bgView = UIView::create();
    return m_bgView;
}

const std::shared_ptr<UILabel>& ZV_BindPhoneVC::zv_titleLb()
{
    if (!m_titleLb) {
        m_titleLb = UIView::create<UILabel>();
        m_titleLb->setFont(UIFont::systemFont(24, UIFont::Weight::medium));
        m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    }
    return m_titleLb;
}

const std::shared_ptr<UILabel>& ZV_BindPhoneVC::zv_desLb()
{
    if (!m_desLb) {
        m_desLb = UIView::create<UILabel>();
        m_desLb->setFont(UIFont::systemFont(24, UIFont::Weight::medium));
        m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    }
    return m_desLb;
}

const std::shared_ptr<UIStackView>& ZV_BindPhoneVC::zv_stackView()
{
    if (!m_stackView)
        m_stackView = accountform::makeStack(16, false);
    return m_stackView;
}

const std::shared_ptr<QMUITextField>& ZV_BindPhoneVC::zv_accountField()
{
    if (!m_accountField) {
        std::weak_ptr<ZV_BindPhoneVC> weakSelf = accountform::shared(*this);
        m_accountField = accountform::makeField("", colorWithHex("1D1942"), false, [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateNextButton();
        });
        m_accountField->setAccessibilityIdentifier("bind.account");
    }
    return m_accountField;
}

const std::shared_ptr<UIButton>& ZV_BindPhoneVC::zv_nextBtn()
{
    if (!m_nextBtn) {
        m_nextBtn = accountform::makeEnterButton();
        m_nextBtn->setAccessibilityIdentifier("bind.next");
        std::weak_ptr<ZV_BindPhoneVC> weakSelf = accountform::shared(*this);
        m_nextBtn->addTarget(weakSelf, &ZV_BindPhoneVC::nextTapped, UIControlEventTouchUpInside);
    }
    return m_nextBtn;
}

const std::shared_ptr<UIStackView>& ZV_BindPhoneVC::zv_stackCodeView()
{
    if (!m_stackCodeView)
        m_stackCodeView = accountform::makeStack(16, true);
    return m_stackCodeView;
}

const std::shared_ptr<QMUITextField>& ZV_BindPhoneVC::zv_codeField()
{
    if (!m_codeField) {
        std::weak_ptr<ZV_BindPhoneVC> weakSelf = accountform::shared(*this);
        m_codeField = accountform::makeCodeField(colorWithHex("1D1942"), [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateNextButton();
        });
        m_codeField->setAccessibilityIdentifier("bind.code");
    }
    return m_codeField;
}

const std::shared_ptr<UILabel>& ZV_BindPhoneVC::zv_codeLb()
{
    if (!m_codeLb) {
        m_codeLb = accountform::makeResendLabel();
        m_codeLb->setAccessibilityIdentifier("bind.resend");
        std::weak_ptr<ZV_BindPhoneVC> weakSelf = accountform::shared(*this);
        addTapAction(*m_codeLb, [weakSelf](UITapGestureRecognizer&) {
            if (auto self = weakSelf.lock())
                self->resendTapped();
        });
    }
    return m_codeLb;
}

void ZV_BindPhoneVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    turnPage(false);
}

void ZV_BindPhoneVC::setupUI()
{
    const std::shared_ptr<UIView>& root = view();
    root->addSubview(zv_bgImgView());
    root->addSubview(zv_bgView());
    snp(zv_bgImgView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(zv_bgView()).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(0.2 * screenHeight());
        make.left().right().equalToSuperview().inset(32);
    });

    const std::shared_ptr<UIView>& card = zv_bgView();
    for (const std::shared_ptr<UIView>& subview : std::initializer_list<std::shared_ptr<UIView>> {
             zv_titleLb(), zv_desLb(), zv_stackView(), zv_nextBtn(), zv_stackCodeView() })
        card->addSubview(subview);
    snp(zv_titleLb()).makeConstraints([](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
    });
    snp(zv_desLb()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_titleLb()).bottom()).offset(8);
        make.left().right().equalToSuperview();
    });
    for (const auto& stack : { zv_stackView(), zv_stackCodeView() }) {
        snp(stack).makeConstraints([this](ConstraintMaker& make) {
            make.top().equalTo(snp(zv_desLb()).bottom()).offset(32);
            make.left().right().equalToSuperview();
        });
    }
    placeNextButton(zv_stackView());
    zv_stackView()->addArrangedSubview(zv_accountField());
    zv_stackCodeView()->addArrangedSubview(zv_codeField());
    zv_stackCodeView()->addArrangedSubview(zv_codeLb());
    snp(zv_accountField()).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(64); });
    snp(zv_codeField()).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(64); });
    snp(zv_codeLb()).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(52); });
}

void ZV_BindPhoneVC::placeNextButton(const std::shared_ptr<UIView>& below)
{
    snp(zv_nextBtn()).remakeConstraints([&below](ConstraintMaker& make) {
        make.top().equalTo(snp(below).bottom()).offset(40);
        make.centerX().equalToSuperview();
        make.bottom().equalToSuperview();
        make.width().height().equalTo(64);
    });
}

void ZV_BindPhoneVC::turnPage(bool back)
{
    std::weak_ptr<ZV_BindPhoneVC> weakSelf = accountform::shared(*this);
    accountform::fadeCard(zv_bgView(), [weakSelf, back] {
        if (auto self = weakSelf.lock())
            self->showPage(back);
    });
}

void ZV_BindPhoneVC::showPage(bool back)
{
    m_page += back ? -1 : 1;
    zv_stackCodeView()->setHidden(true);
    zv_stackView()->setHidden(true);
    zv_nextBtn()->setHidden(false);
    bool phone = registerType == ForgotType::phone;
    if (m_page == 0) {
        setTitle(phone ? "修改绑定手机号" : "修改绑定邮箱");
        zv_titleLb()->setText(phone ? "请输入绑定的手机号" : "请输入绑定的新邮箱账号");
        zv_accountField()->setPlaceholder(phone ? "请输入手机号" : "请输入邮箱账号");
        zv_desLb()->setText("");
        zv_stackView()->setHidden(false);
        placeNextButton(zv_stackView());
    } else if (m_page == 1) {
        zv_titleLb()->setText("验证码已发送至");
        zv_desLb()->setText(zv_accountField()->text());
        zv_desLb()->setFont(UIFont::systemFont(14));
        zv_stackCodeView()->setHidden(false);
        updateNextButton();
        placeNextButton(zv_stackCodeView());
    }
}

void ZV_BindPhoneVC::updateNextButton()
{
    if (m_page == 0) {
        const std::string& value = zv_accountField()->text();
        accountform::setEnterEnabled(
            *zv_nextBtn(), ZV_Tools::isPhoneNumber(value) || ZV_Tools::isEmail(value));
    } else if (m_page == 1) {
        accountform::setEnterEnabled(*zv_nextBtn(), !zv_codeField()->text().empty());
    }
}

void ZV_BindPhoneVC::nextTapped()
{
    if (m_page != 1) {
        openCaptcha();
        return;
    }
    if (registerType == ForgotType::mail)
        changeEmail();
    else
        changePhone();
}

void ZV_BindPhoneVC::resendTapped()
{
    if (m_countdown.isRunning())
        return;
    openCaptcha();
}

void ZV_BindPhoneVC::openCaptcha()
{
    view()->endEditing(true);
    auto self = accountform::shared(*this);
    ZV_CaptchaView::present([self](const JSON& captcha) { self->requestCode(captcha); });
}

void ZV_BindPhoneVC::requestCode(const JSON& captcha)
{
    JSON parameters = JSON::object();
    accountform::setIfPresent(parameters, "to", zv_accountField()->text());
    parameters.set("send_type", JSON(rawValue(registerType)));
    if (std::optional<std::string> text = accountform::captchaText(captcha))
        parameters.set("captcha", JSON(*text));
    std::weak_ptr<ZV_BindPhoneVC> weakSelf = accountform::shared(*this);
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::getCode, parameters, true,
        [weakSelf](std::optional<JSON>, std::optional<NSError> error) {
            auto self = weakSelf.lock();
            if (!self)
                return;
            if (error) {
                accountform::showRefusal(error);
                return;
            }
            QMUITips::showSucceed("验证码获取成功");
            if (self->m_page != 1)
                self->turnPage(false);
            self->startCountdown();
        });
}

void ZV_BindPhoneVC::startCountdown()
{
    m_countdown.start(zv_codeLb());
}

void ZV_BindPhoneVC::changePhone()
{
    JSON parameters = JSON::object();
    accountform::setIfPresent(parameters, "new_phone", zv_accountField()->text());
    accountform::setIfPresent(parameters, "sms_code", zv_codeField()->text());
    std::weak_ptr<ZV_BindPhoneVC> weakSelf = accountform::shared(*this);
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), ZV_API::changePhone, parameters,
        true, [weakSelf](std::optional<JSON> json, std::optional<NSError> error) {
            if (auto self = weakSelf.lock())
                self->changeFinished(true, json, error);
        });
}

void ZV_BindPhoneVC::changeEmail()
{
    JSON parameters = JSON::object();
    accountform::setIfPresent(parameters, "new_email", zv_accountField()->text());
    accountform::setIfPresent(parameters, "email_code", zv_codeField()->text());
    std::weak_ptr<ZV_BindPhoneVC> weakSelf = accountform::shared(*this);
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), ZV_API::changeEmail, parameters,
        true, [weakSelf](std::optional<JSON> json, std::optional<NSError> error) {
            if (auto self = weakSelf.lock())
                self->changeFinished(false, json, error);
        });
}

void ZV_BindPhoneVC::changeFinished(
    bool phone, const std::optional<JSON>& json, const std::optional<NSError>& error)
{
    if (error) {
        QMUITips::showError(error->domain);
        return;
    }
    QMUITips::showSucceed(accountform::dataText(json));
    if (model)
        (phone ? model->phone : model->email) = zv_accountField()->text();
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}
