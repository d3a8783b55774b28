#include "app/MainController/Mine/ChangeName/ZV_ChangeNameVC.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Login/View/ZV_AccountForm.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUITextField.h"

const std::shared_ptr<QMUITextField>& ZV_ChangeNameVC::zv_accountField()
{
    if (!m_accountField) {
        m_accountField = accountform::makeField("", colorWithHex("1D1942"), false, {});
        m_accountField->layer()->setCornerRadius(16);
        m_accountField->setBackgroundColor(zvadaptive::fillColor(colorWithHex("#F8F8F8")));
        m_accountField->setAccessibilityIdentifier("name.field");
    }
    return m_accountField;
}

const std::shared_ptr<UIButton>& ZV_ChangeNameVC::zv_saveBtn()
{
    if (!m_saveBtn) {
        m_saveBtn = UIView::create<UIButton>(UIButtonType::custom);
        m_saveBtn->setTitle(std::string("保存"), UIControlStateNormal);
        m_saveBtn->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942")), UIControlStateNormal);
        m_saveBtn->setFont(UIFont::systemFont(14));
        m_saveBtn->setAccessibilityIdentifier("name.save");
        std::weak_ptr<ZV_ChangeNameVC> weakSelf = accountform::shared(*this);
        m_saveBtn->addTarget(weakSelf, &ZV_ChangeNameVC::save, UIControlEventTouchUpInside);
    }
    return m_saveBtn;
}

void ZV_ChangeNameVC::setType(ZV_PersonalDataRowType type)
{
    m_type = type;
    if (type == ZV_PersonalDataRowType::nickName) {
        setTitle("修改昵称");
        zv_accountField()->setPlaceholder("请输入昵称");
    } else if (type == ZV_PersonalDataRowType::userName) {
        setTitle("修改用户名");
        zv_accountField()->setPlaceholder("请输入用户名");
    }
}

void ZV_ChangeNameVC::setModel(std::shared_ptr<ZV_UserInfoModel> model)
{
    m_model = std::move(model);
    if (m_type == ZV_PersonalDataRowType::nickName)
        zv_accountField()->setText(m_model ? m_model->nickname : std::string());
    else if (m_type == ZV_PersonalDataRowType::userName)
        zv_accountField()->setText(m_model ? m_model->username : std::string());
}

void ZV_ChangeNameVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    // The field's offset counts the bar's height from the screen's top.
    setExtendedLayoutIncludesOpaqueBars(true);
    navigationItem().setRightBarButtonItem(UIBarButtonItem::withCustomView(zv_saveBtn()));
    view()->addSubview(zv_accountField());
    snp(zv_accountField()).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(navigationBarHeight() + 24);
        make.left().right().equalToSuperview().inset(24);
        make.height().equalTo(58);
    });
}

void ZV_ChangeNameVC::save()
{
    if (m_type == ZV_PersonalDataRowType::userName)
        changeUsername();
    else if (m_type == ZV_PersonalDataRowType::nickName)
        changeNickname();
}

void ZV_ChangeNameVC::changeNickname()
{
    change(true);
}

void ZV_ChangeNameVC::changeUsername()
{
    change(false);
}

void ZV_ChangeNameVC::change(bool nickname)
{
    // Sent as typed: blanks are characters like any other.
    const std::string& text = zv_accountField()->text();
    if (text.empty()) {
        QMUITips::showWithText(nickname ? "请输入昵称" : "请输入用户名");
        return;
    }
    JSON parameters = JSON::object({ { nickname ? "new_nickname" : "new_username", JSON(text) } });
    std::weak_ptr<ZV_ChangeNameVC> weakSelf = accountform::shared(*this);
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(),
        nickname ? ZV_API::changeNickname : ZV_API::changeUsername, parameters, true,
        [weakSelf, nickname](std::optional<JSON> json, std::optional<NSError> error) {
            if (auto self = weakSelf.lock())
                self->changeFinished(nickname, json, error);
        });
}

void ZV_ChangeNameVC::changeFinished(
    bool nickname, const std::optional<JSON>& json, const std::optional<NSError>& error)
{
    if (error) {
        QMUITips::showError(error->domain);
        return;
    }
    QMUITips::showSucceed(accountform::dataText(json));
    if (m_model)
        (nickname ? m_model->nickname : m_model->username) = zv_accountField()->text();
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}
