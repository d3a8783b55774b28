#include "platform/ui/layout/ConstraintMaker.h"

#include "platform/foundation/Log.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "platform/ui/layout/detail/ViewLayoutState.h"

#include <algorithm>
#include <bit>
#include <cmath>

using namespace detail::autolayout;

struct ConstraintDescription {
    std::weak_ptr<UIView> from;
    unsigned attributes = ConstraintAttributes::none;
    bool related = false;
    NSLayoutRelation relation = NSLayoutRelation::equal;
    // No item and not the superview: the target is a constant.
    std::optional<ConstraintItem> to;
    bool toSuperview = false;
    ConstraintConstant constant;
    CGFloat multiplier = 1;
    UILayoutPriority priority = ConstraintPriority::required;
    std::shared_ptr<Constraint> made;
};

namespace {

// In the order the lines' constraints are made.
constexpr std::pair<unsigned, NSLayoutAttribute> attributeOrder[] = {
    { ConstraintAttributes::left, NSLayoutAttribute::left },
    { ConstraintAttributes::top, NSLayoutAttribute::top },
    { ConstraintAttributes::right, NSLayoutAttribute::right },
    { ConstraintAttributes::bottom, NSLayoutAttribute::bottom },
    { ConstraintAttributes::leading, NSLayoutAttribute::leading },
    { ConstraintAttributes::trailing, NSLayoutAttribute::trailing },
    { ConstraintAttributes::width, NSLayoutAttribute::width },
    { ConstraintAttributes::height, NSLayoutAttribute::height },
    { ConstraintAttributes::centerX, NSLayoutAttribute::centerX },
    { ConstraintAttributes::centerY, NSLayoutAttribute::centerY },
};

std::vector<NSLayoutAttribute> expand(unsigned attributes)
{
    std::vector<NSLayoutAttribute> list;
    for (const auto& [bit, attribute] : attributeOrder) {
        if (attributes & bit)
            list.push_back(attribute);
    }
    return list;
}

bool isSizeAttribute(NSLayoutAttribute a)
{
    return a == NSLayoutAttribute::width || a == NSLayoutAttribute::height;
}

std::shared_ptr<Constraint> materialize(ConstraintDescription& d)
{
    if (d.made)
        return d.made;
    auto view = d.from.lock();
    if (!view || !d.related || d.attributes == ConstraintAttributes::none)
        return nullptr;

    LayoutItem toItem;
    unsigned toAttributes = ConstraintAttributes::none;
    if (d.to) {
        toItem = d.to->item();
        toAttributes = d.to->attributes();
        // A view that no shared_ptr owns cannot be referred to; without this check the line
        // would silently measure from the superview instead.
        if (toItem.isEmpty()) {
            Log::write("[LayoutConstraints] A constraint of " + view->className()
                + " refers to a view that no shared_ptr owns; it is ignored");
            return nullptr;
        }
    }
    auto superview = view->superview();
    if (d.toSuperview) {
        if (!superview) {
            Log::write("[LayoutConstraints] " + view->className() + " has no superview to constrain to");
            return nullptr;
        }
        toItem = LayoutItem(superview);
    }

    std::vector<NSLayoutAttribute> from = expand(d.attributes);
    std::vector<NSLayoutAttribute> to = expand(toAttributes);
    std::vector<std::shared_ptr<NSLayoutConstraint>> made;
    for (std::size_t i = 0; i < from.size(); ++i) {
        NSLayoutAttribute fromAttribute = from[i];
        NSLayoutAttribute toAttribute = fromAttribute;
        if (!to.empty() && toAttributes != d.attributes)
            toAttribute = to.size() == 1 ? to.front() : (i < to.size() ? to[i] : fromAttribute);
        LayoutItem second = toItem;
        if (second.isEmpty() && !isSizeAttribute(fromAttribute)) {
            // A constant position is measured from the superview: centres from its left and
            // top edges.
            if (!superview) {
                Log::write("[LayoutConstraints] " + view->className() + " has no superview to constrain to");
                return nullptr;
            }
            second = LayoutItem(superview);
            if (fromAttribute == NSLayoutAttribute::centerX)
                toAttribute = NSLayoutAttribute::left;
            else if (fromAttribute == NSLayoutAttribute::centerY)
                toAttribute = NSLayoutAttribute::top;
        }
        NSLayoutAttribute constantAttribute = second.isEmpty() ? fromAttribute : toAttribute;
        auto c = NSLayoutConstraint::create(LayoutItem(view), fromAttribute, d.relation, second,
            second.isEmpty() ? NSLayoutAttribute::notAnAttribute : toAttribute, d.multiplier,
            d.constant.valueFor(constantAttribute));
        c->setPriority(d.priority);
        made.push_back(std::move(c));
    }
    d.made = std::make_shared<Constraint>(view, std::move(made));
    return d.made;
}

bool sameExceptConstant(const NSLayoutConstraint& a, const NSLayoutConstraint& b)
{
    return a.firstItem() == b.firstItem() && a.firstAttribute() == b.firstAttribute()
        && a.relation() == b.relation() && a.secondItem() == b.secondItem()
        && a.secondAttribute() == b.secondAttribute() && a.multiplier() == b.multiplier()
        && a.priority() == b.priority();
}

}

