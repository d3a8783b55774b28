#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"

class UIView;

// A dashed line along the view's top edge, drawn by a shape layer over the bounds: dashes of
// `lineLength` with gaps of `lineSpacing`, always 1 point thick (`lineWidth` is not used). The
// layer's earlier decoration sublayers go first. The layers of subviews are kept: removing them
// would leave subviews in the tree that no longer draw.
void makeDottedLine(
    UIView& view, const UIColor& lineColor, CGFloat lineWidth, CGFloat lineLength, CGFloat lineSpacing);
