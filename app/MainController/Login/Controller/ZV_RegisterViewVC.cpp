#include "app/MainController/Login/Controller/ZV_RegisterViewVC.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Storage/StoreData.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Login/View/ZV_AccountForm.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "app/MainController/Login/View/ZV_RegisterTypeView.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/CALayer.h"
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

std::string_view rawValue(RegisterType type)
{
    return type == RegisterType::mail ? "email" : "phone";
}

const std::shared_ptr<UIButton>& ZV_RegisterViewVC::backBtn()
{
    if (!m_backBtn) {
        m_backBtn = UIView::create<UIButton>(UIButtonType::custom);
        m_backBtn->setImage(zvadaptive::iconImage(UIImage::named("back")), UIControlStateNormal);
        m_backBtn->setAccessibilityIdentifier("register.back");
        std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
        m_backBtn->addTarget(weakSelf, &ZV_RegisterViewVC::backTapped, UIControlEventTouchUpInside);
    }
    return m_backBtn;
}

const std::shared_ptr<UIImageView>& ZV_RegisterViewVC::zv_bgImgView()
{
    if (!m_bgImgView)
        m_bgImgView = UIView::create<UIImageView>(zvadaptive::dimmedImage(UIImage::named("login_bg")));
    return m_bgImgView;
}

const std::shared_ptr<UIView>& ZV_RegisterViewVC::zv_bgView()
{
    if (!m_bgView)
        m_bgView = UIView::create();
    return m_bgView;
}

const std::shared_ptr<UILabel>& ZV_RegisterViewVC::zv_titleLb()
{
    if (!m_titleLb) {
        m_titleLb = UIView::create<UILabel>();
        m_titleLb->setFont(UIFont::systemFont(24, UIFont::Weight::medium));
        m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
        m_titleLb->setText("请选择注册方式");
    }
    return m_titleLb;
}

const std::shared_ptr<UILabel>& ZV_RegisterViewVC::zv_desLb()
{
    if (!m_desLb) {
        m_desLb = UIView::create<UILabel>();
        m_desLb->setFont(UIFont::systemFont(14));
        m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("222222", 0.24)));
        m_desLb->setText("海外用户请选择邮箱注册");
    }
    return m_desLb;
}

const std::shared_ptr<UIStackView>& ZV_RegisterViewVC::zv_stackView()
{
    if (!m_stackView)
        m_stackView = accountform::makeStack(16, true);
    return m_stackView;
}

const std::shared_ptr<QMUITextField>& ZV_RegisterViewVC::zv_accountField()
{
    if (!m_accountField) {
        std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
        m_accountField = accountform::makeField("请输入手机号", colorWithHex("1D1942"), false, [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateNextButton();
        });
        m_accountField->setAccessibilityIdentifier("register.account");
    }
    return m_accountField;
}

const std::shared_ptr<QMUITextField>& ZV_RegisterViewVC::zv_passwdField()
{
    if (!m_passwdField) {
        std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
        m_passwdField = accountform::makeField("请设置密码", colorWithHex("1D1942"), true, [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateNextButton();
        });
        m_passwdField->setAccessibilityIdentifier("register.password");
    }
    return m_passwdField;
}

const std::shared_ptr<UIButton>& ZV_RegisterViewVC::zv_nextBtn()
{
    if (!m_nextBtn) {
        m_nextBtn = accountform::makeEnterButton();
        m_nextBtn->setHidden(true);
        m_nextBtn->setAccessibilityIdentifier("register.next");
        std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
        m_nextBtn->addTarget(weakSelf, &ZV_RegisterViewVC::nextTapped, UIControlEventTouchUpInside);
    }
    return m_nextBtn;
}

const std::shared_ptr<UIStackView>& ZV_RegisterViewVC::zv_stackTypeView()
{
    if (!m_stackTypeView)
        m_stackTypeView = accountform::makeStack(16, false);
    return m_stackTypeView;
}

const std::shared_ptr<ZV_RegisterTypeView>& ZV_RegisterViewVC::zv_phoneTypeView()
{
    if (!m_phoneTypeView) {
        m_phoneTypeView = ZV_RegisterTypeView::make();
        m_phoneTypeView->imageView()->setImage(zvadaptive::iconImage(UIImage::named("login_Phone")));
        m_phoneTypeView->titleLb()->setText("使用手机号注册");
        m_phoneTypeView->setAccessibilityIdentifier("register.phone");
        std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
        addTapAction(*m_phoneTypeView, [weakSelf](UITapGestureRecognizer&) {
            if (auto self = weakSelf.lock())
                self->chooseType(RegisterType::phone);
        });
    }
    return m_phoneTypeView;
}

