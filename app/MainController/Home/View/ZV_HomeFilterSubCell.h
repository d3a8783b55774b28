#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "platform/ui/UILabel.h"

#include <memory>

// One option chip of a filter row: its title in a rounded box that sizes itself to the title.
// The row sets the title, the chosen state and the visibility each time the chip is shown.
class ZV_HomeFilterSubCell : public BaseCollectionViewCell {
public:
    ZV_HomeFilterSubCell();
    explicit ZV_HomeFilterSubCell(const CGRect& frame);

    std::string className() const override { return "ZV_HomeFilterSubCell"; }

    bool isSel() const { return m_isSel; }
    // Chosen chips take the accent background, the others white.
    void setSel(bool sel);
    // The chip's fill, chosen or not, in both styles.
    static UIColor backgroundColor(bool chosen);

    // A hidden chip keeps its place in the strip and stays hidden through the strip's layout
    // passes (which set every cell's visibility from the layout).
    bool isChipHidden() const { return m_isChipHidden; }
    void setChipHidden(bool hidden);

    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }

    void apply(const UICollectionViewLayoutAttributes& attributes) override;

private:
    bool m_isSel = false;
    bool m_isChipHidden = false;
    std::shared_ptr<UILabel> m_titleLb;
};
