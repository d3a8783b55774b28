#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkReply.h"
#include "app/Core/Storage/StoreData.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Login/Controller/ZV_ForgotViewVC.h"
#include "app/MainController/Login/Controller/ZV_RegisterViewVC.h"
#include "app/MainController/Login/View/ZV_AccountForm.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
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
#include "platform/ui/text/NSAttributedString.h"

const std::shared_ptr<UIImageView>& ZV_LoginViewVC::zv_bgImgView()
{
    if (!m_bgImgView)
        m_bgImgView = UIView::create<UIImageView>(zvadaptive::dimmedImage(UIImage::named("login_bg")));
    return m_bgImgView;
}

const std::shared_ptr<UIButton>& ZV_LoginViewVC::zv_closeBtn()
{
    if (!m_closeBtn) {
        m_closeBtn = UIView::create<UIButton>(UIButtonType::custom);
        m_closeBtn->setImage(zvadaptive::iconImage(UIImage::named("login_close")), UIControlStateNormal);
        m_closeBtn->setAccessibilityIdentifier("login.close");
        std::weak_ptr<ZV_LoginViewVC> weakSelf = accountform::shared(*this);
        m_closeBtn->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
            // The login controller's dismissal takes the whole presented stack away.
            if (auto self = weakSelf.lock())
                self->dismiss(true);
        });
    }
    return m_closeBtn;
}

const std::shared_ptr<UIButton>& ZV_LoginViewVC::zv_registerBtn()
{
    if (!m_registerBtn) {
        m_registerBtn = UIView::create<UIButton>(UIButtonType::custom);
        m_registerBtn->setTitle(std::string("注册"), UIControlStateNormal);
        m_registerBtn->setTitleColor(colorWithHex("222222"), UIControlStateNormal);
        m_registerBtn->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
        m_registerBtn->setBackgroundColor(colorWithHex("03FFE1"));
        m_registerBtn->layer()->setCornerRadius(8);
        m_registerBtn->setClipsToBounds(true);
        m_registerBtn->setContentEdgeInsets({ 4, 16, 4, 16 });
        m_registerBtn->setAccessibilityIdentifier("login.register");
        std::weak_ptr<ZV_LoginViewVC> weakSelf = accountform::shared(*this);
        m_registerBtn->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
            auto self = weakSelf.lock();
            if (auto navigation = self ? self->navigationController() : nullptr)
                navigation->pushViewController(std::make_shared<ZV_RegisterViewVC>(), true);
        });
    }
    return m_registerBtn;
}

const std::shared_ptr<UILabel>& ZV_LoginViewVC::zv_titleLb()
{
    if (!m_titleLb) {
        m_titleLb = UIView::create<UILabel>();
        m_titleLb->setFont(UIFont::systemFont(24, UIFont::Weight::medium));
        m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("222222")));
        m_titleLb->setText("登录");
    }
    return m_titleLb;
}

const std::shared_ptr<UIStackView>& ZV_LoginViewVC::zv_stackView()
{
    if (!m_stackView) {
        m_stackView = UIView::create<UIStackView>();
        m_stackView->setAxis(UIStackView::Axis::vertical);
        m_stackView->setSpacing(32);
    }
    return m_stackView;
}

const std::shared_ptr<QMUITextField>& ZV_LoginViewVC::zv_accountField()
{
    if (!m_accountField) {
        std::weak_ptr<ZV_LoginViewVC> weakSelf = accountform::shared(*this);
        m_accountField = accountform::makeField("手机号/用户名", colorWithHex("222222"), false, [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateLoginButton();
        });
        m_accountField->setAccessibilityIdentifier("login.account");
    }
    return m_accountField;
}

const std::shared_ptr<QMUITextField>& ZV_LoginViewVC::zv_passwdField()
{
    if (!m_passwdField) {
        std::weak_ptr<ZV_LoginViewVC> weakSelf = accountform::shared(*this);
        m_passwdField = accountform::makeField("密码", colorWithHex("222222"), true, [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateLoginButton();
        });
        m_passwdField->setAccessibilityIdentifier("login.password");
    }
    return m_passwdField;
}

const std::shared_ptr<UILabel>& ZV_LoginViewVC::zv_forgetBtn()
{
    if (!m_forgetBtn) {
        m_forgetBtn = UIView::create<UILabel>();
        UIFont font = UIFont::systemFont(12, UIFont::Weight::medium);
        m_forgetBtn->setFont(font);
        UIColor faded = zvadaptive::textColor(colorWithHex("1D1942", 0.3));
        NSAttributes attributes;
        attributes.font = font;
        attributes.foregroundColor = faded;
        attributes.baselineOffset = 0;
        attributes.underline = true;
        m_forgetBtn->setAttributedText(NSAttributedString("忘了密码", attributes).styledText());
        m_forgetBtn->setAccessibilityIdentifier("login.forget");
        std::weak_ptr<ZV_LoginViewVC> weakSelf = accountform::shared(*this);
        addTapAction(*m_forgetBtn, [weakSelf](UITapGestureRecognizer&) {
            auto self = weakSelf.lock();
            if (auto navigation = self ? self->navigationController() : nullptr)
                navigation->pushViewController(std::make_shared<ZV_ForgotViewVC>(), true);
        });
    }
    return m_forgetBtn;
}

