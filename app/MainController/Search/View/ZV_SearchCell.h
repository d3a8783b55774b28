#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "platform/ui/UILabel.h"

#include <memory>

// A word chip of the history and hot-word sections: a capsule that takes the size of its text
// plus its padding (no maximum width). The page sets the text, its colour and the background.
class ZV_SearchCell : public BaseCollectionViewCell {
public:
    ZV_SearchCell();
    explicit ZV_SearchCell(const CGRect& frame);

    std::string className() const override { return "ZV_SearchCell"; }

    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }

    // A chip's title and fill, in both styles: a word of the history, a hot word by its row.
    struct ChipColors {
        UIColor text;
        UIColor background;
    };
    static ChipColors historyColors();
    static ChipColors hotWordColors(std::size_t row);

    void layoutSubviews() override;
    UICollectionViewLayoutAttributesPtr preferredLayoutAttributesFitting(
        const UICollectionViewLayoutAttributes& attributes) override;

private:
    std::shared_ptr<UILabel> m_titleLb;
};
