#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"

#include <memory>
#include <vector>

class CAGradientLayer;
class UIView;

// A top-to-bottom gradient over the view's bounds, below all other content: a layer named
// "gradientLayer" at index 0 of the view's layer. Earlier layers of that name are removed first,
// so calling it on every layout pass keeps exactly one, fitted to the current bounds.
void addVerticalGradient(UIView& view, std::vector<UIColor> colors);

// A gradient layer over the view's bounds from one colour to the other between the two points
// (unit square), stops 0 and 1. It is not added anywhere.
std::shared_ptr<CAGradientLayer> makeGradientLayer(const UIView& view, const UIColor& startColor,
    const UIColor& endColor, CGPoint startPoint, CGPoint endPoint);
