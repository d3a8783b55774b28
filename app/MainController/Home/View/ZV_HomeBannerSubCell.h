#pragma once

#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/banner/FSPagerViewCell.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <memory>

// One page of the home carousel: the picture over the whole page, and over its bottom left a
// small orange tag with the item's title above it and its subtitle beside it. Without a tag text
// the tag hides and the title keeps its place.
class ZV_HomeBannerSubCell : public FSPagerViewCell {
public:
    ZV_HomeBannerSubCell();
    explicit ZV_HomeBannerSubCell(const CGRect& frame);

    std::string className() const override { return "ZV_HomeBannerSubCell"; }

    const std::shared_ptr<const ZV_HomeRecommendModelDataList>& model() const { return m_model; }
    void setModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model);

    const std::shared_ptr<UIImageView>& zv_iconView() const { return m_iconView; }
    const std::shared_ptr<UIView>& zv_tagView() const { return m_tagView; }
    const std::shared_ptr<QMUILabel>& zv_tagLb() const { return m_tagLb; }
    const std::shared_ptr<UILabel>& zv_title() const { return m_title; }
    const std::shared_ptr<UILabel>& zv_des() const { return m_des; }

private:
    std::shared_ptr<const ZV_HomeRecommendModelDataList> m_model;
    std::shared_ptr<UIImageView> m_iconView;
    std::shared_ptr<UIView> m_tagView;
    std::shared_ptr<QMUILabel> m_tagLb;
    std::shared_ptr<UILabel> m_title;
    std::shared_ptr<UILabel> m_des;
};
