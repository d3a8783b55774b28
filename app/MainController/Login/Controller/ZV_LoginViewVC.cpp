#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"

#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUITextField.h"

#include <utility>

ZV_LoginViewVC::ZV_LoginViewVC()
{
    setTitle("登录");
}

void ZV_LoginViewVC::viewDidLoad()
{
    UIViewController::viewDidLoad();
    const std::shared_ptr<UIView>& root = view();
    root->setBackgroundColor(UIColor::systemBackground());

    m_accountField = UIView::create<QMUITextField>();
    m_accountField->setPlaceholder("请输入手机号/用户名");
    m_passwordField = UIView::create<QMUITextField>();
    m_passwordField->setPlaceholder("请输入密码");
    m_passwordField->setSecureTextEntry(true);
    for (const auto& field : { m_accountField, m_passwordField }) {
        field->setFont(UIFont::systemFont(15));
        field->setBackgroundColor(UIColor::white(0.5, 0.12));
        root->addSubview(field);
    }

    m_loginButton = UIView::create<UIButton>(UIButtonType::custom);
    m_loginButton->setTitle(std::string("登录"));
    m_loginButton->setFont(UIFont::boldSystemFont(16));
    m_loginButton->setBackgroundColor(UIColor(0.16, 0.47, 1, 1));
    std::weak_ptr<ZV_LoginViewVC> weakSelf = std::static_pointer_cast<ZV_LoginViewVC>(sharedFromThis());
    m_loginButton->addTarget(weakSelf, &ZV_LoginViewVC::zv_clickLogin, UIControlEventTouchUpInside);
    root->addSubview(m_loginButton);

    snp(m_accountField).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top()).offset(40);
        make.left().right().equalToSuperview().inset(30);
        make.height().equalTo(48);
    });
    snp(m_passwordField).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(m_accountField).bottom()).offset(16);
        make.left().right().height().equalTo(m_accountField);
    });
    snp(m_loginButton).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(m_passwordField).bottom()).offset(40);
        make.left().right().equalTo(m_accountField);
        make.height().equalTo(48);
    });
}

void ZV_LoginViewVC::zv_clickLogin()
{
    view()->endEditing(true);
    QMUITips::showLoadingInView(view());
    // Held strongly: a viewer who closes the page meanwhile is still signed in by the reply.
    auto self = std::static_pointer_cast<ZV_LoginViewVC>(sharedFromThis());
    ZV_Network::shared().login(m_accountField->text(), m_passwordField->text(), m_captcha,
        [self](std::optional<JSON> json, std::optional<NSError> error) { self->loginFinished(json, error); });
}

void ZV_LoginViewVC::loginFinished(const std::optional<JSON>& json, const std::optional<NSError>& error)
{
    std::optional<std::string> token
        = json && !error ? std::as_const(*json)["access_token"].string() : std::nullopt;
    if (!token || token->empty()) {
        // A reply without a token signs nobody in; storing an empty one would count as signed in.
        QMUITips::showError(error ? error->domain : "网络异常");
        return;
    }
    StoreData::set(PropertyList(*token), StoreData::access_token);
    NotificationCenter::defaultCenter().post(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::loginSuccess)));
    dismiss(true, [] { QMUITips::showSucceed("登录成功！"); });
}
