#pragma once

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Other/View/ZV_MovieView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/lists/UICollectionViewCell.h"

#include <memory>
#include <vector>

// One ranked title: its place on a badge (a gradient of its own for each of the first three),
// the poster, the name with its heat, the tags and the synopsis. Without tags the synopsis moves
// up under the name.
class ZV_RankingCell : public UICollectionViewCell {
public:
    ZV_RankingCell();
    explicit ZV_RankingCell(const CGRect& frame);

    std::string className() const override { return "ZV_RankingCell"; }

    // The badge's two gradient stops, top to bottom, for a zero-based place.
    static std::vector<UIColor> badgeColors(int row);
    static UIColor badgeTextColor(int row);
    static UIColor cardColor();
    static UIColor hotColor();

    int row() const { return m_row; }
    // Writes the place (row + 1) and the badge's gradient.
    void setRow(int row);
    const std::shared_ptr<ZV_DetailModel>& model() const { return m_model; }
    // Fills the poster, texts and tags; none empties them.
    void setModel(std::shared_ptr<ZV_DetailModel> model);

    const std::shared_ptr<UIView>& zv_bgView() const { return m_bgView; }
    const std::shared_ptr<ZV_MovieView>& zv_movieView() const { return m_movieView; }
    const std::shared_ptr<UILabel>& numLb() const { return m_numLb; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    const std::shared_ptr<UILabel>& hotLb() const { return m_hotLb; }
    const std::shared_ptr<UIStackView>& tagStackView() const { return m_tagStackView; }
    const std::shared_ptr<UILabel>& contentLb() const { return m_contentLb; }

    // Keeps the badge's two rounded corners fitted to its size.
    void layoutSubviews() override;

private:
    int m_row = 0;
    std::shared_ptr<ZV_DetailModel> m_model;
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<ZV_MovieView> m_movieView;
    std::shared_ptr<UILabel> m_numLb;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_hotLb;
    std::shared_ptr<UIStackView> m_tagStackView;
    std::shared_ptr<UILabel> m_contentLb;
};
