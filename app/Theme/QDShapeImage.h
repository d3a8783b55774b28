#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

#include <optional>

// The small generated pictures the themes use (arrows, checkmark, close cross...), numbered as the
// component framework numbers its built-in shapes.
enum class QDImageShape {
    triangle = 1,
    disclosureIndicator = 2,
    checkmark = 3,
    detailButton = 4,
    navigationBack = 5,
    navigationClose = 6,
};

class QDShapeImage {
public:
    // The shape at the screen scale, drawn in the tint (black without one). A line width of 0
    // takes the shape's own.
    static UIImage make(QDImageShape shape, CGSize size, std::optional<UIColor> tint, CGFloat lineWidth = 0);
    // The rounded field of a search bar, filled with the colour.
    static UIImage searchFieldBackground(const UIColor& fill);
    // A search bar's background: the colour, optionally with a one-pixel line at the bottom.
    static UIImage searchBarBackground(const UIColor& fill, std::optional<UIColor> borderColor);
};
