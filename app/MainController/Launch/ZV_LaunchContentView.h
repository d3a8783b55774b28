#pragma once

#include "platform/ui/UIView.h"

#include <memory>

class UIImageView;

// The splash's content: one picture filling the view (aspect fill), showing the built-in image
// "launch" until the launch screen puts the advert over it.
class ZV_LaunchContentView : public UIView {
public:
    ZV_LaunchContentView();

    std::string className() const override { return "ZV_LaunchContentView"; }

    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }

    void layoutSubviews() override;

private:
    std::shared_ptr<UIImageView> m_imageView;
};
