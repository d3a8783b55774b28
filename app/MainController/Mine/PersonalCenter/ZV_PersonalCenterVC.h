#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_UserInfoModel.h"

#include <memory>

class UIButton;
class UIImageView;
class UILabel;
class UIView;

// The personal centre, page 4 of the root tabs. So far it holds the user header: the avatar,
// nickname and id of the signed-in viewer, whose tap opens the personal data page, or "点击登录",
// which presents the login screen. The profile comes from "v1/user/info" at load and after each
// sign-in, and goes on sign-out.
class ZV_PersonalCenterVC : public BaseViewController {
public:
    ZV_PersonalCenterVC() = default;
    ~ZV_PersonalCenterVC() override;

    std::string className() const override { return "ZV_PersonalCenterVC"; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    // Fetches the profile again.
    void reloadData();

    const std::shared_ptr<ZV_UserInfoModel>& model() const { return m_model; }

private:
    void buildHeader();
    void refreshHeader();
    void headerTapped();
    void logoutSuccess();

    std::shared_ptr<ZV_UserInfoModel> m_model;
    std::shared_ptr<UIView> m_header;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<UIButton> m_loginBtn;
};
