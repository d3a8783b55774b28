#pragma once

#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "platform/ui/segmented/JXSegmentedTitleImageCell.h"

#include <string>
#include <vector>

// Items that show a title and an image each (JXSegmentedTitleImageCell). Images are named by
// "infos" per item, one list for the normal and one for the selected state; the loader puts the
// image of an info into the cell's image view (unset: the asset of that name). There are as many
// items as titles (empty titles show no text).
class JXSegmentedTitleImageDataSource : public JXSegmentedTitleDataSource {
public:
    JXSegmentedTitleImageType titleImageType = JXSegmentedTitleImageType::rightImage;
    CGSize imageSize { 20, 20 };
    CGFloat titleImageSpacing = 5;
    std::vector<std::string> normalImageInfos;
    std::vector<std::string> selectedImageInfos;
    JXSegmentedTitleImageItemModel::ImageLoader loadImageClosure;

    std::shared_ptr<JXSegmentedBaseItemModel> preferredItemModelInstance() const override;
    void preferredRefreshItemModel(
        JXSegmentedBaseItemModel& itemModel, int index, int selectedIndex) override;
    CGFloat itemContentWidth(const JXSegmentedBaseItemModel& itemModel) const override;

    void registerCellClass(JXSegmentedView& segmentedView) override;
    std::shared_ptr<JXSegmentedBaseCell> cellForItemAt(JXSegmentedView& segmentedView, int index) override;

protected:
    CGFloat preferredContentWidth(const JXSegmentedBaseItemModel& itemModel) const override;

private:
    // The content width for a title of the given width, by the arrangement.
    static CGFloat combinedWidth(const JXSegmentedTitleImageItemModel& model, CGFloat titleWidth);
};
