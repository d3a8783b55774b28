#include "platform/ui/segmented/JXSegmentedBaseDataSource.h"

void JXSegmentedBaseDataSource::reloadData(int selectedIndex)
{
    m_dataSource.clear();
    int count = std::max(0, numberOfItems());
    m_dataSource.reserve(count);
    for (int i = 0; i < count; ++i) {
        auto model = preferredItemModelInstance();
        preferredRefreshItemModel(*model, i, selectedIndex);
        m_dataSource.push_back(std::move(model));
    }
}

std::shared_ptr<JXSegmentedBaseItemModel> JXSegmentedBaseDataSource::preferredItemModelInstance() const
{
    return std::make_shared<JXSegmentedBaseItemModel>();
}

void JXSegmentedBaseDataSource::preferredRefreshItemModel(
    JXSegmentedBaseItemModel& itemModel, int index, int selectedIndex)
{
    itemModel.index = index;
    itemModel.isSelected = index == selectedIndex;
}

CGFloat JXSegmentedBaseDataSource::widthForItem(const JXSegmentedBaseItemModel& itemModel) const
{
    if (itemWidth != JXSegmentedViewAutomaticDimension)
        return itemWidth;
    return preferredContentWidth(itemModel) + itemWidthIncrement;
}

void JXSegmentedBaseDataSource::refreshItemModel(JXSegmentedView&, JXSegmentedBaseItemModel& current,
    JXSegmentedBaseItemModel& willSelected, JXSegmentedViewItemSelectedType)
{
    current.isSelected = false;
    willSelected.isSelected = true;
}
