#pragma once

#include "platform/ui/lists/UICollectionViewCell.h"
#include "platform/ui/segmented/JXSegmentedItemModels.h"
#include "platform/ui/segmented/JXSegmentedTypes.h"

#include <memory>

// The cell of one tab bar item. The data source registers the cell class with the bar and
// dequeues it; the bar then hands it the item's model through reloadData. Subclasses add their
// views in their constructors (after the base's own) and read their fields in reloadData.
class JXSegmentedBaseCell : public UICollectionViewCell {
public:
    JXSegmentedBaseCell();

    std::string className() const override { return "JXSegmentedBaseCell"; }

    const std::shared_ptr<JXSegmentedBaseItemModel>& itemModel() const { return m_itemModel; }

    // Shows the model; overrides call the base first.
    virtual void reloadData(
        std::shared_ptr<JXSegmentedBaseItemModel> itemModel, JXSegmentedViewItemSelectedType selectedType);

private:
    std::shared_ptr<JXSegmentedBaseItemModel> m_itemModel;
};