// ---- ConstraintConstant ----

CGFloat ConstraintConstant::valueFor(NSLayoutAttribute attribute) const
{
    switch (m_kind) {
    case Kind::number:
        return m_a;
    case Kind::size:
        if (attribute == NSLayoutAttribute::width)
            return m_a;
        if (attribute == NSLayoutAttribute::height)
            return m_b;
        return 0;
    case Kind::point:
        switch (attribute) {
        case NSLayoutAttribute::left:
        case NSLayoutAttribute::right:
        case NSLayoutAttribute::leading:
        case NSLayoutAttribute::trailing:
        case NSLayoutAttribute::centerX:
            return m_a;
        case NSLayoutAttribute::top:
        case NSLayoutAttribute::bottom:
        case NSLayoutAttribute::centerY:
            return m_b;
        default:
            return 0;
        }
    case Kind::insets:
        switch (attribute) {
        case NSLayoutAttribute::left:
        case NSLayoutAttribute::leading:
            return m_insets.left;
        case NSLayoutAttribute::top:
            return m_insets.top;
        case NSLayoutAttribute::right:
        case NSLayoutAttribute::trailing:
            return -m_insets.right;
        case NSLayoutAttribute::bottom:
            return -m_insets.bottom;
        case NSLayoutAttribute::centerX:
            return (m_insets.left - m_insets.right) / 2;
        case NSLayoutAttribute::centerY:
            return (m_insets.top - m_insets.bottom) / 2;
        case NSLayoutAttribute::width:
            return -(m_insets.left + m_insets.right);
        case NSLayoutAttribute::height:
            return -(m_insets.top + m_insets.bottom);
        case NSLayoutAttribute::notAnAttribute:
            return 0;
        }
    }
    return 0;
}

// ---- Constraint ----

Constraint::Constraint(
    std::weak_ptr<UIView> from, std::vector<std::shared_ptr<NSLayoutConstraint>> constraints)
    : m_from(std::move(from))
    , m_constraints(std::move(constraints))
{ }

void Constraint::updateOffset(CGFloat amount)
{
    for (auto& c : m_constraints)
        c->setConstant(amount);
}

void Constraint::updateInset(CGFloat amount)
{
    updateInset(UIEdgeInsets { amount, amount, amount, amount });
}

void Constraint::updateInset(UIEdgeInsets insets)
{
    ConstraintConstant constant(insets);
    for (auto& c : m_constraints) {
        NSLayoutAttribute attribute = c->secondAttribute() == NSLayoutAttribute::notAnAttribute
            ? c->firstAttribute()
            : c->secondAttribute();
        c->setConstant(constant.valueFor(attribute));
    }
}

void Constraint::updatePriority(UILayoutPriority priority)
{
    for (auto& c : m_constraints)
        c->setPriority(priority);
}

void Constraint::activate()
{
    auto view = m_from.lock();
    if (!view)
        return;
    NSLayoutConstraint::activate(m_constraints);
    auto& list = ensureLayoutState(*view).builderConstraints;
    if (std::find(list.begin(), list.end(), shared_from_this()) == list.end())
        list.push_back(shared_from_this());
}

void Constraint::deactivate()
{
    NSLayoutConstraint::deactivate(m_constraints);
    auto view = m_from.lock();
    if (!view)
        return;
    if (auto* state = layoutState(*view))
        std::erase_if(state->builderConstraints, [&](const auto& c) { return c.get() == this; });
}

bool Constraint::isActive() const
{
    return !m_constraints.empty()
        && std::all_of(
            m_constraints.begin(), m_constraints.end(), [](const auto& c) { return c->isActive(); });
}

// ---- Maker ----

ConstraintMakerExtendable& ConstraintMakerExtendable::add(unsigned attributes)
{
    m_description->attributes |= attributes;
    return *this;
}

ConstraintMakerEditable ConstraintMakerExtendable::relate(
    NSLayoutRelation relation, std::optional<ConstraintTarget> target)
{
    auto& d = *m_description;
    d.related = true;
    d.relation = relation;
    if (!target) {
        d.toSuperview = true;
    } else if (target->item()) {
        d.to = target->item();
    } else {
        d.constant = target->constant();
    }
    return ConstraintMakerEditable(d);
}

ConstraintMakerEditable ConstraintMakerExtendable::equalTo(const ConstraintTarget& target)
{
    return relate(NSLayoutRelation::equal, target);
}

ConstraintMakerEditable ConstraintMakerExtendable::greaterThanOrEqualTo(const ConstraintTarget& target)
{
    return relate(NSLayoutRelation::greaterThanOrEqual, target);
}

ConstraintMakerEditable ConstraintMakerExtendable::lessThanOrEqualTo(const ConstraintTarget& target)
{
    return relate(NSLayoutRelation::lessThanOrEqual, target);
}

ConstraintMakerEditable ConstraintMakerExtendable::equalToSuperview()
{
    return relate(NSLayoutRelation::equal, std::nullopt);
}

