#pragma once

#include "platform/ui/segmented/JXSegmentedBaseDataSource.h"
#include "platform/ui/segmented/JXSegmentedTitleCell.h"

#include <optional>
#include <string>
#include <vector>

// Items that show a title each (JXSegmentedTitleCell).
class JXSegmentedTitleDataSource : public JXSegmentedBaseDataSource {
public:
    std::vector<std::string> titles;
    int titleNumberOfLines = 1;
    UIColor titleNormalColor = UIColor::black();
    UIColor titleSelectedColor = UIColor::red();
    UIFont titleNormalFont = UIFont::systemFont(15);
    // Unset: the normal font.
    std::optional<UIFont> titleSelectedFont;
    // Kept for the screens that set it; a selection switches colours at once.
    bool isTitleColorGradientEnabled = false;
    // The selected title is the normal font enlarged by the scale (the selected font is unused).
    bool isTitleZoomEnabled = false;
    CGFloat titleSelectedZoomScale = 1.2;

    int numberOfItems() const override { return static_cast<int>(titles.size()); }
    std::shared_ptr<JXSegmentedBaseItemModel> preferredItemModelInstance() const override;
    void preferredRefreshItemModel(
        JXSegmentedBaseItemModel& itemModel, int index, int selectedIndex) override;
    CGFloat itemContentWidth(const JXSegmentedBaseItemModel& itemModel) const override;

    void registerCellClass(JXSegmentedView& segmentedView) override;
    std::shared_ptr<JXSegmentedBaseCell> cellForItemAt(JXSegmentedView& segmentedView, int index) override;

protected:
    CGFloat preferredContentWidth(const JXSegmentedBaseItemModel& itemModel) const override;
    // Width of the title in the model's current font (0 for an empty title).
    static CGFloat currentTitleWidth(const JXSegmentedTitleItemModel& model);
};
