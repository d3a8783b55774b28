#pragma once

#include "platform/ui/segmented/JXSegmentedTitleImageDataSource.h"

#include <string>
#include <vector>

// Title-and-image tabs that can carry a red dot and a number badge
// (JXSegmentedTitleImageAndDotCell). An index beyond either list leaves that part of the cell as
// it was.
class JXSegmentedTitleImageAndDotDataSource : public JXSegmentedTitleImageDataSource {
public:
    // Per tab: show the dot.
    std::vector<bool> dotStates;
    // Per tab: the badge text; empty hides the badge.
    std::vector<std::string> numLists;

    void registerCellClass(JXSegmentedView& segmentedView) override;
    std::shared_ptr<JXSegmentedBaseCell> cellForItemAt(JXSegmentedView& segmentedView, int index) override;
};
