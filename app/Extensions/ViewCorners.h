#pragma once

#include "platform/ui/CGGeometry.h"

class UIView;

// Rounded corners. Masks follow the bounds at the moment of the call, so callers repeat the call
// after a change of size (the title card does it on every layout pass).

// Clips the view to its bounds with the layer's corner radius set to `radius`.
void makeCorner(UIView& view, CGFloat radius);
// A capsule or circle: half the frame height.
void makeCorner(UIView& view);
// Only the given corners (UIRectCorner bits) rounded: a shape layer over the bounds becomes the
// layer's mask, replacing any earlier mask.
void makeCornerByRoundingCorners(UIView& view, unsigned corners, CGFloat radius);
// The same with half the frame height.
void makeCornerByRoundingCorners(UIView& view, unsigned corners);
// Only the given corners (UIRectCorner bits) rounded through the layer's own corner radius and
// clipping instead of a mask, so that a blur inside the view still sees what lies behind it.
void roundCornersKeepingBackdrop(UIView& view, unsigned corners, CGFloat radius);
// The layer's corner radius with masks-to-bounds on.
void setCornerRadius(UIView& view, CGFloat radius);
