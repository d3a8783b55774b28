#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/layout/NSLayoutConstraint.h"

#include <memory>
#include <optional>
#include <vector>

class Constraint;
class UIView;

namespace detail::autolayout {

// What the constraint layout keeps on each view that takes part in it, attached to the view as
// one associated value, so it lives and dies with the view.
struct ViewLayoutState {
    // Active constraints installed on this view, in activation order.
    std::vector<std::shared_ptr<NSLayoutConstraint>> installed;
    // Constraints made for this view by the builder (snp), for remake, update and remove.
    std::vector<std::shared_ptr<Constraint>> builderConstraints;
    // A view that translates its frame is placed by whoever sets its frame, not by constraints.
    bool translatesAutoresizingMask = true;
    UILayoutPriority hugging[2] { UILayoutPriorityDefaultLow, UILayoutPriorityDefaultLow };
    UILayoutPriority compression[2] { UILayoutPriorityDefaultHigh, UILayoutPriorityDefaultHigh };
    // Intrinsic size as last measured; dropped when the view invalidates it.
    std::optional<CGSize> intrinsicSize;
    // Multi-line labels: the size of the text wrapped at wrapWidth.
    std::optional<CGFloat> wrapWidth;
    CGSize wrapSize;
};

// nullptr for a view that never took part.
ViewLayoutState* layoutState(const UIView& view);
ViewLayoutState& ensureLayoutState(UIView& view);

inline bool translatesAutoresizingMask(const UIView& view)
{
    auto* state = layoutState(view);
    return !state || state->translatesAutoresizingMask;
}

}