const std::shared_ptr<ZV_RegisterTypeView>& ZV_RegisterViewVC::zv_mailTypeView()
{
    if (!m_mailTypeView) {
        m_mailTypeView = ZV_RegisterTypeView::make();
        m_mailTypeView->imageView()->setImage(zvadaptive::iconImage(UIImage::named("login_Mail")));
        m_mailTypeView->titleLb()->setText("使用邮箱注册");
        m_mailTypeView->setAccessibilityIdentifier("register.mail");
        std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
        addTapAction(*m_mailTypeView, [weakSelf](UITapGestureRecognizer&) {
            if (auto self = weakSelf.lock())
                self->chooseType(RegisterType::mail);
        });
    }
    return m_mailTypeView;
}

const std::shared_ptr<UIStackView>& ZV_RegisterViewVC::zv_stackCodeView()
{
    if (!m_stackCodeView)
        m_stackCodeView = accountform::makeStack(32, true);
    return m_stackCodeView;
}

const std::shared_ptr<QMUITextField>& ZV_RegisterViewVC::zv_codeField()
{
    if (!m_codeField) {
        std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
        m_codeField = accountform::makeCodeField(colorWithHex("1D1942"), [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateNextButton();
        });
        m_codeField->setAccessibilityIdentifier("register.code");
    }
    return m_codeField;
}

const std::shared_ptr<UILabel>& ZV_RegisterViewVC::zv_codeLb()
{
    if (!m_codeLb) {
        m_codeLb = accountform::makeResendLabel();
        m_codeLb->setAccessibilityIdentifier("register.resend");
        std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
        addTapAction(*m_codeLb, [weakSelf](UITapGestureRecognizer&) {
            if (auto self = weakSelf.lock())
                self->resendTapped();
        });
    }
    return m_codeLb;
}

void ZV_RegisterViewVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    // The background runs under the transparent bar; the layout counts from the screen's top.
    setExtendedLayoutIncludesOpaqueBars(true);
    setupUI();
}

std::optional<UIImage> ZV_RegisterViewVC::qmui_navigationBarBackgroundImage() const
{
    return accountform::clearBarImage();
}

void ZV_RegisterViewVC::setupUI()
{
    setTitle("注册");
    navigationItem().setLeftBarButtonItem(UIBarButtonItem::withCustomView(backBtn()));

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
             zv_titleLb(), zv_desLb(), zv_stackView(), zv_nextBtn(), zv_stackTypeView(), zv_stackCodeView() })
        card->addSubview(subview);
    snp(zv_titleLb()).makeConstraints([](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
    });
    snp(zv_desLb()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_titleLb()).bottom()).offset(8);
        make.left().right().equalToSuperview();
    });
    // The three stacks overlap under the description; only one shows at a time.
    for (const auto& stack : { zv_stackView(), zv_stackTypeView(), zv_stackCodeView() }) {
        snp(stack).makeConstraints([this](ConstraintMaker& make) {
            make.top().equalTo(snp(zv_desLb()).bottom()).offset(32);
            make.left().right().equalToSuperview();
        });
    }
    snp(zv_nextBtn()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_stackView()).bottom()).offset(40);
        make.centerX().equalToSuperview();
        make.bottom().equalToSuperview();
        make.width().height().equalTo(64);
    });

    zv_stackView()->addArrangedSubview(zv_accountField());
    zv_stackView()->addArrangedSubview(zv_passwdField());
    zv_stackTypeView()->addArrangedSubview(zv_phoneTypeView());
    zv_stackTypeView()->addArrangedSubview(zv_mailTypeView());
    zv_stackCodeView()->addArrangedSubview(zv_codeField());
    zv_stackCodeView()->addArrangedSubview(zv_codeLb());
    for (const std::shared_ptr<UIView>& row : std::initializer_list<std::shared_ptr<UIView>> {
             zv_accountField(), zv_passwdField(), zv_phoneTypeView(), zv_mailTypeView(), zv_codeField() })
        snp(row).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(64); });
}

void ZV_RegisterViewVC::goPage(bool back)
{
    std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
    accountform::fadeCard(zv_bgView(), [weakSelf, back] {
        if (auto self = weakSelf.lock())
            self->showPage(back);
    });
}

void ZV_RegisterViewVC::showPage(bool back)
{
    m_page += back ? -1 : 1;
    zv_stackTypeView()->setHidden(true);
    zv_stackCodeView()->setHidden(true);
    zv_stackView()->setHidden(true);
    zv_nextBtn()->setHidden(false);
    bool byPhone = m_registerType == RegisterType::phone;
    switch (m_page) {
    case 0:
        zv_titleLb()->setText("请选择注册方式");
        zv_desLb()->setText("海外用户请使用邮箱注册");
        // Back from the e-mail way, whose step hid the line.
        zv_desLb()->setHidden(false);
        zv_stackTypeView()->setHidden(false);
        zv_nextBtn()->setHidden(true);
        break;
    case 1:
        zv_titleLb()->setText(byPhone ? "手机号注册" : "邮箱注册");
        zv_desLb()->setText(byPhone ? "海外用户请使用邮箱注册" : "");
        zv_desLb()->setHidden(!byPhone);
        zv_accountField()->setPlaceholder(byPhone ? "请输入手机号" : "请输入邮箱地址");
        zv_stackView()->setHidden(false);
        break;
    case 2:
        zv_titleLb()->setText("验证码已发送至");
        zv_desLb()->setText(zv_accountField()->text());
        zv_desLb()->setHidden(false);
        zv_stackCodeView()->setHidden(false);
        break;
    default:
        break;
    }
    updateNextButton();
}

