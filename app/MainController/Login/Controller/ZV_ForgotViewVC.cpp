#include "app/MainController/Login/Controller/ZV_ForgotViewVC.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Login/View/ZV_AccountForm.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "app/MainController/Login/View/ZV_RegisterTypeView.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUITextField.h"

#include <utility>

std::string_view rawValue(ForgotType type)
{
    return type == ForgotType::mail ? "email" : "phone";
}

std::optional<ForgotType> forgotTypeFromRawValue(std::string_view rawValue)
{
    if (rawValue == "phone")
        return ForgotType::phone;
    if (rawValue == "email")
        return ForgotType::mail;
    return std::nullopt;
}

const std::shared_ptr<UIButton>& ZV_ForgotViewVC::backBtn()
{
    if (!m_backBtn) {
        m_backBtn = UIView::create<UIButton>(UIButtonType::custom);
        m_backBtn->setImage(zvadaptive::iconImage(UIImage::named("back")), UIControlStateNormal);
        m_backBtn->setAccessibilityIdentifier("forgot.back");
        std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
        m_backBtn->addTarget(weakSelf, &ZV_ForgotViewVC::backTapped, UIControlEventTouchUpInside);
    }
    return m_backBtn;
}

const std::shared_ptr<UIImageView>& ZV_ForgotViewVC::zv_bgImgView()
{
    if (!m_bgImgView)
        m_bgImgView = UIView::create<UIImageView>(zvadaptive::dimmedImage(UIImage::named("login_bg")));
    return m_bgImgView;
}

const std::shared_ptr<UIView>& ZV_ForgotViewVC::zv_bgView()
{
    if (!m_bgView)
        m_bgView = UIView::create();
    return m_bgView;
}

const std::shared_ptr<UILabel>& ZV_ForgotViewVC::zv_titleLb()
{
    if (!m_titleLb) {
        m_titleLb = UIView::create<UILabel>();
        m_titleLb->setFont(UIFont::systemFont(24, UIFont::Weight::medium));
        m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
        m_titleLb->setText("请输入需要找回的账号");
    }
    return m_titleLb;
}

const std::shared_ptr<UILabel>& ZV_ForgotViewVC::zv_desLb()
{
    if (!m_desLb) {
        m_desLb = UIView::create<UILabel>();
        m_desLb->setFont(UIFont::systemFont(24, UIFont::Weight::medium));
        m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    }
    return m_desLb;
}

const std::shared_ptr<UIStackView>& ZV_ForgotViewVC::zv_stackView()
{
    if (!m_stackView)
        m_stackView = accountform::makeStack(16, false);
    return m_stackView;
}

const std::shared_ptr<QMUITextField>& ZV_ForgotViewVC::zv_accountField()
{
    if (!m_accountField) {
        std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
        m_accountField
            = accountform::makeField("请输入用户名、手机号、邮箱", colorWithHex("1D1942"), false, [weakSelf] {
                  if (auto self = weakSelf.lock())
                      self->updateNextButton();
              });
        m_accountField->setAccessibilityIdentifier("forgot.account");
    }
    return m_accountField;
}

const std::shared_ptr<QMUITextField>& ZV_ForgotViewVC::zv_passwdField()
{
    if (!m_passwdField) {
        std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
        m_passwdField = accountform::makeField("请设置新密码", colorWithHex("1D1942"), true, [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateNextButton();
        });
        m_passwdField->setAccessibilityIdentifier("forgot.password");
    }
    return m_passwdField;
}

const std::shared_ptr<QMUITextField>& ZV_ForgotViewVC::zv_passwdAgainField()
{
    if (!m_passwdAgainField) {
        std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
        m_passwdAgainField
            = accountform::makeField("再次输入新密码", colorWithHex("1D1942"), true, [weakSelf] {
                  if (auto self = weakSelf.lock())
                      self->updateNextButton();
              });
        m_passwdAgainField->setAccessibilityIdentifier("forgot.passwordAgain");
    }
    return m_passwdAgainField;
}

