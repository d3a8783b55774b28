#pragma once

#include "platform/ui/CGGeometry.h"

// Shared values of the tab bar (JXSegmentedView) and its parts.

// "Work it out from the content": item widths from their titles, edge insets equal to the item
// spacing, indicator sizes from the selected item.
inline constexpr CGFloat JXSegmentedViewAutomaticDimension = -1;

// What made an item selected.
enum class JXSegmentedViewItemSelectedType {
    unknown,
    code, // selectItemAt from code
    click, // a tap on the item
    scroll, // the page container under the bar was swiped to the item's page
};

// Where a line indicator sits within the bar.
enum class JXSegmentedIndicatorPosition { top, bottom, center };

// How a title-and-image item arranges its two parts.
enum class JXSegmentedTitleImageType { topImage, leftImage, bottomImage, rightImage, onlyImage, onlyTitle };
