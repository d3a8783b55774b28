#include "platform/ui/segmented/JXSegmentedBaseCell.h"

JXSegmentedBaseCell::JXSegmentedBaseCell() = default;

void JXSegmentedBaseCell::reloadData(
    std::shared_ptr<JXSegmentedBaseItemModel> itemModel, JXSegmentedViewItemSelectedType)
{
    m_itemModel = std::move(itemModel);
    setNeedsLayout();
}
