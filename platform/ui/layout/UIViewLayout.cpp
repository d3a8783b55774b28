#include "platform/ui/layout/UIViewLayout.h"

#include "platform/ui/UIView.h"
#include "platform/ui/layout/ConstraintLayoutEngine.h"
#include "platform/ui/layout/detail/ViewLayoutState.h"

#include <algorithm>

using namespace detail::autolayout;

namespace {

int axisIndex(UILayoutConstraintAxis axis)
{
    return axis == UILayoutConstraintAxis::horizontal ? 0 : 1;
}

void contentPriorityDidChange(UIView& view)
{
    auto* state = layoutState(view);
    if (state && !state->translatesAutoresizingMask) {
        if (auto superview = view.superview())
            ConstraintLayoutEngine::setNeedsConstraintLayout(*superview);
    }
}

}

std::vector<std::shared_ptr<NSLayoutConstraint>> constraints(const UIView& view)
{
    auto* state = layoutState(view);
    return state ? state->installed : std::vector<std::shared_ptr<NSLayoutConstraint>> {};
}

bool translatesAutoresizingMaskIntoConstraints(const UIView& view)
{
    return translatesAutoresizingMask(view);
}

void setTranslatesAutoresizingMaskIntoConstraints(UIView& view, bool translates)
{
    auto& state = ensureLayoutState(view);
    if (state.translatesAutoresizingMask == translates)
        return;
    state.translatesAutoresizingMask = translates;
    ConstraintLayoutEngine::install();
    view.setNeedsLayout();
    if (auto superview = view.superview())
        ConstraintLayoutEngine::setNeedsConstraintLayout(*superview);
}

UILayoutPriority contentHuggingPriority(const UIView& view, UILayoutConstraintAxis axis)
{
    auto* state = layoutState(view);
    return state ? state->hugging[axisIndex(axis)] : UILayoutPriorityDefaultLow;
}

void setContentHuggingPriority(UIView& view, UILayoutPriority priority, UILayoutConstraintAxis axis)
{
    auto& slot = ensureLayoutState(view).hugging[axisIndex(axis)];
    priority = std::clamp<UILayoutPriority>(priority, 1, UILayoutPriorityRequired);
    if (slot == priority)
        return;
    slot = priority;
    contentPriorityDidChange(view);
}

UILayoutPriority contentCompressionResistancePriority(const UIView& view, UILayoutConstraintAxis axis)
{
    auto* state = layoutState(view);
    return state ? state->compression[axisIndex(axis)] : UILayoutPriorityDefaultHigh;
}

void setContentCompressionResistancePriority(
    UIView& view, UILayoutPriority priority, UILayoutConstraintAxis axis)
{
    auto& slot = ensureLayoutState(view).compression[axisIndex(axis)];
    priority = std::clamp<UILayoutPriority>(priority, 1, UILayoutPriorityRequired);
    if (slot == priority)
        return;
    slot = priority;
    contentPriorityDidChange(view);
}

CGSize systemLayoutSizeFitting(UIView& view, CGSize target, UILayoutPriority horizontalFittingPriority,
    UILayoutPriority verticalFittingPriority)
{
    return ConstraintLayoutEngine::fittingSize(
        view, target, horizontalFittingPriority, verticalFittingPriority);
}
