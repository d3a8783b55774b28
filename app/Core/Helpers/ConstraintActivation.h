#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/layout/NSLayoutConstraint.h"

#include <memory>
#include <vector>

class UIView;

// Ties the view's top, left, bottom and right edges (left and right, not leading and trailing) to
// the same edges of its superview plus the insets, each added as it is: a positive bottom or right
// inset puts the edge past the superview's. Nothing without a superview.
void pinEdgesToSuperview(UIView& view, UIEdgeInsets insets);

// Activates the constraints, then hands the frame of every first item that is a view (not a guide)
// over to the constraints.
void activateConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
