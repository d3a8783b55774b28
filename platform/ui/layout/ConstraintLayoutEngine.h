#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/layout/NSLayoutConstraint.h"

#include <cstdint>

// Places subviews from the active constraints. It is the layout engine of UIView (installed the
// first time anything uses constraints): when a view lays out, the engine solves the constraints
// of the view's whole subtree at once, with the view's own size fixed, and sets the frames of
// every descendant that does not translate its frame; views that do keep their frames. Solving
// the subtree, not only the direct subviews, lets a container take its size from its content.
//
// A scroll view is the exception: its content is laid out by its own solve, constraints from
// inside to its edges refer to the content area, and they give its content size.
//
// Required constraints hold exactly; optional ones are met by priority, a higher one always
// first. Required constraints that contradict each other are broken, the most recently
// activated first, with one log line per broken constraint.
class ConstraintLayoutEngine final : public UIViewLayoutEngine {
public:
    // Idempotent; everything that makes or changes constraints calls it.
    static void install();

    void layoutSubviews(UIView& view) override;
    void intrinsicContentSizeDidChange(UIView& view) override;

    // Size of the view that its constraints give when fitted to `target`, the view's width and
    // height pulled towards the target at the given priorities. Frames are not changed.
    static CGSize fittingSize(
        UIView& view, CGSize target, UILayoutPriority horizontal, UILayoutPriority vertical);

    // Something that changes layout happened inside `view` (a constraint installed on it
    // changed, or it stopped translating its frame): marks it and every ancestor whose frame
    // depends on it for layout.
    static void setNeedsConstraintLayout(UIView& view);

    // Activation, for NSLayoutConstraint.
    static bool installConstraint(NSLayoutConstraint& constraint);
    static void uninstallConstraint(NSLayoutConstraint& constraint);
    static std::uint64_t nextSequence();
    static std::uint64_t sequenceOf(const NSLayoutConstraint& constraint) { return constraint.m_sequence; }
    // True the first time a conflict breaks the constraint since it last changed.
    static bool noteBroken(NSLayoutConstraint& constraint);
};
