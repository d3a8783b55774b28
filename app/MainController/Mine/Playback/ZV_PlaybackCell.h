#pragma once

#include "platform/ui/lists/UICollectionViewCell.h"

#include <memory>
#include <string>

class QMUILabel;
class UIButton;
class UIImageView;
class UILabel;
struct ZV_HomeRecommendModelDataList;

// A row of the playback history: the cover with the episode's name on a shaded strip over its
// lower edge, the title's name, its tag, a line with the update text and how much was watched,
// and a selection mark that the list shows in edit mode.
class ZV_PlaybackCell : public UICollectionViewCell {
public:
    ZV_PlaybackCell();
    explicit ZV_PlaybackCell(const CGRect& frame);

    std::string className() const override { return "ZV_PlaybackCell"; }

    // Set by the list to its edit mode; the cell itself does not read it.
    bool isEdit = false;

    const std::shared_ptr<ZV_HomeRecommendModelDataList>& model() const { return m_model; }
    // Fills the row.
    void setModel(std::shared_ptr<ZV_HomeRecommendModelDataList> model);

    // `dynamic`, a space, then "观看不足 1%" below one percent or "已观看 " and the whole percent
    // (cut, not rounded) otherwise; `dynamic` alone without a positive duration.
    static std::string progressText(const ZV_HomeRecommendModelDataList& entry);
    // The ring of the selection mark while an entry is not chosen.
    static UIColor unselectedMarkColor();

    void awakeFromNib();
    // Fits the strip's shade to its current size.
    void layoutSubviews() override;

    const std::shared_ptr<UIView>& zv_imageBgView() const { return m_imageBgView; }
    const std::shared_ptr<UIImageView>& zv_imageView() const { return m_imageView; }
    const std::shared_ptr<UIView>& zv_imageTitleView() const { return m_imageTitleView; }
    const std::shared_ptr<UILabel>& zv_imageTitleLb() const { return m_imageTitleLb; }
    const std::shared_ptr<UIButton>& zv_selBtn() const { return m_selBtn; }
    const std::shared_ptr<UIView>& zv_lineView() const { return m_lineView; }
    const std::shared_ptr<UILabel>& zv_titleLb() const { return m_titleLb; }
    const std::shared_ptr<QMUILabel>& zv_tagLb() const { return m_tagLb; }
    const std::shared_ptr<UILabel>& zv_desLb() const { return m_desLb; }

private:
    void buildLayout();

    std::shared_ptr<ZV_HomeRecommendModelDataList> m_model;
    std::shared_ptr<UIView> m_imageBgView;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UIView> m_imageTitleView;
    std::shared_ptr<UILabel> m_imageTitleLb;
    std::shared_ptr<UIButton> m_selBtn;
    std::shared_ptr<UIView> m_lineView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<QMUILabel> m_tagLb;
    std::shared_ptr<UILabel> m_desLb;
};
