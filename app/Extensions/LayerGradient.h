#pragma once

#include "platform/ui/UIColor.h"

#include <memory>
#include <vector>

class CAGradientLayer;
class CALayer;

// A left-to-right fade through the colours (stops 0 and 1) under everything else of the layer:
// a gradient layer over the layer's bounds at the moment of the call (it does not follow later
// size changes, so callers wait for layout), inserted at index 0; the layer clips to its bounds.
std::shared_ptr<CAGradientLayer> addGradientLayer(CALayer& layer, const std::vector<UIColor>& colors);
