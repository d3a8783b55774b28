#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "app/Theme/ZVAdaptiveIconButton.h"

#include <memory>

class UIButton;
class UIImageView;
class UILabel;
class UIView;

// The header of the personal centre: the avatar, then the nickname over "UID：" and the id for a
// profile with an id, else the button "点击登录"; the settings button at the right. The page
// wires both buttons.
class ZV_PersonalCenterUserCell : public BaseCollectionViewCell {
public:
    ZV_PersonalCenterUserCell();
    explicit ZV_PersonalCenterUserCell(const CGRect& frame);

    std::string className() const override { return "ZV_PersonalCenterUserCell"; }

    const std::shared_ptr<ZV_UserInfoModel>& model() const { return m_model; }
    // Refreshes the header.
    void setModel(std::shared_ptr<ZV_UserInfoModel> model);
    void refresh();

    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    const std::shared_ptr<UIView>& userView() const { return m_userView; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    const std::shared_ptr<UILabel>& desLb() const { return m_desLb; }
    const std::shared_ptr<ZVAdaptiveIconButton>& settingBtn() const { return m_settingBtn; }
    const std::shared_ptr<UIButton>& loginBtn() const { return m_loginBtn; }

private:
    std::shared_ptr<ZV_UserInfoModel> m_model;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UIView> m_userView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<ZVAdaptiveIconButton> m_settingBtn;
    std::shared_ptr<UIButton> m_loginBtn;
};