const std::shared_ptr<UIButton>& ZV_ForgotViewVC::zv_nextBtn()
{
    if (!m_nextBtn) {
        m_nextBtn = accountform::makeEnterButton();
        m_nextBtn->setAccessibilityIdentifier("forgot.next");
        std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
        m_nextBtn->addTarget(weakSelf, &ZV_ForgotViewVC::nextTapped, UIControlEventTouchUpInside);
    }
    return m_nextBtn;
}

const std::shared_ptr<UIStackView>& ZV_ForgotViewVC::zv_stackTypeView()
{
    if (!m_stackTypeView)
        m_stackTypeView = accountform::makeStack(16, true);
    return m_stackTypeView;
}

const std::shared_ptr<ZV_RegisterTypeView>& ZV_ForgotViewVC::zv_phoneTypeView()
{
    if (!m_phoneTypeView) {
        m_phoneTypeView = ZV_RegisterTypeView::make();
        m_phoneTypeView->imageView()->setImage(zvadaptive::iconImage(UIImage::named("login_Phone")));
        m_phoneTypeView->titleLb()->setText("使用手机号找回");
        m_phoneTypeView->setAccessibilityIdentifier("forgot.phone");
        std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
        addTapAction(*m_phoneTypeView, [weakSelf](UITapGestureRecognizer&) {
            if (auto self = weakSelf.lock())
                self->chooseType(ForgotType::phone);
        });
    }
    return m_phoneTypeView;
}

const std::shared_ptr<ZV_RegisterTypeView>& ZV_ForgotViewVC::zv_mailTypeView()
{
    if (!m_mailTypeView) {
        m_mailTypeView = ZV_RegisterTypeView::make();
        m_mailTypeView->imageView()->setImage(zvadaptive::iconImage(UIImage::named("login_Mail")));
        m_mailTypeView->titleLb()->setText("使用邮箱找回");
        m_mailTypeView->setAccessibilityIdentifier("forgot.mail");
        std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
        addTapAction(*m_mailTypeView, [weakSelf](UITapGestureRecognizer&) {
            if (auto self = weakSelf.lock())
                self->chooseType(ForgotType::mail);
        });
    }
    return m_mailTypeView;
}

const std::shared_ptr<UIStackView>& ZV_ForgotViewVC::zv_stackCodeView()
{
    if (!m_stackCodeView)
        m_stackCodeView = accountform::makeStack(16, true);
    return m_stackCodeView;
}

const std::shared_ptr<QMUITextField>& ZV_ForgotViewVC::zv_codeField()
{
    if (!m_codeField) {
        std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
        m_codeField = accountform::makeCodeField(colorWithHex("1D1942"), [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateNextButton();
        });
        m_codeField->setAccessibilityIdentifier("forgot.code");
    }
    return m_codeField;
}

const std::shared_ptr<UILabel>& ZV_ForgotViewVC::zv_codeLb()
{
    if (!m_codeLb) {
        m_codeLb = accountform::makeResendLabel();
        m_codeLb->setAccessibilityIdentifier("forgot.resend");
        std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
        addTapAction(*m_codeLb, [weakSelf](UITapGestureRecognizer&) {
            if (auto self = weakSelf.lock())
                self->resendTapped();
        });
    }
    return m_codeLb;
}

void ZV_ForgotViewVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    // The background runs under the transparent bar; the layout counts from the screen's top.
    setExtendedLayoutIncludesOpaqueBars(true);
    setupUI();
}

std::optional<UIImage> ZV_ForgotViewVC::qmui_navigationBarBackgroundImage() const
{
    return accountform::clearBarImage();
}

