#include "platform/ui/segmented/JXSegmentedTitleImageDataSource.h"

#include "platform/ui/segmented/JXSegmentedView.h"

#include <algorithm>

std::shared_ptr<JXSegmentedBaseItemModel> JXSegmentedTitleImageDataSource::preferredItemModelInstance() const
{
    return std::make_shared<JXSegmentedTitleImageItemModel>();
}

void JXSegmentedTitleImageDataSource::preferredRefreshItemModel(
    JXSegmentedBaseItemModel& itemModel, int index, int selectedIndex)
{
    JXSegmentedTitleDataSource::preferredRefreshItemModel(itemModel, index, selectedIndex);
    auto* model = dynamic_cast<JXSegmentedTitleImageItemModel*>(&itemModel);
    if (!model)
        return;
    model->titleImageType = titleImageType;
    model->imageSize = imageSize;
    model->titleImageSpacing = titleImageSpacing;
    model->loadImageClosure = loadImageClosure;
    model->normalImageInfo.reset();
    model->selectedImageInfo.reset();
    if (index >= 0 && index < static_cast<int>(normalImageInfos.size()))
        model->normalImageInfo = normalImageInfos[index];
    if (index >= 0 && index < static_cast<int>(selectedImageInfos.size()))
        model->selectedImageInfo = selectedImageInfos[index];
}

CGFloat JXSegmentedTitleImageDataSource::combinedWidth(
    const JXSegmentedTitleImageItemModel& model, CGFloat titleWidth)
{
    switch (model.titleImageType) {
    case JXSegmentedTitleImageType::onlyImage:
        return model.imageSize.width;
    case JXSegmentedTitleImageType::onlyTitle:
        return titleWidth;
    case JXSegmentedTitleImageType::leftImage:
    case JXSegmentedTitleImageType::rightImage:
        return titleWidth + model.titleImageSpacing + model.imageSize.width;
    case JXSegmentedTitleImageType::topImage:
    case JXSegmentedTitleImageType::bottomImage:
        return std::max(titleWidth, model.imageSize.width);
    }
    return titleWidth;
}

CGFloat JXSegmentedTitleImageDataSource::preferredContentWidth(
    const JXSegmentedBaseItemModel& itemModel) const
{
    auto* model = dynamic_cast<const JXSegmentedTitleImageItemModel*>(&itemModel);
    return model ? combinedWidth(*model, model->textWidth) : 0;
}

CGFloat JXSegmentedTitleImageDataSource::itemContentWidth(const JXSegmentedBaseItemModel& itemModel) const
{
    auto* model = dynamic_cast<const JXSegmentedTitleImageItemModel*>(&itemModel);
    return model ? combinedWidth(*model, currentTitleWidth(*model)) : 0;
}

void JXSegmentedTitleImageDataSource::registerCellClass(JXSegmentedView& segmentedView)
{
    segmentedView.collectionView()->registerClass<JXSegmentedTitleImageCell>("JXSegmentedTitleImageCell");
}

std::shared_ptr<JXSegmentedBaseCell> JXSegmentedTitleImageDataSource::cellForItemAt(
    JXSegmentedView& segmentedView, int index)
{
    return segmentedView.dequeueReusableCell("JXSegmentedTitleImageCell", index);
}
