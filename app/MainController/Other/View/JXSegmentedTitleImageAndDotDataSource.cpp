#include "app/MainController/Other/View/JXSegmentedTitleImageAndDotDataSource.h"

#include "app/MainController/Other/View/JXSegmentedTitleImageAndDotCell.h"
#include "platform/ui/lists/TypeName.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/segmented/JXSegmentedView.h"

namespace {

const std::string& cellIdentifier()
{
    static const std::string identifier = unqualifiedTypeName<JXSegmentedTitleImageAndDotCell>();
    return identifier;
}

}

void JXSegmentedTitleImageAndDotDataSource::registerCellClass(JXSegmentedView& segmentedView)
{
    segmentedView.collectionView()->registerClass<JXSegmentedTitleImageAndDotCell>(cellIdentifier());
}

std::shared_ptr<JXSegmentedBaseCell> JXSegmentedTitleImageAndDotDataSource::cellForItemAt(
    JXSegmentedView& segmentedView, int index)
{
    auto cell = segmentedView.dequeueReusableCell<JXSegmentedTitleImageAndDotCell>(cellIdentifier(), index);
    if (!cell)
        return nullptr;
    if (index >= 0 && index < static_cast<int>(dotStates.size()))
        cell->bgView()->setHidden(!dotStates[index]);
    if (index >= 0 && index < static_cast<int>(numLists.size())) {
        const std::string& text = numLists[index];
        cell->numLb()->setHidden(text.empty());
        cell->numLb()->setText(text);
        cell->numLb()->sizeToFit();
    }
    return cell;
}