void ZV_ForgotViewVC::setupUI()
{
    setTitle("找回密码");
    navigationItem().setLeftBarButtonItem(UIBarButtonItem::withCustomView(backBtn()));

    const std::shared_ptr<UIView>& root = view();
    root->addSubview(zv_bgImgView());
    root->addSubview(zv_bgView());
    snp(zv_bgImgView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(zv_bgView()).makeConstraints([this](ConstraintMaker& make) {
        m_cardTop = make.top().equalToSuperview().offset(0.2 * screenHeight()).constraint();
        make.left().right().equalToSuperview().inset(32);
    });

    const std::shared_ptr<UIView>& card = zv_bgView();
    for (const std::shared_ptr<UIView>& subview : std::initializer_list<std::shared_ptr<UIView>> {
             zv_titleLb(), zv_desLb(), zv_stackView(), zv_nextBtn(), zv_stackTypeView(), zv_stackCodeView() })
        card->addSubview(subview);
    snp(zv_titleLb()).makeConstraints([](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
    });
    snp(zv_desLb()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_titleLb()).bottom()).offset(8);
        make.left().right().equalToSuperview();
    });
    for (const auto& stack : { zv_stackView(), zv_stackTypeView(), zv_stackCodeView() }) {
        snp(stack).makeConstraints([this](ConstraintMaker& make) {
            make.top().equalTo(snp(zv_desLb()).bottom()).offset(32);
            make.left().right().equalToSuperview();
        });
    }
    placeNextButton(zv_stackView());

    zv_stackView()->addArrangedSubview(zv_accountField());
    zv_stackTypeView()->addArrangedSubview(zv_phoneTypeView());
    zv_stackTypeView()->addArrangedSubview(zv_mailTypeView());
    for (const std::shared_ptr<UIView>& row : std::initializer_list<std::shared_ptr<UIView>> {
             zv_codeField(), zv_codeLb(), zv_passwdField(), zv_passwdAgainField() })
        zv_stackCodeView()->addArrangedSubview(row);
    for (const std::shared_ptr<UIView>& row :
        std::initializer_list<std::shared_ptr<UIView>> { zv_accountField(), zv_phoneTypeView(),
            zv_mailTypeView(), zv_codeField(), zv_passwdField(), zv_passwdAgainField() })
        snp(row).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(64); });
    snp(zv_codeLb()).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(52); });
}

void ZV_ForgotViewVC::placeNextButton(const std::shared_ptr<UIView>& below)
{
    // The button closes the card, under the step's stack.
    snp(zv_nextBtn()).remakeConstraints([&below](ConstraintMaker& make) {
        make.top().equalTo(snp(below).bottom()).offset(40);
        make.centerX().equalToSuperview();
        make.bottom().equalToSuperview();
        make.width().height().equalTo(64);
    });
}

void ZV_ForgotViewVC::turnPage(bool back)
{
    std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
    accountform::fadeCard(zv_bgView(), [weakSelf, back] {
        if (auto self = weakSelf.lock())
            self->showPage(back);
    });
}

void ZV_ForgotViewVC::showPage(bool back)
{
    m_page += back ? -1 : 1;
    zv_stackTypeView()->setHidden(true);
    zv_stackCodeView()->setHidden(true);
    zv_stackView()->setHidden(true);
    zv_nextBtn()->setHidden(false);
    switch (m_page) {
    case 0:
        zv_titleLb()->setText("请输入需要找回的账号");
        zv_desLb()->setText("");
        zv_accountField()->setPlaceholder("请输入用户名、手机号、邮箱");
        zv_stackView()->setHidden(false);
        placeNextButton(zv_stackView());
        break;
    case 1:
        zv_titleLb()->setText(zv_accountField()->text());
        zv_desLb()->setText("请选择找回方式");
        zv_desLb()->setFont(UIFont::systemFont(24, UIFont::Weight::medium));
        zv_stackTypeView()->setHidden(false);
        zv_nextBtn()->setHidden(true);
        m_cardTop->updateOffset(0.2 * screenHeight());
        break;
    case 2:
        zv_titleLb()->setText("验证码已发送至");
        zv_desLb()->setText(zv_accountField()->text());
        zv_desLb()->setFont(UIFont::systemFont(14));
        zv_stackCodeView()->setHidden(false);
        updateNextButton();
        m_cardTop->updateOffset(0.1 * screenHeight());
        placeNextButton(zv_stackCodeView());
        break;
    default:
        break;
    }
}

