#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/effects/UIVisualEffectView.h"

#include <memory>

// One title of the strip of titles being watched: the rounded cover, the progress text at the top
// right, and a blurred bar with a play mark and the title along the bottom.
class ZV_HomeScrollSubCell : public BaseCollectionViewCell {
public:
    ZV_HomeScrollSubCell();
    explicit ZV_HomeScrollSubCell(const CGRect& frame);

    std::string className() const override { return "ZV_HomeScrollSubCell"; }

    const std::shared_ptr<const ZV_HomeRecommendModelDataList>& model() const { return m_model; }
    // A cover address that does not parse leaves the previous picture; the texts always change.
    void setModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model);

    const std::shared_ptr<UIImageView>& zv_iconView() const { return m_iconView; }
    const std::shared_ptr<UIView>& zv_titleView() const { return m_titleView; }
    const std::shared_ptr<UIImageView>& zv_titleImgView() const { return m_titleImgView; }
    const std::shared_ptr<UILabel>& zv_titleLb() const { return m_titleLb; }
    const std::shared_ptr<UIVisualEffectView>& effectView() const { return m_effectView; }
    const std::shared_ptr<UIView>& zv_desView() const { return m_desView; }
    const std::shared_ptr<UILabel>& zv_desLb() const { return m_desLb; }

private:
    std::shared_ptr<const ZV_HomeRecommendModelDataList> m_model;
    std::shared_ptr<UIImageView> m_iconView;
    std::shared_ptr<UIView> m_titleView;
    std::shared_ptr<UIImageView> m_titleImgView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UIVisualEffectView> m_effectView;
    std::shared_ptr<UIView> m_desView;
    std::shared_ptr<UILabel> m_desLb;
};
