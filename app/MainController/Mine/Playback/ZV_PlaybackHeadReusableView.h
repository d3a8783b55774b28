#pragma once

#include "app/BaseController/BaseCollectionReusableView.h"

#include <memory>

class UILabel;

// The title of a section of the playback history, 24 points in from both sides.
class ZV_PlaybackHeadReusableView : public BaseCollectionReusableView {
public:
    ZV_PlaybackHeadReusableView();
    explicit ZV_PlaybackHeadReusableView(const CGRect& frame);

    std::string className() const override { return "ZV_PlaybackHeadReusableView"; }

    const std::shared_ptr<UILabel>& zv_title() const { return m_title; }

    void didMoveToSuperview() override;
    void layoutSubviews() override;

private:
    // Views take subviews only once they are owned: the title goes in when the list shows it.
    void attachTitle();

    std::shared_ptr<UILabel> m_title;
};
