#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"

class UIView;

// A line along the bottom edge of a view, above its content, following the view's size: the
// separators of panel rows. Taps go through it. Calling it again replaces the line.
void addBottomBorder(UIView& view, const UIColor& color, CGFloat width = 0.5);
