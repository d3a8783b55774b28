#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"

#include <memory>
#include <string>

class UIButton;
class UIImageView;
struct ZV_AdvertModel;

// The picture of the pause advert with its close button. The picture comes from the "player_pause"
// placement of the advert configuration at set-up; a tap on it opens the placement's link in the
// in-app browser (absolute http and https links only) and leaves the pop-up up.
class ZV_PlayerADContentView : public UIView {
public:
    static std::shared_ptr<ZV_PlayerADContentView> make(const CGRect& frame);
    explicit ZV_PlayerADContentView(const CGRect& frame);

    std::string className() const override { return "ZV_PlayerADContentView"; }

    const std::shared_ptr<UIImageView>& zv_imageView();
    const std::shared_ptr<UIButton>& zv_closeBtn();

    virtual void setupUI();
    static void openAdvertLink(const ZV_AdvertModel& advert);

private:
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UIButton> m_closeBtn;
};

// The pause advert over the full-screen player: a modal pop-up (a tap beside it does nothing)
// that only its close button hides.
class ZV_PlayerADView : public QMUIModalPresentationViewController {
public:
    ZV_PlayerADView() = default;

    std::string className() const override { return "ZV_PlayerADView"; }

    void viewDidLoad() override;
    virtual void setupContent();
};