const std::shared_ptr<UIButton>& ZV_LoginViewVC::zv_loginBtn()
{
    if (!m_loginBtn) {
        m_loginBtn = accountform::makeEnterButton();
        m_loginBtn->setAccessibilityIdentifier("login.enter");
        std::weak_ptr<ZV_LoginViewVC> weakSelf = accountform::shared(*this);
        m_loginBtn->addTarget(weakSelf, &ZV_LoginViewVC::zv_clickLogin, UIControlEventTouchUpInside);
    }
    return m_loginBtn;
}

void ZV_LoginViewVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    // The background runs under the transparent bar; the layout counts from the screen's top.
    setExtendedLayoutIncludesOpaqueBars(true);
    setupUI();
}

std::optional<UIImage> ZV_LoginViewVC::qmui_navigationBarBackgroundImage() const
{
    return accountform::clearBarImage();
}

void ZV_LoginViewVC::setupUI()
{
    navigationItem().setLeftBarButtonItem(UIBarButtonItem::withCustomView(zv_closeBtn()));
    navigationItem().setRightBarButtonItem(UIBarButtonItem::withCustomView(zv_registerBtn()));

    const std::shared_ptr<UIView>& root = view();
    for (const std::shared_ptr<UIView>& subview : std::initializer_list<std::shared_ptr<UIView>> {
             zv_bgImgView(), zv_titleLb(), zv_stackView(), zv_forgetBtn(), zv_loginBtn() })
        root->addSubview(subview);
    zv_stackView()->addArrangedSubview(zv_accountField());
    zv_stackView()->addArrangedSubview(zv_passwdField());

    snp(zv_bgImgView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(zv_titleLb()).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(0.2 * screenHeight());
        make.left().equalToSuperview().offset(32);
    });
    snp(zv_stackView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_titleLb()).bottom()).offset(32);
        make.left().equalToSuperview().offset(32);
    });
    for (const auto& field : { zv_accountField(), zv_passwdField() }) {
        snp(field).makeConstraints([](ConstraintMaker& make) {
            make.height().equalTo(54);
            make.width().equalTo(screenWidth() - 64);
        });
    }
    // On the title's line, at the right.
    snp(zv_forgetBtn()).makeConstraints([this](ConstraintMaker& make) {
        make.bottom().equalTo(snp(zv_stackView()).top()).offset(-32);
        make.right().equalToSuperview().offset(-32);
    });
    snp(zv_loginBtn()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_stackView()).bottom()).offset(40);
        make.centerX().equalToSuperview();
        make.width().height().equalTo(64);
    });
}

void ZV_LoginViewVC::updateLoginButton()
{
    accountform::setEnterEnabled(
        *zv_loginBtn(), !zv_accountField()->text().empty() && !zv_passwdField()->text().empty());
}

void ZV_LoginViewVC::zv_clickLogin()
{
    view()->endEditing(true);
    // Every attempt passes a new captcha. The overlay keeps this page until it has answered.
    auto self = accountform::shared(*this);
    ZV_CaptchaView::present([self](const JSON& captcha) { self->login(captcha); });
}

void ZV_LoginViewVC::login(const JSON& captcha)
{
    QMUITips::showLoadingInView(view());
    // Held strongly: a viewer who closes the page meanwhile is still signed in by the reply.
    auto self = accountform::shared(*this);
    ZV_Network::shared().login(zv_accountField()->text(), zv_passwdField()->text(),
        accountform::captchaText(captcha).value_or(""),
        [self](std::optional<JSON> json, std::optional<NSError> error) { self->loginFinished(json, error); });
}

void ZV_LoginViewVC::loginFinished(const std::optional<JSON>& json, const std::optional<NSError>& error)
{
    std::string token = json && !error ? (*json)["access_token"].stringValue() : std::string();
    if (token.empty()) {
        // A reply without a token signs nobody in; storing an empty one would count as signed in.
        QMUITips::showError(error ? error->domain : ZV_NetworkReply::unusableReplyError().domain);
        return;
    }
    StoreData::set(PropertyList(token), StoreData::access_token);
    NotificationCenter::defaultCenter().post(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::loginSuccess)));
    dismiss(true, [] { QMUITips::showSucceed("登录成功！"); });
}
