#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/segmented/JXSegmentedBaseCell.h"

// An item showing its title, centred, in the font and colour of its state.
class JXSegmentedTitleCell : public JXSegmentedBaseCell {
public:
    JXSegmentedTitleCell();

    std::string className() const override { return "JXSegmentedTitleCell"; }

    const std::shared_ptr<UILabel>& titleLabel() const { return m_titleLabel; }

    void reloadData(std::shared_ptr<JXSegmentedBaseItemModel> itemModel,
        JXSegmentedViewItemSelectedType selectedType) override;
    void layoutSubviews() override;

protected:
    // The title's size as it will be drawn (within the cell's width).
    CGSize titleSize() const;

private:
    std::shared_ptr<UILabel> m_titleLabel;
};
