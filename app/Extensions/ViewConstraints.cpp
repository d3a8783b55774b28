#include "app/Extensions/ViewConstraints.h"

#include "app/Extensions/ViewHierarchy.h"
#include "platform/ui/UIView.h"
#include "platform/ui/layout/UIViewLayout.h"

#include <vector>

namespace {

using ConstraintList = std::vector<std::shared_ptr<NSLayoutConstraint>>;

bool isSizeAttribute(NSLayoutAttribute attribute)
{
    return attribute == NSLayoutAttribute::width || attribute == NSLayoutAttribute::height;
}

void append(ConstraintList& list, const UIView* holder)
{
    if (!holder)
        return;
    ConstraintList more = constraints(*holder);
    list.insert(list.end(), more.begin(), more.end());
}

bool involvesAt(
    const NSLayoutConstraint& c, const UIView* view, NSLayoutAttribute attribute, bool anyAttribute)
{
    if (c.firstItem().isView(view) && (anyAttribute || c.firstAttribute() == attribute))
        return true;
    return c.secondItem().isView(view) && (anyAttribute || c.secondAttribute() == attribute);
}

}

std::shared_ptr<NSLayoutConstraint> findConstraint(UIView& view, NSLayoutAttribute attribute,
    const UIView* toItem, NSLayoutAttribute toAttribute, bool anyToAttribute, const UIView* container)
{
    std::shared_ptr<UIView> superview = view.superview();
    bool sizeSearch = isSizeAttribute(attribute) && !toItem;
    ConstraintList candidates;
    if (container) {
        append(candidates, container);
    } else if (sizeSearch) {
        append(candidates, &view);
    } else {
        append(candidates, superview.get());
        if (toItem && toItem != superview.get())
            append(candidates, commonSuperview(view, toItem).get());
    }

    for (const auto& constraint : candidates) {
        if (!constraint->firstItem().view())
            continue;
        // The view at the attribute, on either side.
        if (!involvesAt(*constraint, &view, attribute, false))
            continue;
        if (sizeSearch) {
            if (constraint->secondItem().isEmpty())
                return constraint;
            continue;
        }
        if (!toItem || involvesAt(*constraint, toItem, toAttribute, anyToAttribute))
            return constraint;
    }
    return nullptr;
}

std::shared_ptr<NSLayoutConstraint> cs_leftConstraint(UIView& view)
{
    return findConstraint(view, NSLayoutAttribute::leading);
}

std::shared_ptr<NSLayoutConstraint> cs_rightConstraint(UIView& view)
{
    return findConstraint(view, NSLayoutAttribute::trailing);
}

std::shared_ptr<NSLayoutConstraint> cs_topConstraint(UIView& view)
{
    return findConstraint(view, NSLayoutAttribute::top);
}

std::shared_ptr<NSLayoutConstraint> cs_bottomConstraint(UIView& view)
{
    return findConstraint(view, NSLayoutAttribute::bottom);
}

std::shared_ptr<NSLayoutConstraint> cs_centerXConstraint(UIView& view)
{
    return findConstraint(view, NSLayoutAttribute::centerX);
}

std::shared_ptr<NSLayoutConstraint> cs_centerYConstraint(UIView& view)
{
    return findConstraint(view, NSLayoutAttribute::centerY);
}

namespace {

std::shared_ptr<NSLayoutConstraint> sizeConstraint(UIView& view, NSLayoutAttribute attribute)
{
    if (auto own = findConstraint(view, attribute))
        return own;
    std::shared_ptr<UIView> superview = view.superview();
    if (!superview)
        return nullptr;
    return findConstraint(view, attribute, superview.get(), NSLayoutAttribute::notAnAttribute, true);
}

}

std::shared_ptr<NSLayoutConstraint> cs_widthConstraint(UIView& view)
{
    return sizeConstraint(view, NSLayoutAttribute::width);
}

std::shared_ptr<NSLayoutConstraint> cs_heightConstraint(UIView& view)
{
    return sizeConstraint(view, NSLayoutAttribute::height);
}

std::shared_ptr<NSLayoutConstraint> cs_ratioConstraint(UIView& view)
{
    for (const auto& constraint : constraints(view)) {
        if (constraint->firstItem().isView(&view) && constraint->secondItem().isView(&view)
            && isSizeAttribute(constraint->firstAttribute()))
            return constraint;
    }
    return nullptr;
}

std::shared_ptr<NSLayoutConstraint> cs_constraintWithAttribute(
    UIView& view, NSLayoutAttribute attribute, const UIView* item, NSLayoutAttribute itemAttribute)
{
    return findConstraint(view, attribute, item, itemAttribute);
}
