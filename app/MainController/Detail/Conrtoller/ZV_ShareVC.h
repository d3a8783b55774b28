#pragma once

#include "app/BaseController/BaseViewController.h"

#include <memory>
#include <string>

class QMUIButton;
class UIImageView;
class UILabel;
class UIStackView;
class UIVisualEffectView;
struct ZV_DetailModel;

// The share poster of a title, pushed over the title page: a card with the cover and, laid over
// its lower part, the name, the type line, the actors and the synopsis, above a white bar with the
// slogan and the QR code image of the configuration; under the card, share (the card as a
// picture to the share sheet), save (to the photo album) and copy (the configuration's link).
// The opener sets `model` and runs fillContent() before showing it.
class ZV_ShareVC : public BaseViewController {
public:
    static constexpr const char* savedTip = "保存成功";
    static constexpr const char* copiedTip = "已复制分享链接";

    ZV_ShareVC();

    std::string className() const override { return "ZV_ShareVC"; }

    std::shared_ptr<ZV_DetailModel> model;

    const std::shared_ptr<UIImageView>& backgroundView();
    const std::shared_ptr<UIVisualEffectView>& blurView();
    const std::shared_ptr<QMUIButton>& backBtn();
    const std::shared_ptr<UIView>& cardView();
    const std::shared_ptr<UIImageView>& coverView();
    const std::shared_ptr<UIView>& shadowView();
    const std::shared_ptr<UILabel>& videoName();
    const std::shared_ptr<UILabel>& videoType();
    const std::shared_ptr<UILabel>& videoActor();
    const std::shared_ptr<UIView>& videoLine();
    const std::shared_ptr<UILabel>& videoDesc();
    const std::shared_ptr<UIView>& bottomView();
    const std::shared_ptr<UILabel>& bottomTitle();
    const std::shared_ptr<UILabel>& bottomSubtitle();
    const std::shared_ptr<UIImageView>& bottomQRCodeView();
    const std::shared_ptr<UIStackView>& stackView();
    const std::shared_ptr<QMUIButton>& shareBtn();
    const std::shared_ptr<QMUIButton>& saveBtn();
    const std::shared_ptr<QMUIButton>& copyBtn();
    const std::shared_ptr<UIView>& bottomLine();
    const std::shared_ptr<QMUIButton>& cancelBtn();

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }
    UIStatusBarStyle preferredStatusBarStyle() const override { return UIStatusBarStyle::lightContent; }

    virtual void setupUI();
    // Puts the title and the QR code into the card (building the views it needs).
    virtual void fillContent();
    virtual void sharePoster();
    virtual void savePoster();
    // Copies the configuration's share link when it is a web address.
    void copyLink();
    void zv_clickShare() { sharePoster(); }
    void zv_clickSave() { savePoster(); }

    // "type / year / tag / tag".
    static std::string typeLine(const ZV_DetailModel& model);
    // The actors' names joined by " | " (directors and screenwriters left out).
    static std::string actorLine(const ZV_DetailModel& model);

private:
    std::shared_ptr<UIImageView> m_backgroundView;
    std::shared_ptr<UIVisualEffectView> m_blurView;
    std::shared_ptr<QMUIButton> m_backBtn;
    std::shared_ptr<UIView> m_cardView;
    std::shared_ptr<UIImageView> m_coverView;
    std::shared_ptr<UIView> m_shadowView;
    std::shared_ptr<UILabel> m_videoName;
    std::shared_ptr<UILabel> m_videoType;
    std::shared_ptr<UILabel> m_videoActor;
    std::shared_ptr<UIView> m_videoLine;
    std::shared_ptr<UILabel> m_videoDesc;
    std::shared_ptr<UIView> m_bottomView;
    std::shared_ptr<UILabel> m_bottomTitle;
    std::shared_ptr<UILabel> m_bottomSubtitle;
    std::shared_ptr<UIImageView> m_bottomQRCodeView;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<QMUIButton> m_shareBtn;
    std::shared_ptr<QMUIButton> m_saveBtn;
    std::shared_ptr<QMUIButton> m_copyBtn;
    std::shared_ptr<UIView> m_bottomLine;
    std::shared_ptr<QMUIButton> m_cancelBtn;
};
