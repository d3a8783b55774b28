#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUIButton.h"

#include <memory>
#include <string>

class ZV_ShortModel;

// A poster of one short video, shown modally: the cover above the app's slogan and the clip's
// title, the app's logo and name, an invitation and the QR code of the download page, with a
// button that saves the card to the photo album. Main thread only.
class ZV_ShortShareViewController : public BaseViewController {
public:
    static constexpr const char* slogan = "Vexo电影免费看 ";
    static constexpr const char* savedTip = "保存到相册成功";

    ZV_ShortShareViewController();

    std::string className() const override { return "ZV_ShortShareViewController"; }

    const std::shared_ptr<UIButton>& closeButton();
    const std::shared_ptr<QMUIButton>& saveButton();
    const std::shared_ptr<UIView>& zv_cardView();
    const std::shared_ptr<UIView>& infoView();
    const std::shared_ptr<UIImageView>& coverView();
    const std::shared_ptr<UILabel>& titleLabel();
    const std::shared_ptr<UIImageView>& logoView();
    const std::shared_ptr<UILabel>& appName();
    const std::shared_ptr<UILabel>& infoLabel();
    const std::shared_ptr<UIImageView>& qrcodeView();

    // The clip, set before the screen loads; without one the card keeps its placeholders.
    std::shared_ptr<const ZV_ShortModel> model;

    void viewDidLoad() override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }

    virtual void setupUI();
    // Fills the card from `model`.
    virtual void fill();
    // Writes a picture of the card to the photo album; a success tip when it is there.
    void save();

private:
    std::shared_ptr<UIButton> m_closeButton;
    std::shared_ptr<QMUIButton> m_saveButton;
    std::shared_ptr<UIView> m_cardView;
    std::shared_ptr<UIView> m_infoView;
    std::shared_ptr<UIImageView> m_coverView;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UIImageView> m_logoView;
    std::shared_ptr<UILabel> m_appName;
    std::shared_ptr<UILabel> m_infoLabel;
    std::shared_ptr<UIImageView> m_qrcodeView;
};
