#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/MainController/Search/Model/ZV_WordsModel.h"
#include "platform/ui/UILabel.h"

#include <memory>
#include <optional>

// One ranked word of a ranking card: its place (red to orange for the first three, faded
// after) and the word, which the card writes into zv_titleLb.
class ZV_SearchRankingTextCell : public BaseCollectionViewCell {
public:
    ZV_SearchRankingTextCell();
    explicit ZV_SearchRankingTextCell(const CGRect& frame);

    std::string className() const override { return "ZV_SearchRankingTextCell"; }

    // The colour of the place number for a zero-based row.
    static UIColor numberColor(int row);

    int row() const { return m_row; }
    // Writes row + 1 and its colour.
    void setRow(int row);
    std::optional<ZV_WordsModel> model;

    const std::shared_ptr<UILabel>& zv_numLb() const { return m_numLb; }
    const std::shared_ptr<UILabel>& zv_titleLb() const { return m_titleLb; }

private:
    int m_row = 0;
    std::shared_ptr<UILabel> m_numLb;
    std::shared_ptr<UILabel> m_titleLb;
};
