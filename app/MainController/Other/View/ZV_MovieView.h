#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <memory>

struct ZV_DetailModel;
struct ZV_HomeRecommendModelDataList;
struct ZV_SearchMovieModel;

// The poster of a title in grids: a rounded cover with a dark bar along its bottom edge carrying
// a status text (left) and a type text (right), and an orange tag in the top-right corner. It is
// filled from one of four kinds of model; a caller sets only the one that matches its data.
// Covers load only from addresses that parse; otherwise the picture stays as it was.
class ZV_MovieView : public UIView {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    // The card with its parts in place.
    static std::shared_ptr<ZV_MovieView> make(const CGRect& frame = {});
    ZV_MovieView(Passkey, const CGRect& frame);

    std::string className() const override { return "ZV_MovieView"; }

    // A feed item: status `dynamic`, type `type_name`, tag `label`.
    const std::shared_ptr<const ZV_HomeRecommendModelDataList>& model() const { return m_model; }
    void setModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model);
    // A search result: status and tag; the type text is left as it was.
    const std::shared_ptr<const ZV_SearchMovieModel>& movieModel() const { return m_movieModel; }
    void setMovieModel(std::shared_ptr<const ZV_SearchMovieModel> model);
    // A favourite: status `movie_dynamic`, type `type_name`, tag `label`.
    const std::shared_ptr<const ZV_HomeRecommendModelDataList>& collectModel() const
    {
        return m_collectModel;
    }
    void setCollectModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model);
    // A title's detail: status only; the type text and the tag are hidden.
    const std::shared_ptr<const ZV_DetailModel>& detailModel() const { return m_detailModel; }
    void setDetailModel(std::shared_ptr<const ZV_DetailModel> model);

    const std::shared_ptr<UIImageView>& zv_iconView() const { return m_iconView; }
    const std::shared_ptr<UIView>& zv_titleView() const { return m_titleView; }
    const std::shared_ptr<UILabel>& zv_title() const { return m_title; }
    const std::shared_ptr<UILabel>& zv_des() const { return m_des; }
    const std::shared_ptr<QMUILabel>& zv_tagLb() const { return m_tagLb; }

    // Rounds the card and the tag's bottom-left corner and refits the bar's gradient to the
    // current sizes.
    void layoutSubviews() override;

private:
    void build();
    void loadCover(const std::string& address);
    void showTag(const std::string& text);

    std::shared_ptr<const ZV_HomeRecommendModelDataList> m_model;
    std::shared_ptr<const ZV_SearchMovieModel> m_movieModel;
    std::shared_ptr<const ZV_HomeRecommendModelDataList> m_collectModel;
    std::shared_ptr<const ZV_DetailModel> m_detailModel;

    std::shared_ptr<UIImageView> m_iconView;
    std::shared_ptr<UIView> m_titleView;
    std::shared_ptr<UILabel> m_title;
    std::shared_ptr<UILabel> m_des;
    std::shared_ptr<QMUILabel> m_tagLb;
};
