#include "platform/ui/layout/NSLayoutConstraint.h"

#include "platform/foundation/Log.h"
#include "platform/ui/UIView.h"
#include "platform/ui/layout/ConstraintLayoutEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

// ---- LayoutItem ----

LayoutItem::LayoutItem(const std::shared_ptr<UIView>& view, bool safeAreaGuide)
    : m_view(view)
    , m_guide(safeAreaGuide)
    , m_set(view != nullptr)
{ }

LayoutItem::LayoutItem(UIView& view, bool safeAreaGuide)
    : m_view(view.weakFromThis())
    , m_guide(safeAreaGuide)
    , m_set(true)
{ }

bool LayoutItem::isView(const UIView* view) const
{
    if (!m_set || m_guide || !view)
        return false;
    auto locked = m_view.lock();
    return locked.get() == view;
}

bool LayoutItem::operator==(const LayoutItem& other) const
{
    if (m_set != other.m_set || m_guide != other.m_guide)
        return false;
    // Same owner, whether or not it is still alive.
    return !m_view.owner_before(other.m_view) && !other.m_view.owner_before(m_view);
}

// ---- NSLayoutConstraint ----

namespace {

bool isHorizontal(NSLayoutAttribute a)
{
    switch (a) {
    case NSLayoutAttribute::left:
    case NSLayoutAttribute::right:
    case NSLayoutAttribute::leading:
    case NSLayoutAttribute::trailing:
    case NSLayoutAttribute::centerX:
        return true;
    default:
        return false;
    }
}

bool isVertical(NSLayoutAttribute a)
{
    return a == NSLayoutAttribute::top || a == NSLayoutAttribute::bottom || a == NSLayoutAttribute::centerY;
}

bool isDimensionAttribute(NSLayoutAttribute a)
{
    return a == NSLayoutAttribute::width || a == NSLayoutAttribute::height;
}

const char* attributeName(NSLayoutAttribute a)
{
    switch (a) {
    case NSLayoutAttribute::left:
        return "left";
    case NSLayoutAttribute::right:
        return "right";
    case NSLayoutAttribute::top:
        return "top";
    case NSLayoutAttribute::bottom:
        return "bottom";
    case NSLayoutAttribute::leading:
        return "leading";
    case NSLayoutAttribute::trailing:
        return "trailing";
    case NSLayoutAttribute::width:
        return "width";
    case NSLayoutAttribute::height:
        return "height";
    case NSLayoutAttribute::centerX:
        return "centerX";
    case NSLayoutAttribute::centerY:
        return "centerY";
    case NSLayoutAttribute::notAnAttribute:
        break;
    }
    return "notAnAttribute";
}

std::string itemName(const LayoutItem& item)
{
    auto view = item.view();
    if (!view)
        return "(gone)";
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(view.get()));
    std::string name = view->className()
        + (view->accessibilityIdentifier().empty() ? std::string(":") + address
                                                   : "'" + view->accessibilityIdentifier() + "'");
    return item.isSafeAreaGuide() ? name + ".safeArea" : name;
}

std::string formattedNumber(CGFloat value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Pairs the platform refuses: an edge of one axis with one of the other, a position with a
// size, a position without a second item.
bool isValidAttributePairing(NSLayoutAttribute first, bool hasSecond, NSLayoutAttribute second)
{
    if (first == NSLayoutAttribute::notAnAttribute)
        return false;
    if (!hasSecond)
        return isDimensionAttribute(first);
    if (isDimensionAttribute(first))
        return isDimensionAttribute(second);
    return (isHorizontal(first) && isHorizontal(second)) || (isVertical(first) && isVertical(second));
}

}

std::shared_ptr<NSLayoutConstraint> NSLayoutConstraint::create(LayoutItem first,
    NSLayoutAttribute firstAttribute, NSLayoutRelation relation, LayoutItem second,
    NSLayoutAttribute secondAttribute, CGFloat multiplier, CGFloat constant)
{
    auto constraint = std::make_shared<NSLayoutConstraint>(Key {});
    constraint->m_first = std::move(first);
    constraint->m_firstAttribute = firstAttribute;
    constraint->m_relation = relation;
    constraint->m_second = std::move(second);
    constraint->m_secondAttribute
        = constraint->m_second.isEmpty() ? NSLayoutAttribute::notAnAttribute : secondAttribute;
    constraint->m_multiplier = std::isfinite(multiplier) ? multiplier : 1;
    constraint->m_constant = std::isfinite(constant) ? constant : 0;
    if (!isValidAttributePairing(
            firstAttribute, !constraint->m_second.isEmpty(), constraint->m_secondAttribute))
        Log::write("[LayoutConstraints] Invalid pairing of attributes, the constraint will be ignored: "
            + constraint->description());
    return constraint;
}

void NSLayoutConstraint::activate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints)
{
    for (const auto& c : constraints) {
        if (c)
            c->setActive(true);
    }
}

void NSLayoutConstraint::deactivate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints)
{
    for (const auto& c : constraints) {
        if (c)
            c->setActive(false);
    }
}

void NSLayoutConstraint::didChange()
{
    m_reportedBroken = false;
    if (!m_active)
        return;
    if (auto installer = m_installedOn.lock())
        ConstraintLayoutEngine::setNeedsConstraintLayout(*installer);
}

void NSLayoutConstraint::setConstant(CGFloat constant)
{
    if (!std::isfinite(constant) || constant == m_constant)
        return;
    m_constant = constant;
    didChange();
}

void NSLayoutConstraint::setPriority(UILayoutPriority priority)
{
    priority = std::clamp<UILayoutPriority>(priority, 1, UILayoutPriorityRequired);
    if (priority == m_priority)
        return;
    m_priority = priority;
    didChange();
}

void NSLayoutConstraint::setActive(bool active)
{
    if (active == m_active)
        return;
    if (active) {
        if (!ConstraintLayoutEngine::installConstraint(*this))
            return;
        m_active = true;
        m_reportedBroken = false;
        m_sequence = ConstraintLayoutEngine::nextSequence();
    } else {
        ConstraintLayoutEngine::uninstallConstraint(*this);
        m_active = false;
    }
}

std::string NSLayoutConstraint::description() const
{
    std::string text = "<NSLayoutConstraint " + itemName(m_first) + "." + attributeName(m_firstAttribute);
    switch (m_relation) {
    case NSLayoutRelation::lessThanOrEqual:
        text += " <= ";
        break;
    case NSLayoutRelation::equal:
        text += " == ";
        break;
    case NSLayoutRelation::greaterThanOrEqual:
        text += " >= ";
        break;
    }
    if (m_second.isEmpty()) {
        text += formattedNumber(m_constant);
    } else {
        text += itemName(m_second) + "." + attributeName(m_secondAttribute);
        if (m_multiplier != 1)
            text += " * " + formattedNumber(m_multiplier);
        if (m_constant != 0)
            text += (m_constant < 0 ? " - " : " + ") + formattedNumber(std::abs(m_constant));
    }
    if (m_priority < UILayoutPriorityRequired)
        text += " @" + formattedNumber(m_priority);
    return text + ">";
}
