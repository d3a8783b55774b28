#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/layout/NSLayoutConstraint.h"

#include <memory>
#include <vector>

class UIView;

// The constraint members of a view, as free functions over UIView.

// Active constraints installed on the view (those whose nearest common ancestor it is), in the
// order they were activated.
std::vector<std::shared_ptr<NSLayoutConstraint>> constraints(const UIView& view);

// True (the default) while the view's frame is set by hand; the layout then leaves it alone.
// The constraint builder turns it off for the views it constrains.
bool translatesAutoresizingMaskIntoConstraints(const UIView& view);
void setTranslatesAutoresizingMaskIntoConstraints(UIView& view, bool translates);

// How strongly the view resists growing past (hugging, 250 by default) or shrinking below
// (compression resistance, 750 by default) its intrinsic content size.
UILayoutPriority contentHuggingPriority(const UIView& view, UILayoutConstraintAxis axis);
void setContentHuggingPriority(UIView& view, UILayoutPriority priority, UILayoutConstraintAxis axis);
UILayoutPriority contentCompressionResistancePriority(const UIView& view, UILayoutConstraintAxis axis);
void setContentCompressionResistancePriority(
    UIView& view, UILayoutPriority priority, UILayoutConstraintAxis axis);

// The smallest size the constraints allow.
inline constexpr CGSize UILayoutFittingCompressedSize { 0, 0 };

// The size the view's constraints and content give it when it is fitted to `target`: its
// width and height are pulled towards the target at the given priorities (the fitting level,
// 50, by default, so the constraints win). Measures only; no frame changes.
CGSize systemLayoutSizeFitting(UIView& view, CGSize target,
    UILayoutPriority horizontalFittingPriority = UILayoutPriorityFittingSizeLevel,
    UILayoutPriority verticalFittingPriority = UILayoutPriorityFittingSizeLevel);
