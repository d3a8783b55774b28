#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"

#include <functional>

class UIView;

// Shadows whose path follows the view's size. Both store a layout block on the view; nothing
// runs it by itself: a layout pass that wants the shadow to follow the size calls it after
// laying out. The block holds the view weakly and does nothing once the view is gone.

// Corner radius (when above 0), shadow colour, offset, radius blur / 2 and opacity; the block
// sets the shadow path to the bounds grown by `spread`, rounded with the layer's corner radius,
// and animates the path alongside a running size animation.
void makeShadow(UIView& view, CGFloat cornerRadius, CGFloat blur, float opacity, const UIColor& shadowColor,
    CGSize offset, CGFloat spread);
// As makeShadow for a capsule: the corner radius is half the frame height, again at each run of
// the block; no path animation.
void makeCornerShadow(
    UIView& view, CGFloat blur, float opacity, const UIColor& shadowColor, CGSize offset, CGFloat spread);

// The stored layout block, or an empty function.
std::function<void()> layoutSubviewsBlock(const UIView& view);
// An empty function removes the block.
void setLayoutSubviewsBlock(UIView& view, std::function<void()> block);
