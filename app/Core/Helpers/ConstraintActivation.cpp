#include "app/Core/Helpers/ConstraintActivation.h"

#include "platform/ui/UIView.h"
#include "platform/ui/layout/NSLayoutAnchor.h"
#include "platform/ui/layout/UIViewLayout.h"

void pinEdgesToSuperview(UIView& view, UIEdgeInsets insets)
{
    std::shared_ptr<UIView> superview = view.superview();
    if (!superview)
        return;
    setTranslatesAutoresizingMaskIntoConstraints(view, false);
    NSLayoutConstraint::activate({
        topAnchor(view).constraintEqualTo(topAnchor(*superview), insets.top),
        leftAnchor(view).constraintEqualTo(leftAnchor(*superview), insets.left),
        bottomAnchor(view).constraintEqualTo(bottomAnchor(*superview), insets.bottom),
        rightAnchor(view).constraintEqualTo(rightAnchor(*superview), insets.right),
    });
}

void activateConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints)
{
    NSLayoutConstraint::activate(constraints);
    for (const auto& constraint : constraints) {
        if (!constraint || constraint->firstItem().isSafeAreaGuide())
            continue;
        if (std::shared_ptr<UIView> view = constraint->firstItem().view())
            setTranslatesAutoresizingMaskIntoConstraints(*view, false);
    }
}
