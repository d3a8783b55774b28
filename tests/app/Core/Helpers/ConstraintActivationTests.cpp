#include "app/Core/Helpers/ConstraintActivation.h"
#include "platform/ui/UIView.h"
#include "platform/ui/layout/NSLayoutAnchor.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>
#include <set>

namespace {

class ConstraintActivation : public zvtest::MainLoopTest { };

TEST_F(ConstraintActivation, PinnedEdgesAddTheInsetsAsGivenToTheSuperviewsLeftAndRight)
{
    auto parent = std::make_shared<UIView>(CGRect { 0, 0, 300, 400 });
    auto child = std::make_shared<UIView>(CGRect { 5, 5, 5, 5 });
    parent->addSubview(child);
    pinEdgesToSuperview(*child, { 10, 20, 30, 40 });
    parent->layoutIfNeeded();
    // Not negated: positive bottom and right insets put those edges past the superview's.
    EXPECT_EQ(child->frame(), (CGRect { 20, 10, 320, 420 }));
    EXPECT_FALSE(translatesAutoresizingMaskIntoConstraints(*child));
    std::set<NSLayoutAttribute> attributes;
    for (const auto& constraint : constraints(*parent))
        attributes.insert(constraint->firstAttribute());
    EXPECT_EQ(attributes,
        (std::set { NSLayoutAttribute::top, NSLayoutAttribute::left, NSLayoutAttribute::bottom,
            NSLayoutAttribute::right }));

    auto alone = std::make_shared<UIView>(CGRect { 1, 2, 3, 4 });
    pinEdgesToSuperview(*alone, { 10, 20, 30, 40 });
    EXPECT_TRUE(translatesAutoresizingMaskIntoConstraints(*alone));
    EXPECT_TRUE(constraints(*alone).empty());
}

TEST_F(ConstraintActivation, ActivatesAndHandsOnlyTheFirstItemsToTheConstraints)
{
    auto parent = std::make_shared<UIView>(CGRect { 0, 0, 300, 400 });
    auto a = std::make_shared<UIView>(CGRect { 0, 0, 50, 50 });
    auto b = std::make_shared<UIView>(CGRect { 0, 0, 50, 50 });
    parent->addSubview(a);
    parent->addSubview(b);
    std::vector list {
        leftAnchor(*a).constraintEqualTo(leftAnchor(*b), 15),
        topAnchor(*a).constraintEqualTo(topAnchor(safeAreaGuide(*parent)), 7),
    };
    activateConstraints(list);
    EXPECT_TRUE(list[0]->isActive() && list[1]->isActive());
    EXPECT_FALSE(translatesAutoresizingMaskIntoConstraints(*a));
    EXPECT_TRUE(translatesAutoresizingMaskIntoConstraints(*b)) << "a second item keeps its frame";
    EXPECT_TRUE(translatesAutoresizingMaskIntoConstraints(*parent));
}

}
