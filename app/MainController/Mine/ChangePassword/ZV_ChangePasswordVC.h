#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"

#include <memory>
#include <optional>

class QMUITextField;
class UIButton;
class UIImageView;
class UIStackView;

// Sets a new password, typed twice, for the signed-in account. "保存" is enabled (on "03FFE1")
// only while the first entry has text and the second is exactly the same; it starts disabled.
// An accepted change signs the viewer out on this device: the token and the cached profile go,
// "logoutSuccess" is posted and the stack returns to its root. A refusal shows the error's text.
class ZV_ChangePasswordVC : public BaseViewController {
public:
    ZV_ChangePasswordVC() = default;

    std::string className() const override { return "ZV_ChangePasswordVC"; }

    void viewDidLoad() override;

    // Made on first use.
    const std::shared_ptr<UIImageView>& zv_bgImgView();
    const std::shared_ptr<UIView>& zv_bgView();
    const std::shared_ptr<UIStackView>& zv_stackCodeView();
    const std::shared_ptr<QMUITextField>& zv_passwdField();
    const std::shared_ptr<QMUITextField>& zv_passwdAgainField();
    const std::shared_ptr<UIButton>& zv_contactBtn();

    virtual void setupUI();
    virtual void updateSaveButton();

    void save();

private:
    void saveFinished(const std::optional<JSON>& json, const std::optional<NSError>& error);

    std::shared_ptr<UIImageView> m_bgImgView;
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UIStackView> m_stackCodeView;
    std::shared_ptr<QMUITextField> m_passwdField;
    std::shared_ptr<QMUITextField> m_passwdAgainField;
    std::shared_ptr<UIButton> m_contactBtn;
};
