#pragma once

#include "platform/ui/layout/NSLayoutConstraint.h"

#include <memory>

class UIView;

// One attribute of a view or of its safe-area guide, for making constraints in the platform's
// anchor style:
//   topAnchor(*label).constraintEqualTo(bottomAnchor(*icon), 8)->setActive(true);
// The constraints come back inactive.
class NSLayoutAnchor {
public:
    NSLayoutAnchor(LayoutItem item, NSLayoutAttribute attribute)
        : m_item(std::move(item))
        , m_attribute(attribute)
    { }

    const LayoutItem& item() const { return m_item; }
    NSLayoutAttribute attribute() const { return m_attribute; }

    std::shared_ptr<NSLayoutConstraint> constraintEqualTo(
        const NSLayoutAnchor& other, CGFloat constant = 0) const;
    std::shared_ptr<NSLayoutConstraint> constraintGreaterThanOrEqualTo(
        const NSLayoutAnchor& other, CGFloat constant = 0) const;
    std::shared_ptr<NSLayoutConstraint> constraintLessThanOrEqualTo(
        const NSLayoutAnchor& other, CGFloat constant = 0) const;

    // Width and height anchors only.
    std::shared_ptr<NSLayoutConstraint> constraintEqualTo(
        const NSLayoutAnchor& other, CGFloat multiplier, CGFloat constant) const;
    std::shared_ptr<NSLayoutConstraint> constraintEqualToConstant(CGFloat constant) const;
    std::shared_ptr<NSLayoutConstraint> constraintGreaterThanOrEqualToConstant(CGFloat constant) const;
    std::shared_ptr<NSLayoutConstraint> constraintLessThanOrEqualToConstant(CGFloat constant) const;

private:
    LayoutItem m_item;
    NSLayoutAttribute m_attribute;
};

// The safe-area guide of a view, as an item for anchors and the builder.
inline LayoutItem safeAreaGuide(UIView& view)
{
    return LayoutItem(view, true);
}

NSLayoutAnchor leftAnchor(const LayoutItem& item);
NSLayoutAnchor rightAnchor(const LayoutItem& item);
NSLayoutAnchor topAnchor(const LayoutItem& item);
NSLayoutAnchor bottomAnchor(const LayoutItem& item);
NSLayoutAnchor leadingAnchor(const LayoutItem& item);
NSLayoutAnchor trailingAnchor(const LayoutItem& item);
NSLayoutAnchor widthAnchor(const LayoutItem& item);
NSLayoutAnchor heightAnchor(const LayoutItem& item);
NSLayoutAnchor centerXAnchor(const LayoutItem& item);
NSLayoutAnchor centerYAnchor(const LayoutItem& item);

NSLayoutAnchor leftAnchor(UIView& view);
NSLayoutAnchor rightAnchor(UIView& view);
NSLayoutAnchor topAnchor(UIView& view);
NSLayoutAnchor bottomAnchor(UIView& view);
NSLayoutAnchor leadingAnchor(UIView& view);
NSLayoutAnchor trailingAnchor(UIView& view);
NSLayoutAnchor widthAnchor(UIView& view);
NSLayoutAnchor heightAnchor(UIView& view);
NSLayoutAnchor centerXAnchor(UIView& view);
NSLayoutAnchor centerYAnchor(UIView& view);