void ZV_ForgotViewVC::updateNextButton()
{
    if (m_page == 0) {
        const std::string& account = zv_accountField()->text();
        accountform::setEnterEnabled(
            *zv_nextBtn(), ZV_Tools::isPhoneNumber(account) || ZV_Tools::isEmail(account));
    } else if (m_page == 2) {
        const std::string& password = zv_passwdField()->text();
        accountform::setEnterEnabled(*zv_nextBtn(),
            !zv_codeField()->text().empty() && !password.empty()
                && zv_passwdAgainField()->text() == password);
    }
}

void ZV_ForgotViewVC::chooseType(ForgotType type)
{
    m_registerType = type;
    openCaptcha();
}

void ZV_ForgotViewVC::openCaptcha()
{
    view()->endEditing(true);
    auto self = accountform::shared(*this);
    ZV_CaptchaView::present([self](const JSON& captcha) { self->requestSessionToken(captcha); });
}

void ZV_ForgotViewVC::nextTapped()
{
    if (m_page == 2)
        setNewPassword();
    else
        turnPage(false);
}

void ZV_ForgotViewVC::backTapped()
{
    if (m_page != 0) {
        turnPage(true);
        return;
    }
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

void ZV_ForgotViewVC::resendTapped()
{
    if (m_countdown.isRunning())
        return;
    openCaptcha();
}

void ZV_ForgotViewVC::requestSessionToken(const JSON& captcha)
{
    JSON parameters = JSON::object();
    accountform::setIfPresent(parameters, "username", zv_accountField()->text());
    if (std::optional<std::string> text = accountform::captchaText(captcha))
        parameters.set("captcha", JSON(*text));
    std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::forgetGetToken, parameters,
        true, [weakSelf](std::optional<JSON> json, std::optional<NSError> error) {
            auto self = weakSelf.lock();
            if (!self)
                return;
            if (!json) {
                accountform::showRefusal(error);
                return;
            }
            self->m_sessionToken = std::as_const(*json)["session_token"].stringValue();
            self->sendCode();
        });
}

void ZV_ForgotViewVC::sendCode()
{
    JSON parameters = JSON::object(
        { { "send_type", JSON(rawValue(m_registerType)) }, { "session_token", JSON(m_sessionToken) } });
    std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::forgetSendCode, parameters,
        true, [weakSelf](std::optional<JSON>, std::optional<NSError> error) {
            auto self = weakSelf.lock();
            if (!self)
                return;
            if (error) {
                accountform::showRefusal(error);
                return;
            }
            QMUITips::showSucceed("验证码获取成功");
            if (self->m_page != 2)
                self->turnPage(false);
            self->startCountdown();
        });
}

void ZV_ForgotViewVC::startCountdown()
{
    m_countdown.start(zv_codeLb());
}

void ZV_ForgotViewVC::setNewPassword()
{
    JSON parameters = JSON::object();
    accountform::setIfPresent(parameters, "password", zv_passwdField()->text());
    accountform::setIfPresent(parameters, "repassword", zv_passwdAgainField()->text());
    accountform::setIfPresent(parameters, "forget_code", zv_codeField()->text());
    parameters.set("session_token", JSON(m_sessionToken));
    std::weak_ptr<ZV_ForgotViewVC> weakSelf = accountform::shared(*this);
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), ZV_API::forgetSetPassword,
        parameters, true, [weakSelf](std::optional<JSON>, std::optional<NSError> error) {
            auto self = weakSelf.lock();
            if (!self)
                return;
            if (error) {
                accountform::showRefusal(error);
                return;
            }
            QMUITips::showSucceed("设置成功");
            if (auto navigation = self->navigationController())
                navigation->popViewController(true);
        });
}
