#pragma once

#include "platform/ui/layout/NSLayoutConstraint.h"

#include <memory>

class UIView;

// Lookups of the active constraints that place a view. Each gives the first match or nothing.
// The layout here has no intrinsic-size constraint objects, so none can be returned.

// The standard search for the view at `attribute`. Candidates: the constraints of `container`
// when given; else, for width or height without `toItem`, the view's own constraints (the size
// search, which takes only constraints without a second item); else those of the superview,
// followed, when `toItem` is given and is not the superview, by those of the nearest common
// ancestor of the view and `toItem`. With `toItem`, only constraints whose other side is
// `toItem` at `toAttribute` (or at any attribute with `anyToAttribute`) are taken.
std::shared_ptr<NSLayoutConstraint> findConstraint(UIView& view, NSLayoutAttribute attribute,
    const UIView* toItem = nullptr, NSLayoutAttribute toAttribute = NSLayoutAttribute::notAnAttribute,
    bool anyToAttribute = false, const UIView* container = nullptr);

// The edge lookups use leading and trailing, never left and right.
std::shared_ptr<NSLayoutConstraint> cs_leftConstraint(UIView& view);
std::shared_ptr<NSLayoutConstraint> cs_rightConstraint(UIView& view);
std::shared_ptr<NSLayoutConstraint> cs_topConstraint(UIView& view);
std::shared_ptr<NSLayoutConstraint> cs_bottomConstraint(UIView& view);
std::shared_ptr<NSLayoutConstraint> cs_centerXConstraint(UIView& view);
std::shared_ptr<NSLayoutConstraint> cs_centerYConstraint(UIView& view);
// A constant width (height) of the view's own first; else one that ties it to the superview.
std::shared_ptr<NSLayoutConstraint> cs_widthConstraint(UIView& view);
std::shared_ptr<NSLayoutConstraint> cs_heightConstraint(UIView& view);
// Among the view's own constraints, one between its width or height and itself.
std::shared_ptr<NSLayoutConstraint> cs_ratioConstraint(UIView& view);
// The standard search restricted to constraints whose other side is `item` at `itemAttribute`.
std::shared_ptr<NSLayoutConstraint> cs_constraintWithAttribute(
    UIView& view, NSLayoutAttribute attribute, const UIView* item, NSLayoutAttribute itemAttribute);
