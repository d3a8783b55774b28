#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/segmented/JXSegmentedTitleCell.h"

#include <optional>
#include <string>

// An item showing a title and an image side by side, stacked or alone, as the model's
// title-image type says; the image follows the item's state (normal or selected image).
class JXSegmentedTitleImageCell : public JXSegmentedTitleCell {
public:
    JXSegmentedTitleImageCell();

    std::string className() const override { return "JXSegmentedTitleImageCell"; }

    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }

    void reloadData(std::shared_ptr<JXSegmentedBaseItemModel> itemModel,
        JXSegmentedViewItemSelectedType selectedType) override;
    void layoutSubviews() override;
    void prepareForReuse() override;

private:
    std::shared_ptr<UIImageView> m_imageView;
    // The image info shown, so that an unchanged image is not loaded again.
    std::optional<std::string> m_shownImageInfo;
};
