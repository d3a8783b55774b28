#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataRowType.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"

#include <memory>
#include <optional>

class QMUITextField;
class UIButton;

// Changes the nickname (type nickName) or the user name (userName) of the signed-in account:
// one field filled with the current value and "保存" in the navigation bar. The text is sent as
// typed; an empty field only shows "请输入昵称" or "请输入用户名". An accepted change is written into
// the shared profile (`model`) before the page pops. Set the type before the model: the model
// fills the field by the type.
class ZV_ChangeNameVC : public BaseViewController {
public:
    ZV_ChangeNameVC() = default;

    std::string className() const override { return "ZV_ChangeNameVC"; }

    void viewDidLoad() override;

    ZV_PersonalDataRowType type() const { return m_type; }
    // nickName and userName set the title and the placeholder; other types change nothing.
    void setType(ZV_PersonalDataRowType type);
    const std::shared_ptr<ZV_UserInfoModel>& model() const { return m_model; }
    // Fills the field with the current nickname or user name (empty without a model).
    void setModel(std::shared_ptr<ZV_UserInfoModel> model);

    // Made on first use.
    const std::shared_ptr<QMUITextField>& zv_accountField();
    const std::shared_ptr<UIButton>& zv_saveBtn();

    void save();
    void changeNickname();
    void changeUsername();

private:
    void change(bool nickname);
    void changeFinished(bool nickname, const std::optional<JSON>& json, const std::optional<NSError>& error);

    ZV_PersonalDataRowType m_type = ZV_PersonalDataRowType::nickName;
    std::shared_ptr<ZV_UserInfoModel> m_model;
    std::shared_ptr<QMUITextField> m_accountField;
    std::shared_ptr<UIButton> m_saveBtn;
};