ConstraintMakerEditable ConstraintMakerExtendable::greaterThanOrEqualToSuperview()
{
    return relate(NSLayoutRelation::greaterThanOrEqual, std::nullopt);
}

ConstraintMakerEditable ConstraintMakerExtendable::lessThanOrEqualToSuperview()
{
    return relate(NSLayoutRelation::lessThanOrEqual, std::nullopt);
}

ConstraintMakerEditable& ConstraintMakerEditable::offset(CGFloat amount)
{
    m_description->constant = ConstraintConstant(amount);
    return *this;
}

ConstraintMakerEditable& ConstraintMakerEditable::inset(CGFloat amount)
{
    return inset(UIEdgeInsets { amount, amount, amount, amount });
}

ConstraintMakerEditable& ConstraintMakerEditable::inset(UIEdgeInsets insets)
{
    m_description->constant = ConstraintConstant(insets);
    return *this;
}

ConstraintMakerEditable& ConstraintMakerEditable::multipliedBy(CGFloat amount)
{
    if (std::isfinite(amount))
        m_description->multiplier = amount;
    return *this;
}

ConstraintMakerEditable& ConstraintMakerEditable::dividedBy(CGFloat amount)
{
    if (amount != 0 && std::isfinite(amount))
        m_description->multiplier = 1 / amount;
    return *this;
}

ConstraintMakerEditable& ConstraintMakerEditable::priority(UILayoutPriority priority)
{
    m_description->priority = std::clamp<UILayoutPriority>(priority, 1, UILayoutPriorityRequired);
    return *this;
}

std::shared_ptr<Constraint> ConstraintMakerEditable::constraint()
{
    return materialize(*m_description);
}

ConstraintMaker::ConstraintMaker(std::shared_ptr<UIView> view)
    : m_view(std::move(view))
{ }

ConstraintMaker::~ConstraintMaker() = default;

ConstraintMakerExtendable ConstraintMaker::start(unsigned attributes)
{
    auto d = std::make_unique<ConstraintDescription>();
    d->from = m_view;
    d->attributes = attributes;
    m_descriptions.push_back(std::move(d));
    return ConstraintMakerExtendable(*m_descriptions.back());
}

std::vector<std::shared_ptr<Constraint>> ConstraintMaker::constraints()
{
    std::vector<std::shared_ptr<Constraint>> list;
    for (auto& d : m_descriptions) {
        if (auto c = materialize(*d))
            list.push_back(std::move(c));
    }
    return list;
}

// ---- snp ----

ConstraintViewDSL::ConstraintViewDSL(std::shared_ptr<UIView> view)
    : ConstraintAttributesDSL(LayoutItem(view))
    , m_view(std::move(view))
{ }

ConstraintViewDSL snp(UIView& view)
{
    return ConstraintViewDSL(view.weakFromThis().lock());
}

void ConstraintViewDSL::makeConstraints(const Closure& closure)
{
    if (!m_view) {
        Log::write("[LayoutConstraints] Constraints for a view that no shared_ptr owns are ignored");
        return;
    }
    ConstraintMaker maker(m_view);
    closure(maker);
    setTranslatesAutoresizingMaskIntoConstraints(*m_view, false);
    for (auto& c : maker.constraints())
        c->activate();
}

void ConstraintViewDSL::remakeConstraints(const Closure& closure)
{
    removeConstraints();
    makeConstraints(closure);
}

void ConstraintViewDSL::updateConstraints(const Closure& closure)
{
    if (!m_view) {
        Log::write("[LayoutConstraints] Constraints for a view that no shared_ptr owns are ignored");
        return;
    }
    ConstraintMaker maker(m_view);
    closure(maker);
    setTranslatesAutoresizingMaskIntoConstraints(*m_view, false);
    std::vector<std::shared_ptr<NSLayoutConstraint>> existing;
    for (const auto& c : constraints()) {
        for (const auto& lc : c->layoutConstraints())
            existing.push_back(lc);
    }
    for (auto& c : maker.constraints()) {
        std::vector<std::shared_ptr<NSLayoutConstraint>> unmatched;
        for (const auto& lc : c->layoutConstraints()) {
            auto match = std::find_if(existing.begin(), existing.end(),
                [&](const auto& old) { return sameExceptConstant(*old, *lc); });
            if (match != existing.end())
                (*match)->setConstant(lc->constant());
            else
                unmatched.push_back(lc);
        }
        if (unmatched.size() == c->layoutConstraints().size()) {
            c->activate();
        } else if (!unmatched.empty()) {
            c->m_constraints = std::move(unmatched);
            c->activate();
        }
    }
}

void ConstraintViewDSL::removeConstraints()
{
    if (!m_view)
        return;
    auto* state = layoutState(*m_view);
    if (!state)
        return;
    auto list = std::move(state->builderConstraints);
    state->builderConstraints.clear();
    for (auto& c : list)
        NSLayoutConstraint::deactivate(c->layoutConstraints());
}

std::vector<std::shared_ptr<Constraint>> ConstraintViewDSL::constraints() const
{
    auto* state = m_view ? layoutState(*m_view) : nullptr;
    if (!state)
        return {};
    return state->builderConstraints;
}
