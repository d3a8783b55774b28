#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIView.h"
#include "platform/ui/layout/NSLayoutConstraint.h"

#include <concepts>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

// A constraint builder in the style of the screens' layout framework:
//
//   snp(icon).makeConstraints([&](ConstraintMaker& make) {
//       make.left().equalToSuperview().offset(12);
//       make.top().equalTo(snp(title).bottom()).offset(8);
//       make.size().equalTo(CGSize { 40, 40 });
//   });
//   snp(list).makeConstraints([&](ConstraintMaker& make) {
//       make.left().right().equalToSuperview().inset(24);
//       make.bottom().equalTo(snp(view).safeAreaLayoutGuide()).offset(-8);
//       topConstraint = make.top().equalToSuperview().offset(10).constraint();
//   });
//
// Attributes are calls (make.left().right()) so that they chain. A number on the right of a
// position means "the superview's same edge plus that much" (for centres: the superview's
// left or top edge). inset() follows the sides: positive insets move right and bottom edges
// inwards. Priorities default to required.

// Attribute sets of the builder.
struct ConstraintAttributes {
    static constexpr unsigned none = 0;
    static constexpr unsigned left = 1u << 0;
    static constexpr unsigned top = 1u << 1;
    static constexpr unsigned right = 1u << 2;
    static constexpr unsigned bottom = 1u << 3;
    static constexpr unsigned leading = 1u << 4;
    static constexpr unsigned trailing = 1u << 5;
    static constexpr unsigned width = 1u << 6;
    static constexpr unsigned height = 1u << 7;
    static constexpr unsigned centerX = 1u << 8;
    static constexpr unsigned centerY = 1u << 9;
    static constexpr unsigned edges = left | top | right | bottom;
    static constexpr unsigned size = width | height;
    static constexpr unsigned center = centerX | centerY;
};

struct ConstraintPriority {
    static constexpr UILayoutPriority required = 1000;
    static constexpr UILayoutPriority high = 750;
    static constexpr UILayoutPriority medium = 500;
    static constexpr UILayoutPriority low = 250;
};

// Some attributes of a view or of its safe-area guide: snp(view).bottom().
class ConstraintItem {
public:
    ConstraintItem(LayoutItem item, unsigned attributes)
        : m_item(std::move(item))
        , m_attributes(attributes)
    { }
    const LayoutItem& item() const { return m_item; }
    unsigned attributes() const { return m_attributes; }

private:
    LayoutItem m_item;
    unsigned m_attributes;
};

// The attribute accessors that a view and its safe-area guide share.
class ConstraintAttributesDSL {
public:
    explicit ConstraintAttributesDSL(LayoutItem item)
        : m_item(std::move(item))
    { }

    ConstraintItem left() const { return { m_item, ConstraintAttributes::left }; }
    ConstraintItem top() const { return { m_item, ConstraintAttributes::top }; }
    ConstraintItem right() const { return { m_item, ConstraintAttributes::right }; }
    ConstraintItem bottom() const { return { m_item, ConstraintAttributes::bottom }; }
    ConstraintItem leading() const { return { m_item, ConstraintAttributes::leading }; }
    ConstraintItem trailing() const { return { m_item, ConstraintAttributes::trailing }; }
    ConstraintItem width() const { return { m_item, ConstraintAttributes::width }; }
    ConstraintItem height() const { return { m_item, ConstraintAttributes::height }; }
    ConstraintItem centerX() const { return { m_item, ConstraintAttributes::centerX }; }
    ConstraintItem centerY() const { return { m_item, ConstraintAttributes::centerY }; }
    ConstraintItem edges() const { return { m_item, ConstraintAttributes::edges }; }
    ConstraintItem size() const { return { m_item, ConstraintAttributes::size }; }
    ConstraintItem center() const { return { m_item, ConstraintAttributes::center }; }

    // The item with the attributes of the other side.
    operator ConstraintItem() const { return { m_item, ConstraintAttributes::none }; }

protected:
    LayoutItem m_item;
};

// A constant on the right of a relation, or an offset or inset: a number, a size, a point or
// edge insets, each giving the value that suits an attribute.
class ConstraintConstant {
public:
    ConstraintConstant() = default;
    ConstraintConstant(CGFloat value)
        : m_kind(Kind::number)
        , m_a(value)
    { }
    ConstraintConstant(CGSize size)
        : m_kind(Kind::size)
        , m_a(size.width)
        , m_b(size.height)
    { }
    ConstraintConstant(CGPoint point)
        : m_kind(Kind::point)
        , m_a(point.x)
        , m_b(point.y)
    { }
    ConstraintConstant(UIEdgeInsets insets)
        : m_kind(Kind::insets)
        , m_insets(insets)
    { }

