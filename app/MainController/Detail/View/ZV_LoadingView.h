#pragma once

#include "platform/ui/UIView.h"

#include <memory>
#include <string>

class UIButton;
class UIImageView;
class UILabel;

// The cover over the player while an episode is prepared: a dark gradient, a looping frame
// animation captioned "精彩即将开始", a picture in the top right corner and a back button. The
// player owns it, wires the back button and shows, fades and hides it; the animation runs from
// creation for as long as the view exists, shown or hidden.
class ZV_LoadingView : public UIView {
public:
    static constexpr int frameCount = 24;

    // Made and set up (subviews need an owner to hang from).
    static std::shared_ptr<ZV_LoadingView> make(const CGRect& frame = {});
    explicit ZV_LoadingView(const CGRect& frame);

    std::string className() const override { return "ZV_LoadingView"; }

    const std::shared_ptr<UIButton>& backBtn();
    const std::shared_ptr<UIImageView>& backgroundView();
    const std::shared_ptr<UIImageView>& loadingView();
    const std::shared_ptr<UILabel>& loadingName();

    virtual void setupUI();

private:
    std::shared_ptr<UIButton> m_backBtn;
    std::shared_ptr<UIImageView> m_backgroundView;
    std::shared_ptr<UIImageView> m_loadingView;
    std::shared_ptr<UILabel> m_loadingName;
};
