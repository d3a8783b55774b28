#include "platform/ui/layout/NSLayoutAnchor.h"

#include "platform/ui/UIView.h"

namespace {

std::shared_ptr<NSLayoutConstraint> constrain(const NSLayoutAnchor& anchor, NSLayoutRelation relation,
    const LayoutItem& otherItem, NSLayoutAttribute otherAttribute, CGFloat multiplier, CGFloat constant)
{
    return NSLayoutConstraint::create(
        anchor.item(), anchor.attribute(), relation, otherItem, otherAttribute, multiplier, constant);
}

// A constant constraint has no second item.
std::shared_ptr<NSLayoutConstraint> constrainToConstant(
    const NSLayoutAnchor& anchor, NSLayoutRelation relation, CGFloat constant)
{
    return constrain(anchor, relation, {}, NSLayoutAttribute::notAnAttribute, 1, constant);
}

} // namespace

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintEqualTo(
    const NSLayoutAnchor& other, CGFloat constant) const
{
    return constrain(*this, NSLayoutRelation::equal, other.m_item, other.m_attribute, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintGreaterThanOrEqualTo(
    const NSLayoutAnchor& other, CGFloat constant) const
{
    return constrain(
        *this, NSLayoutRelation::greaterThanOrEqual, other.m_item, other.m_attribute, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintLessThanOrEqualTo(
    const NSLayoutAnchor& other, CGFloat constant) const
{
    return constrain(*this, NSLayoutRelation::lessThanOrEqual, other.m_item, other.m_attribute, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintEqualTo(
    const NSLayoutAnchor& other, CGFloat multiplier, CGFloat constant) const
{
    return constrain(*this, NSLayoutRelation::equal, other.m_item, other.m_attribute, multiplier, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintEqualToConstant(CGFloat constant) const
{
    return constrainToConstant(*this, NSLayoutRelation::equal, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintGreaterThanOrEqualToConstant(
    CGFloat constant) const
{
    return constrainToConstant(*this, NSLayoutRelation::greaterThanOrEqual, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintLessThanOrEqualToConstant(
    CGFloat constant) const
{
    return constrainToConstant(*this, NSLayoutRelation::lessThanOrEqual, constant);
}

// Each attribute gets the same pair of makers: one for any item, one for a view itself.
#define ZV_DEFINE_ANCHOR(name, attribute)                                                                    \
    NSLayoutAnchor name(const LayoutItem& item)                                                              \
    {                                                                                                        \
        return { item, NSLayoutAttribute::attribute };                                                       \
    }                                                                                                        \
    NSLayoutAnchor name(UIView& view)                                                                        \
    {                                                                                                        \
        return name(LayoutItem(view));                                                                       \
    }

ZV_DEFINE_ANCHOR(leftAnchor, left)
ZV_DEFINE_ANCHOR(rightAnchor, right)
ZV_DEFINE_ANCHOR(topAnchor, top)
ZV_DEFINE_ANCHOR(bottomAnchor, bottom)
ZV_DEFINE_ANCHOR(leadingAnchor, leading)
ZV_DEFINE_ANCHOR(trailingAnchor, trailing)
ZV_DEFINE_ANCHOR(widthAnchor, width)
ZV_DEFINE_ANCHOR(heightAnchor, height)
ZV_DEFINE_ANCHOR(centerXAnchor, centerX)
ZV_DEFINE_ANCHOR(centerYAnchor, centerY)

#undef ZV_DEFINE_ANCHOR
