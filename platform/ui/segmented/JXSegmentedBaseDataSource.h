#pragma once

#include "platform/ui/segmented/JXSegmentedBaseCell.h"
#include "platform/ui/segmented/JXSegmentedItemModels.h"
#include "platform/ui/segmented/JXSegmentedTypes.h"

#include <memory>
#include <vector>

class JXSegmentedView;

// What a tab bar shows: the item models, their widths, the spacing, and the cells. The bar asks
// for the models on every reload and for a cell whenever an item comes into view; a selection
// changes the two models concerned through refreshItemModel. Subclasses make their own models
// (preferredItemModelInstance), fill their fields (preferredRefreshItemModel), register their
// cell class and configure what is theirs in cellForItemAt.
class JXSegmentedBaseDataSource {
public:
    virtual ~JXSegmentedBaseDataSource() = default;

    // Fixed width of every item; automatic takes the width of the content plus the increment.
    CGFloat itemWidth = JXSegmentedViewAutomaticDimension;
    CGFloat itemWidthIncrement = 0;
    // Space between items (and, with automatic edge insets, before the first and after the last).
    CGFloat itemSpacing = 20;
    // When the items do not fill the bar, the space left over is shared out as spacing.
    bool isItemSpacingAverageEnabled = true;

    // The models of the last reload, one per item.
    const std::vector<std::shared_ptr<JXSegmentedBaseItemModel>>& dataSource() const { return m_dataSource; }

    // Builds the models afresh: numberOfItems() of them, each filled for the selected index.
    virtual void reloadData(int selectedIndex);
    virtual int numberOfItems() const { return 0; }
    virtual std::shared_ptr<JXSegmentedBaseItemModel> preferredItemModelInstance() const;
    virtual void preferredRefreshItemModel(JXSegmentedBaseItemModel& itemModel, int index, int selectedIndex);
    // Width of the item's cell (the model has been filled); it does not change with selection.
    virtual CGFloat widthForItem(const JXSegmentedBaseItemModel& itemModel) const;
    // Width of what the item shows in its current state (for indicators of automatic width).
    virtual CGFloat itemContentWidth(const JXSegmentedBaseItemModel&) const { return 0; }

    virtual void registerCellClass(JXSegmentedView& segmentedView) = 0;
    // Usually a cell dequeued from the bar for the index; the bar then gives it the model.
    virtual std::shared_ptr<JXSegmentedBaseCell> cellForItemAt(JXSegmentedView& segmentedView, int index) = 0;

    // The selection moves from `current` to `willSelected`: update their selected state and
    // whatever depends on it.
    virtual void refreshItemModel(JXSegmentedView& segmentedView, JXSegmentedBaseItemModel& current,
        JXSegmentedBaseItemModel& willSelected, JXSegmentedViewItemSelectedType selectedType);

protected:
    // Width of the item's content in its wider state (selected or not), for automatic widths.
    virtual CGFloat preferredContentWidth(const JXSegmentedBaseItemModel&) const { return 0; }

private:
    std::vector<std::shared_ptr<JXSegmentedBaseItemModel>> m_dataSource;
};
