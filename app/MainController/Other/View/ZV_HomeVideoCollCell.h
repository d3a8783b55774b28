#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/MainController/Other/View/ZV_MovieView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"

#include <memory>

struct ZV_HomeRecommendModelDataList;

// The grid cell of titles: the poster card above a one-line name, and a selection mark in the
// top-right corner for lists in edit mode. The mark shows the item's `isSel` at the moment the
// item is set and takes no touches, so the owning list decides what a tap selects.
class ZV_HomeVideoCollCell : public BaseCollectionViewCell {
public:
    ZV_HomeVideoCollCell();
    explicit ZV_HomeVideoCollCell(const CGRect& frame);

    std::string className() const override { return "ZV_HomeVideoCollCell"; }

    bool isEdit() const { return m_isEdit; }
    // Shows the selection mark while true.
    void setEdit(bool edit);

    // A feed item: the card from the item, its `name` below.
    const std::shared_ptr<const ZV_HomeRecommendModelDataList>& model() const { return m_model; }
    void setModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model);
    // A favourite: the card from the item, its `movie_name` below.
    const std::shared_ptr<const ZV_HomeRecommendModelDataList>& collectModel() const
    {
        return m_collectModel;
    }
    void setCollectModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model);

    const std::shared_ptr<UILabel>& zv_titleLb() const { return m_titleLb; }
    const std::shared_ptr<ZV_MovieView>& zv_movieView() const { return m_movieView; }
    const std::shared_ptr<UIButton>& zv_selBtn() const { return m_selBtn; }

private:
    bool m_isEdit = false;
    std::shared_ptr<const ZV_HomeRecommendModelDataList> m_model;
    std::shared_ptr<const ZV_HomeRecommendModelDataList> m_collectModel;

    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<ZV_MovieView> m_movieView;
    std::shared_ptr<UIButton> m_selBtn;
};
