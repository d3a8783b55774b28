#pragma once

#include "platform/ui/CGGeometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class UIView;
class ConstraintLayoutEngine;

// The numbers are the platform's, which stored values and lookups by number rely on.
enum class NSLayoutAttribute : int {
    notAnAttribute = 0,
    left = 1,
    right = 2,
    top = 3,
    bottom = 4,
    leading = 5,
    trailing = 6,
    width = 7,
    height = 8,
    centerX = 9,
    centerY = 10,
};

enum class NSLayoutRelation : int { lessThanOrEqual = -1, equal = 0, greaterThanOrEqual = 1 };

enum class UILayoutConstraintAxis : int { horizontal = 0, vertical = 1 };

// 1000 is required; anything lower may be given up, the lower first.
using UILayoutPriority = float;
inline constexpr UILayoutPriority UILayoutPriorityRequired = 1000;
inline constexpr UILayoutPriority UILayoutPriorityDefaultHigh = 750;
inline constexpr UILayoutPriority UILayoutPriorityDefaultLow = 250;
inline constexpr UILayoutPriority UILayoutPriorityFittingSizeLevel = 50;

// One side of a constraint: a view, or the safe-area guide of a view. The view is held weakly,
// so a constraint never keeps a view alive; an item whose view is gone is simply ignored.
class LayoutItem {
public:
    LayoutItem() = default;
    explicit LayoutItem(const std::shared_ptr<UIView>& view, bool safeAreaGuide = false);
    // For views that are already owned by a shared_ptr (every view is).
    explicit LayoutItem(UIView& view, bool safeAreaGuide = false);

    // The view, or the owner of the guide; nullptr when there is no item or the view is gone.
    std::shared_ptr<UIView> view() const { return m_view.lock(); }
    bool isSafeAreaGuide() const { return m_guide; }
    bool isEmpty() const { return !m_set; }
    // This item is the view itself (not its guide).
    bool isView(const UIView* view) const;

    bool operator==(const LayoutItem& other) const;

private:
    std::weak_ptr<UIView> m_view;
    bool m_guide = false;
    bool m_set = false;
};

// first.attribute RELATION second.attribute * multiplier + constant, or, without a second item,
// first.attribute RELATION constant. An active constraint is installed on the nearest common
// ancestor of its items (the view itself for a constraint on one view) and is found among that
// view's constraints (see UIViewLayout.h).
class NSLayoutConstraint : public std::enable_shared_from_this<NSLayoutConstraint> {
public:
    static std::shared_ptr<NSLayoutConstraint> create(LayoutItem first, NSLayoutAttribute firstAttribute,
        NSLayoutRelation relation, LayoutItem second, NSLayoutAttribute secondAttribute,
        CGFloat multiplier = 1, CGFloat constant = 0);

    static void activate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
    static void deactivate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);

    const LayoutItem& firstItem() const { return m_first; }
    NSLayoutAttribute firstAttribute() const { return m_firstAttribute; }
    NSLayoutRelation relation() const { return m_relation; }
    const LayoutItem& secondItem() const { return m_second; }
    NSLayoutAttribute secondAttribute() const { return m_secondAttribute; }
    CGFloat multiplier() const { return m_multiplier; }

    CGFloat constant() const { return m_constant; }
    // Takes effect at the next layout pass, which it requests.
    void setConstant(CGFloat constant);
    UILayoutPriority priority() const { return m_priority; }
    // Clamped to 1...1000.
    void setPriority(UILayoutPriority priority);

    bool isActive() const { return m_active; }
    // Activating fails (with a log line) when the items share no ancestor.
    void setActive(bool active);

    // The view it is installed on while active.
    std::shared_ptr<UIView> installedOn() const { return m_installedOn.lock(); }

    // "<NSLayoutConstraint UILabel.top == UIView.bottom + 8 @750>"
    std::string description() const;

private:
    struct Key { };

public:
    // Use create().
    explicit NSLayoutConstraint(Key) { }

private:
    friend class ConstraintLayoutEngine;
    void didChange();

    LayoutItem m_first;
    NSLayoutAttribute m_firstAttribute = NSLayoutAttribute::notAnAttribute;
    NSLayoutRelation m_relation = NSLayoutRelation::equal;
    LayoutItem m_second;
    NSLayoutAttribute m_secondAttribute = NSLayoutAttribute::notAnAttribute;
    CGFloat m_multiplier = 1;
    CGFloat m_constant = 0;
    UILayoutPriority m_priority = UILayoutPriorityRequired;
    bool m_active = false;
    // Set once a conflict broke it, so the log says so once, not on every pass.
    bool m_reportedBroken = false;
    std::weak_ptr<UIView> m_installedOn;
    // Activation order: when required constraints conflict, the latest one gives way.
    std::uint64_t m_sequence = 0;
};
