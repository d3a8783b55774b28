#include "platform/ui/segmented/JXSegmentedItemModels.h"

UIFont JXSegmentedTitleItemModel::currentFont() const
{
    if (!isSelected)
        return titleNormalFont;
    if (isTitleZoomEnabled)
        return titleNormalFont.withSize(titleNormalFont.pointSize() * titleSelectedZoomScale);
    return titleSelectedFont;
}

std::optional<std::string> JXSegmentedTitleImageItemModel::currentImageInfo() const
{
    if (isSelected && selectedImageInfo)
        return selectedImageInfo;
    return normalImageInfo;
}