void ZV_RegisterViewVC::updateNextButton()
{
    if (m_page == 1) {
        const std::string& account = zv_accountField()->text();
        bool valid = m_registerType == RegisterType::phone ? ZV_Tools::isPhoneNumber(account)
                                                           : ZV_Tools::isEmail(account);
        accountform::setEnterEnabled(*zv_nextBtn(), valid && !zv_passwdField()->text().empty());
    } else if (m_page == 2) {
        accountform::setEnterEnabled(*zv_nextBtn(), !zv_codeField()->text().empty());
    }
}

void ZV_RegisterViewVC::chooseType(RegisterType type)
{
    m_registerType = type;
    goPage(false);
}

void ZV_RegisterViewVC::nextTapped()
{
    if (m_page == 1)
        openCaptcha();
    else if (m_page == 2)
        registerAccount();
    else
        goPage(false);
}

void ZV_RegisterViewVC::backTapped()
{
    if (m_page != 0) {
        goPage(true);
    } else if (auto navigation = navigationController()) {
        navigation->popViewController(true);
    }
    // The label keeps its last text until the next code is sent.
    m_countdown.stop();
}

void ZV_RegisterViewVC::resendTapped()
{
    if (m_countdown.isRunning())
        return;
    openCaptcha();
}

void ZV_RegisterViewVC::openCaptcha()
{
    view()->endEditing(true);
    auto self = accountform::shared(*this);
    ZV_CaptchaView::present([self](const JSON& captcha) { self->sendCode(captcha); });
}

void ZV_RegisterViewVC::sendCode(const JSON& captcha)
{
    JSON parameters = JSON::object();
    accountform::setIfPresent(parameters, "to", zv_accountField()->text());
    parameters.set("send_type", JSON(rawValue(m_registerType)));
    if (std::optional<std::string> text = accountform::captchaText(captcha))
        parameters.set("captcha", JSON(*text));
    std::weak_ptr<ZV_RegisterViewVC> weakSelf = accountform::shared(*this);
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::getCode, parameters, true,
        [weakSelf](std::optional<JSON>, std::optional<NSError> error) {
            auto self = weakSelf.lock();
            if (!self)
                return;
            if (error) {
                QMUITips::showInfo(error->domain);
                return;
            }
            QMUITips::showSucceed("验证码获取成功");
            if (self->m_page != 2)
                self->goPage(false);
            self->m_countdown.start(self->zv_codeLb());
        });
}

void ZV_RegisterViewVC::registerAccount()
{
    // Held strongly: the account exists once the server said so, so its token is kept even if
    // the viewer has left the page meanwhile.
    auto self = accountform::shared(*this);
    auto finished = [self](std::optional<JSON> json, std::optional<NSError> error) {
        self->registrationFinished(json, error);
    };
    const std::string& account = zv_accountField()->text();
    const std::string& password = zv_passwdField()->text();
    const std::string& code = zv_codeField()->text();
    if (m_registerType == RegisterType::phone) {
        QMUITips::showLoadingInView(view());
        ZV_Network::shared().registerByPhone(account, password, code, finished);
        return;
    }
    JSON parameters = JSON::object();
    accountform::setIfPresent(parameters, "email", account);
    accountform::setIfPresent(parameters, "password", password);
    accountform::setIfPresent(parameters, "email_code", code);
    ZV_Network::shared().request(
        HTTPMethod::POST, BaseURLs::main_url(), "v1/user/register/email", parameters, finished);
}

void ZV_RegisterViewVC::registrationFinished(
    const std::optional<JSON>& json, const std::optional<NSError>& error)
{
    std::string token = json && !error ? (*json)["access_token"].stringValue() : std::string();
    if (token.empty()) {
        // The emptied, red-outlined code field asks for the code again; the tip says why, since a
        // number already registered or a failed transfer is no wrong code and another code would
        // not help. The server's words come as the error; a delivered reply without a token has
        // none and reads as unusable.
        zv_codeField()->setText("");
        zv_codeField()->layer()->setBorderColor(colorWithHex("EF5252"));
        updateNextButton();
        QMUITips::hideAllTips();
        accountform::showRefusal(error);
        return;
    }
    StoreData::set(PropertyList(token), StoreData::access_token);
    NotificationCenter::defaultCenter().post(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::loginSuccess)));
    dismiss(true);
    QMUITips::showSucceed("登录成功");
}
