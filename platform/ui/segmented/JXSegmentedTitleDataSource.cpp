#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"

#include "platform/ui/TextLayout.h"
#include "platform/ui/segmented/JXSegmentedView.h"

#include <algorithm>

namespace {

CGFloat titleWidth(const std::string& title, const UIFont& font)
{
    if (title.empty())
        return 0;
    return TextLayout::measure(title, font).width;
}

}

std::shared_ptr<JXSegmentedBaseItemModel> JXSegmentedTitleDataSource::preferredItemModelInstance() const
{
    return std::make_shared<JXSegmentedTitleItemModel>();
}

void JXSegmentedTitleDataSource::preferredRefreshItemModel(
    JXSegmentedBaseItemModel& itemModel, int index, int selectedIndex)
{
    JXSegmentedBaseDataSource::preferredRefreshItemModel(itemModel, index, selectedIndex);
    auto* model = dynamic_cast<JXSegmentedTitleItemModel*>(&itemModel);
    if (!model)
        return;
    model->title = index < static_cast<int>(titles.size()) ? titles[index] : std::string();
    model->titleNumberOfLines = titleNumberOfLines;
    model->titleNormalColor = titleNormalColor;
    model->titleSelectedColor = titleSelectedColor;
    model->titleNormalFont = titleNormalFont;
    model->titleSelectedFont = titleSelectedFont.value_or(titleNormalFont);
    model->isTitleColorGradientEnabled = isTitleColorGradientEnabled;
    model->isTitleZoomEnabled = isTitleZoomEnabled;
    model->titleSelectedZoomScale = titleSelectedZoomScale;

    // The wider of the two states, so that a selection never has to move the items.
    JXSegmentedTitleItemModel selected = *model;
    selected.isSelected = true;
    model->textWidth = std::max(
        titleWidth(model->title, model->titleNormalFont), titleWidth(model->title, selected.currentFont()));
}

CGFloat JXSegmentedTitleDataSource::currentTitleWidth(const JXSegmentedTitleItemModel& model)
{
    return titleWidth(model.title, model.currentFont());
}

CGFloat JXSegmentedTitleDataSource::preferredContentWidth(const JXSegmentedBaseItemModel& itemModel) const
{
    auto* model = dynamic_cast<const JXSegmentedTitleItemModel*>(&itemModel);
    return model ? model->textWidth : 0;
}

CGFloat JXSegmentedTitleDataSource::itemContentWidth(const JXSegmentedBaseItemModel& itemModel) const
{
    auto* model = dynamic_cast<const JXSegmentedTitleItemModel*>(&itemModel);
    return model ? currentTitleWidth(*model) : 0;
}

void JXSegmentedTitleDataSource::registerCellClass(JXSegmentedView& segmentedView)
{
    segmentedView.collectionView()->registerClass<JXSegmentedTitleCell>("JXSegmentedTitleCell");
}

std::shared_ptr<JXSegmentedBaseCell> JXSegmentedTitleDataSource::cellForItemAt(
    JXSegmentedView& segmentedView, int index)
{
    return segmentedView.dequeueReusableCell("JXSegmentedTitleCell", index);
}
