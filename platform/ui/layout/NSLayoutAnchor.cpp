#include "platform/ui/layout/NSLayoutAnchor.h"

#include "platform/ui/UIView.h"

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintEqualTo(
    const NSLayoutAnchor& other, CGFloat constant) const
{
    return NSLayoutConstraint::create(
        m_item, m_attribute, NSLayoutRelation::equal, other.m_item, other.m_attribute, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintGreaterThanOrEqualTo(
    const NSLayoutAnchor& other, CGFloat constant) const
{
    return NSLayoutConstraint::create(m_item, m_attribute, NSLayoutRelation::greaterThanOrEqual, other.m_item,
        other.m_attribute, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintLessThanOrEqualTo(
    const NSLayoutAnchor& other, CGFloat constant) const
{
    return NSLayoutConstraint::create(
        m_item, m_attribute, NSLayoutRelation::lessThanOrEqual, other.m_item, other.m_attribute, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintEqualTo(
    const NSLayoutAnchor& other, CGFloat multiplier, CGFloat constant) const
{
    return NSLayoutConstraint::create(
        m_item, m_attribute, NSLayoutRelation::equal, other.m_item, other.m_attribute, multiplier, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintEqualToConstant(CGFloat constant) const
{
    return NSLayoutConstraint::create(
        m_item, m_attribute, NSLayoutRelation::equal, {}, NSLayoutAttribute::notAnAttribute, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintGreaterThanOrEqualToConstant(
    CGFloat constant) const
{
    return NSLayoutConstraint::create(m_item, m_attribute, NSLayoutRelation::greaterThanOrEqual, {},
        NSLayoutAttribute::notAnAttribute, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraintLessThanOrEqualToConstant(
    CGFloat constant) const
{
    return NSLayoutConstraint::create(m_item, m_attribute, NSLayoutRelation::lessThanOrEqual, {},
        NSLayoutAttribute::notAnAttribute, 1, constant);
}

NSLayoutAnchor leftAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::left };
}
NSLayoutAnchor rightAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::right };
}
NSLayoutAnchor topAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::top };
}
NSLayoutAnchor bottomAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::bottom };
}
NSLayoutAnchor leadingAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::leading };
}
NSLayoutAnchor trailingAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::trailing };
}
NSLayoutAnchor widthAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::width };
}
NSLayoutAnchor heightAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::height };
}
NSLayoutAnchor centerXAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::centerX };
}
NSLayoutAnchor centerYAnchor(const LayoutItem& item)
{
    return { item, NSLayoutAttribute::centerY };
}

NSLayoutAnchor leftAnchor(UIView& view)
{
    return leftAnchor(LayoutItem(view));
}
NSLayoutAnchor rightAnchor(UIView& view)
{
    return rightAnchor(LayoutItem(view));
}
NSLayoutAnchor topAnchor(UIView& view)
{
    return topAnchor(LayoutItem(view));
}
NSLayoutAnchor bottomAnchor(UIView& view)
{
    return bottomAnchor(LayoutItem(view));
}
NSLayoutAnchor leadingAnchor(UIView& view)
{
    return leadingAnchor(LayoutItem(view));
}
NSLayoutAnchor trailingAnchor(UIView& view)
{
    return trailingAnchor(LayoutItem(view));
}
NSLayoutAnchor widthAnchor(UIView& view)
{
    return widthAnchor(LayoutItem(view));
}
NSLayoutAnchor heightAnchor(UIView& view)
{
    return heightAnchor(LayoutItem(view));
}
NSLayoutAnchor centerXAnchor(UIView& view)
{
    return centerXAnchor(LayoutItem(view));
}
NSLayoutAnchor centerYAnchor(UIView& view)
{
    return centerYAnchor(LayoutItem(view));
}
