#include "app/MainController/Mine/ChangePassword/ZV_ChangePasswordVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Storage/StoreData.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Login/View/ZV_AccountForm.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUITextField.h"

const std::shared_ptr<UIImageView>& ZV_ChangePasswordVC::zv_bgImgView()
{
    if (!m_bgImgView)
        m_bgImgView = UIView::create<UIImageView>(zvadaptive::dimmedImage(UIImage::named("login_bg")));
    return m_bgImgView;
}

const std::shared_ptr<UIView>& ZV_ChangePasswordVC::zv_bgView()
{
    if (!m_bgView)
        m_bgView = UIView::create();
    return m_bgView;
}

const std::shared_ptr<UIStackView>& ZV_ChangePasswordVC::zv_stackCodeView()
{
    if (!m_stackCodeView)
        m_stackCodeView = accountform::makeStack(16, false);
    return m_stackCodeView;
}

const std::shared_ptr<QMUITextField>& ZV_ChangePasswordVC::zv_passwdField()
{
    if (!m_passwdField) {
        std::weak_ptr<ZV_ChangePasswordVC> weakSelf = accountform::shared(*this);
        m_passwdField = accountform::makeField("请设置新密码", colorWithHex("1D1942"), true, [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateSaveButton();
        });
        m_passwdField->setAccessibilityIdentifier("password.new");
    }
    return m_passwdField;
}

const std::shared_ptr<QMUITextField>& ZV_ChangePasswordVC::zv_passwdAgainField()
{
    if (!m_passwdAgainField) {
        std::weak_ptr<ZV_ChangePasswordVC> weakSelf = accountform::shared(*this);
        m_passwdAgainField
            = accountform::makeField("再次输入新密码", colorWithHex("1D1942"), true, [weakSelf] {
                  if (auto self = weakSelf.lock())
                      self->updateSaveButton();
              });
        m_passwdAgainField->setAccessibilityIdentifier("password.again");
    }
    return m_passwdAgainField;
}

const std::shared_ptr<UIButton>& ZV_ChangePasswordVC::zv_contactBtn()
{
    if (!m_contactBtn) {
        m_contactBtn = UIView::create<UIButton>(UIButtonType::custom);
        m_contactBtn->setTitle(std::string("保存"), UIControlStateNormal);
        // Enabled, the button turns to the bright accent, which keeps its dark title in either style.
        m_contactBtn->setTitleColor(colorWithHex("1D1942"), UIControlStateNormal);
        m_contactBtn->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942")), UIControlStateDisabled);
        m_contactBtn->setFont(UIFont::systemFont(14));
        m_contactBtn->setBackgroundColor(zvadaptive::fillColor(colorWithHex("222222", 0.1)));
        makeCorner(*m_contactBtn, 8);
        // Nothing to save until both entries agree.
        m_contactBtn->setEnabled(false);
        m_contactBtn->setAccessibilityIdentifier("password.save");
        std::weak_ptr<ZV_ChangePasswordVC> weakSelf = accountform::shared(*this);
        m_contactBtn->addTarget(weakSelf, &ZV_ChangePasswordVC::save, UIControlEventTouchUpInside);
    }
    return m_contactBtn;
}

void ZV_ChangePasswordVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    // The form's offset counts the bar's height from the screen's top.
    setExtendedLayoutIncludesOpaqueBars(true);
    setupUI();
}

void ZV_ChangePasswordVC::setupUI()
{
    setTitle("修改密码");
    const std::shared_ptr<UIView>& root = view();
    root->addSubview(zv_bgImgView());
    root->addSubview(zv_bgView());
    snp(zv_bgImgView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(zv_bgView()).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(navigationBarHeight() + 43);
        make.left().right().equalToSuperview().inset(32);
        make.bottom().equalToSuperview();
    });
    zv_bgView()->addSubview(zv_stackCodeView());
    snp(zv_stackCodeView()).makeConstraints([](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
    });
    for (const auto& field : { zv_passwdField(), zv_passwdAgainField() }) {
        zv_stackCodeView()->addArrangedSubview(field);
        snp(field).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(64); });
    }
    zv_bgView()->addSubview(zv_contactBtn());
    snp(zv_contactBtn()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_stackCodeView()).bottom()).offset(40);
        make.left().right().equalToSuperview();
        make.height().equalTo(44);
    });
}

void ZV_ChangePasswordVC::updateSaveButton()
{
    // Character for character: nothing is trimmed.
    const std::string& password = zv_passwdField()->text();
    bool enabled = !password.empty() && zv_passwdAgainField()->text() == password;
    zv_contactBtn()->setEnabled(enabled);
    zv_contactBtn()->setBackgroundColor(
        enabled ? colorWithHex("03FFE1") : zvadaptive::fillColor(colorWithHex("222222", 0.1)));
}

void ZV_ChangePasswordVC::save()
{
    JSON parameters = JSON::object();
    accountform::setIfPresent(parameters, "password", zv_passwdField()->text());
    accountform::setIfPresent(parameters, "repassword", zv_passwdAgainField()->text());
    // Held strongly: an accepted change has ended the sign-in, whether the page is still up or not.
    auto self = accountform::shared(*this);
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), ZV_API::changePassword, parameters,
        true,
        [self](std::optional<JSON> json, std::optional<NSError> error) { self->saveFinished(json, error); });
}

void ZV_ChangePasswordVC::saveFinished(const std::optional<JSON>& json, const std::optional<NSError>& error)
{
    if (error) {
        QMUITips::showError(error->domain);
        return;
    }
    QMUITips::showSucceed(accountform::dataText(json));
    // The server has ended every sign-in of the account: sign out here too.
    StoreData::remove(StoreData::access_token);
    ConfigSingleton::shared().zv_userInfoModel.reset();
    NotificationCenter::defaultCenter().post(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::logoutSuccess)));
    if (auto navigation = navigationController())
        navigation->popToRootViewController(true);
}
