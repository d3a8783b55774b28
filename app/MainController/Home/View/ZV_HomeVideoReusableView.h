#pragma once

#include "app/BaseController/BaseCollectionReusableView.h"
#include "app/Theme/ZVAdaptiveImageView.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"

#include <memory>

struct ZV_HomeRecommendModelData;

// The header of a feed section: its title on the left, the text of its "more" link and an arrow
// on the right (the arrow only while the link has a text). It has no taps of its own: the feed
// puts one tap over the whole header.
class ZV_HomeVideoReusableView : public BaseCollectionReusableView {
public:
    ZV_HomeVideoReusableView();
    explicit ZV_HomeVideoReusableView(const CGRect& frame);

    std::string className() const override { return "ZV_HomeVideoReusableView"; }

    const std::shared_ptr<const ZV_HomeRecommendModelData>& model() const { return m_model; }
    void setModel(std::shared_ptr<const ZV_HomeRecommendModelData> model);

    const std::shared_ptr<ZVAdaptiveImageView>& zv_iconView() const { return m_iconView; }
    const std::shared_ptr<UILabel>& zv_title() const { return m_title; }
    const std::shared_ptr<UILabel>& zv_des() const { return m_des; }

    void didMoveToSuperview() override;

private:
    // The parts go in once the header is owned (a view takes subviews only then).
    void build();

    bool m_built = false;
    std::shared_ptr<const ZV_HomeRecommendModelData> m_model;
    std::shared_ptr<ZVAdaptiveImageView> m_iconView;
    std::shared_ptr<UILabel> m_title;
    std::shared_ptr<UILabel> m_des;
};