    CGFloat valueFor(NSLayoutAttribute attribute) const;

private:
    enum class Kind { number, size, point, insets };
    Kind m_kind = Kind::number;
    CGFloat m_a = 0;
    CGFloat m_b = 0;
    UIEdgeInsets m_insets;
};

// What a relation relates to: another view (same attributes), some attributes of a view or
// guide, or a constant.
class ConstraintTarget {
public:
    template<typename T>
    requires std::is_arithmetic_v<T> ConstraintTarget(T value)
        : m_constant(static_cast<CGFloat>(value))
    { }
    ConstraintTarget(CGSize size)
        : m_constant(size)
    { }
    ConstraintTarget(CGPoint point)
        : m_constant(point)
    { }
    ConstraintTarget(UIEdgeInsets insets)
        : m_constant(insets)
    { }
    ConstraintTarget(ConstraintItem item)
        : m_item(std::move(item))
    { }
    ConstraintTarget(const ConstraintAttributesDSL& dsl)
        : m_item(static_cast<ConstraintItem>(dsl))
    { }
    template<std::derived_from<UIView> T>
    ConstraintTarget(const std::shared_ptr<T>& view)
        : m_item(
            ConstraintItem(LayoutItem(std::static_pointer_cast<UIView>(view)), ConstraintAttributes::none))
    { }

    const std::optional<ConstraintItem>& item() const { return m_item; }
    const ConstraintConstant& constant() const { return m_constant; }

private:
    std::optional<ConstraintItem> m_item;
    ConstraintConstant m_constant;
};

// The constraints that one builder line made (one per attribute), kept by the view for
// remake, update and remove, and by callers that change them later.
class Constraint : public std::enable_shared_from_this<Constraint> {
public:
    // Made by the builder.
    Constraint(std::weak_ptr<UIView> from, std::vector<std::shared_ptr<NSLayoutConstraint>> constraints);

    const std::vector<std::shared_ptr<NSLayoutConstraint>>& layoutConstraints() const
    {
        return m_constraints;
    }

    // Every constraint's constant becomes `amount`.
    void updateOffset(CGFloat amount);
    // Constants from insets, by attribute as inset() does.
    void updateInset(CGFloat amount);
    void updateInset(UIEdgeInsets insets);
    void updatePriority(UILayoutPriority priority);

    void activate();
    void deactivate();
    bool isActive() const;

private:
    friend class ConstraintMaker;
    friend class ConstraintViewDSL;

    std::weak_ptr<UIView> m_from;
    std::vector<std::shared_ptr<NSLayoutConstraint>> m_constraints;
};

struct ConstraintDescription;
class ConstraintMakerEditable;

// Attributes of the maker's view, still open for more attributes or a relation.
class ConstraintMakerExtendable {
public:
    explicit ConstraintMakerExtendable(ConstraintDescription& description)
        : m_description(&description)
    { }

    ConstraintMakerExtendable& left() { return add(ConstraintAttributes::left); }
    ConstraintMakerExtendable& top() { return add(ConstraintAttributes::top); }
    ConstraintMakerExtendable& right() { return add(ConstraintAttributes::right); }
    ConstraintMakerExtendable& bottom() { return add(ConstraintAttributes::bottom); }
    ConstraintMakerExtendable& leading() { return add(ConstraintAttributes::leading); }
    ConstraintMakerExtendable& trailing() { return add(ConstraintAttributes::trailing); }
    ConstraintMakerExtendable& width() { return add(ConstraintAttributes::width); }
    ConstraintMakerExtendable& height() { return add(ConstraintAttributes::height); }
    ConstraintMakerExtendable& centerX() { return add(ConstraintAttributes::centerX); }
    ConstraintMakerExtendable& centerY() { return add(ConstraintAttributes::centerY); }
    ConstraintMakerExtendable& edges() { return add(ConstraintAttributes::edges); }
    ConstraintMakerExtendable& size() { return add(ConstraintAttributes::size); }
    ConstraintMakerExtendable& center() { return add(ConstraintAttributes::center); }

    ConstraintMakerEditable equalTo(const ConstraintTarget& target);
    ConstraintMakerEditable greaterThanOrEqualTo(const ConstraintTarget& target);
    ConstraintMakerEditable lessThanOrEqualTo(const ConstraintTarget& target);
    ConstraintMakerEditable equalToSuperview();
    ConstraintMakerEditable greaterThanOrEqualToSuperview();
    ConstraintMakerEditable lessThanOrEqualToSuperview();

private:
    ConstraintMakerExtendable& add(unsigned attributes);
    ConstraintMakerEditable relate(NSLayoutRelation relation, std::optional<ConstraintTarget> target);

