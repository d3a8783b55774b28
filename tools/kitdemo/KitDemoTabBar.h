#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/segmented/JXSegmentedTitleImageCell.h"
#include "platform/ui/segmented/JXSegmentedTitleImageDataSource.h"

#include <memory>
#include <string>
#include <vector>

// A tab item with a number badge over the corner of its icon, the way the app's tab bar
// extends the title-and-image cell.
class KitDemoTabBarCell : public JXSegmentedTitleImageCell {
public:
    KitDemoTabBarCell();
    std::string className() const override { return "KitDemoTabBarCell"; }

    const std::shared_ptr<UILabel>& badge() const { return m_badge; }
    void setBadgeText(const std::string& text);
    void layoutSubviews() override;

private:
    std::shared_ptr<UILabel> m_badge = std::make_shared<UILabel>();
};

// Title-and-icon items whose badges come from `badges` (empty: none).
class KitDemoTabBarDataSource : public JXSegmentedTitleImageDataSource {
public:
    KitDemoTabBarDataSource();

    std::vector<std::string> badges;

    void registerCellClass(JXSegmentedView& segmentedView) override;
    std::shared_ptr<JXSegmentedBaseCell> cellForItemAt(JXSegmentedView& segmentedView, int index) override;
};
