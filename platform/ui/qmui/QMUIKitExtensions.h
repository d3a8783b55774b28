#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

class UIScrollView;
class UIView;

// Small additions of the UI component framework to the platform's views, images and colours.

// Sets the frame as if the view had no transform: bounds size from the rectangle, centre at its
// middle. The transform stays and applies around that.
void qmui_setFrameApplyTransform(UIView& view, const CGRect& frame);
// The frame the view would have without its transform.
CGRect qmui_frameApplyTransform(const UIView& view);

// An image of the view's layer tree, its bounds size at the screen scale.
UIImage qmui_snapshotLayerImage(const UIView& view);

// An image filled with the colour (4 by 4 points by default), at the screen scale.
UIImage qmui_imageWithColor(const UIColor& color, CGSize size = { 4, 4 });

// The colour at the given alpha laid over opaque white (an opaque result).
UIColor qmui_colorWithAlphaAddedToWhite(const UIColor& color, CGFloat alpha);
// The colour `progress` (0...1, clamped) of the way from one colour to the other, alpha included.
UIColor qmui_transitionToColor(const UIColor& from, const UIColor& to, CGFloat progress);

// Scrolls so that the end of the content sits at the bottom edge (inside the adjusted insets);
// content shorter than the view goes to its top instead.
void qmui_scrollToBottom(UIScrollView& scrollView, bool animated);