    ConstraintDescription* m_description;
};

// A relation being finished: constant, multiplier, priority.
class ConstraintMakerEditable {
public:
    explicit ConstraintMakerEditable(ConstraintDescription& description)
        : m_description(&description)
    { }

    ConstraintMakerEditable& offset(CGFloat amount);
    ConstraintMakerEditable& inset(CGFloat amount);
    ConstraintMakerEditable& inset(UIEdgeInsets insets);
    ConstraintMakerEditable& multipliedBy(CGFloat amount);
    ConstraintMakerEditable& dividedBy(CGFloat amount);
    ConstraintMakerEditable& priority(UILayoutPriority priority);

    // The constraint this line makes, for changing it later. Made (inactive) on the first
    // call; the maker activates it with the others.
    std::shared_ptr<Constraint> constraint();

private:
    ConstraintDescription* m_description;
};

// Handed to the closures of makeConstraints, remakeConstraints and updateConstraints.
class ConstraintMaker {
public:
    explicit ConstraintMaker(std::shared_ptr<UIView> view);
    ~ConstraintMaker();
    ConstraintMaker(const ConstraintMaker&) = delete;
    ConstraintMaker& operator=(const ConstraintMaker&) = delete;

    ConstraintMakerExtendable left() { return start(ConstraintAttributes::left); }
    ConstraintMakerExtendable top() { return start(ConstraintAttributes::top); }
    ConstraintMakerExtendable right() { return start(ConstraintAttributes::right); }
    ConstraintMakerExtendable bottom() { return start(ConstraintAttributes::bottom); }
    ConstraintMakerExtendable leading() { return start(ConstraintAttributes::leading); }
    ConstraintMakerExtendable trailing() { return start(ConstraintAttributes::trailing); }
    ConstraintMakerExtendable width() { return start(ConstraintAttributes::width); }
    ConstraintMakerExtendable height() { return start(ConstraintAttributes::height); }
    ConstraintMakerExtendable centerX() { return start(ConstraintAttributes::centerX); }
    ConstraintMakerExtendable centerY() { return start(ConstraintAttributes::centerY); }
    ConstraintMakerExtendable edges() { return start(ConstraintAttributes::edges); }
    ConstraintMakerExtendable size() { return start(ConstraintAttributes::size); }
    ConstraintMakerExtendable center() { return start(ConstraintAttributes::center); }

    // The constraints of every finished line, made now if not yet.
    std::vector<std::shared_ptr<Constraint>> constraints();

private:
    ConstraintMakerExtendable start(unsigned attributes);

    std::shared_ptr<UIView> m_view;
    std::vector<std::unique_ptr<ConstraintDescription>> m_descriptions;
};

// snp(view): the builder and the attributes of a view.
class ConstraintViewDSL : public ConstraintAttributesDSL {
public:
    using Closure = std::function<void(ConstraintMaker&)>;

    explicit ConstraintViewDSL(std::shared_ptr<UIView> view);

    // Makes and activates the constraints; the view stops translating its frame.
    void makeConstraints(const Closure& closure);
    // Removes every constraint that the builder made for this view, then makes these.
    void remakeConstraints(const Closure& closure);
    // Changes the constants of the view's builder constraints that match a line (same
    // attributes, items, relation, multiplier and priority); lines without a match are added.
    void updateConstraints(const Closure& closure);
    // Deactivates every constraint that the builder made for this view.
    void removeConstraints();

    // The constraints the builder made for this view and that are active.
    std::vector<std::shared_ptr<Constraint>> constraints() const;

    ConstraintAttributesDSL safeAreaLayoutGuide() const
    {
        return ConstraintAttributesDSL(LayoutItem(m_view, true));
    }

private:
    std::shared_ptr<UIView> m_view;
};

// The view must already be owned by a shared_ptr (every view is, once created).
ConstraintViewDSL snp(UIView& view);
template<std::derived_from<UIView> T> ConstraintViewDSL snp(const std::shared_ptr<T>& view)
{
    return ConstraintViewDSL(std::static_pointer_cast<UIView>(view));
}

// The short-video cell's builder has the other framework's name; it is the same builder.
template<typename T> ConstraintViewDSL mas(T&& view)
{
    return snp(std::forward<T>(view));
}
