#pragma once

#include "app/MainController/Other/View/ZV_MovieView.h"
#include "app/MainController/Search/Model/ZV_SearchMovieModel.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/lists/UICollectionViewCell.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// One search result: the poster, the name with the searched text coloured, the tags, the cast,
// the synopsis, "立即播放" and the favourite button ("收藏" / "已收藏"). The cell gives its
// buttons no action: the page attaches the favourite action, and a tap elsewhere selects the row.
class ZV_SearchMovieCell : public UICollectionViewCell {
public:
    ZV_SearchMovieCell();
    explicit ZV_SearchMovieCell(const CGRect& frame);

    std::string className() const override { return "ZV_SearchMovieCell"; }

    // Names joined by " / "; an empty running text is replaced rather than followed by the
    // separator, so an empty first name leaves no leading separator.
    static std::string joinNames(const std::vector<ZV_SearchMovieTagsModel>& names);

    // Set before the model.
    std::optional<std::string> keyword;
    const std::shared_ptr<ZV_SearchMovieModel>& model() const { return m_model; }
    // Fills every part of the row from the title; none clears them.
    void setModel(std::shared_ptr<ZV_SearchMovieModel> model);

    const std::shared_ptr<UIView>& zv_bgView() const { return m_bgView; }
    const std::shared_ptr<ZV_MovieView>& zv_movieView() const { return m_movieView; }
    const std::shared_ptr<UILabel>& zv_titleLb() const { return m_titleLb; }
    const std::shared_ptr<UILabel>& zv_desLb() const { return m_desLb; }
    const std::shared_ptr<UILabel>& zv_contentLb() const { return m_contentLb; }
    const std::shared_ptr<UIButton>& zv_playBtn() const { return m_playBtn; }
    const std::shared_ptr<UILabel>& zv_memberLb() const { return m_memberLb; }
    const std::shared_ptr<UIButton>& zv_collectBtn() const { return m_collectBtn; }

    // Keeps both buttons capsules.
    void layoutSubviews() override;

private:
    std::shared_ptr<ZV_SearchMovieModel> m_model;
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<ZV_MovieView> m_movieView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<UILabel> m_contentLb;
    std::shared_ptr<UIButton> m_playBtn;
    std::shared_ptr<UILabel> m_memberLb;
    std::shared_ptr<UIButton> m_collectBtn;
};
