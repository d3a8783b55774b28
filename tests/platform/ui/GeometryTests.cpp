#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIBezierPath.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

void expectPoint(CGPoint actual, CGPoint expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

TEST(Geometry, RectEdgesStandardiseNegativeSizes)
{
    CGRect r { 10, 20, -4, -6 };
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.maxX(), 10);
    EXPECT_EQ(r.minY(), 14);
    EXPECT_EQ(r.maxY(), 20);
    EXPECT_EQ(r.width(), 4);
    EXPECT_EQ(r.standardized(), (CGRect { 6, 14, 4, 6 }));
    EXPECT_EQ(r.center().x, 8);
}

TEST(Geometry, ContainsExcludesMaximumEdges)
{
    CGRect r { 0, 0, 10, 10 };
    EXPECT_TRUE(r.contains(CGPoint { 0, 0 }));
    EXPECT_TRUE(r.contains(CGPoint { 9.999, 9.999 }));
    EXPECT_FALSE(r.contains(CGPoint { 10, 5 }));
    EXPECT_FALSE(r.contains(CGPoint { 5, 10 }));
    EXPECT_TRUE(r.contains(CGRect { 2, 2, 8, 8 }));
    EXPECT_FALSE(r.contains(CGRect { 2, 2, 9, 8 }));
}

TEST(Geometry, IntersectionUnionAndNull)
{
    CGRect a { 0, 0, 10, 10 }, b { 5, 5, 10, 10 }, c { 20, 20, 1, 1 };
    EXPECT_EQ(a.intersection(b), (CGRect { 5, 5, 5, 5 }));
    EXPECT_TRUE(a.intersection(c).isNull());
    EXPECT_FALSE(a.intersects(c));
    // Touching edges share no area.
    EXPECT_FALSE(a.intersects(CGRect { 10, 0, 5, 5 }));
    EXPECT_EQ(a.unionWith(c), (CGRect { 0, 0, 21, 21 }));
    EXPECT_EQ(CGRect::null().unionWith(b), b);
    EXPECT_TRUE(CGRect::null().isEmpty());
}

TEST(Geometry, InsetOffsetIntegral)
{
    CGRect r { 0, 0, 10, 10 };
    EXPECT_EQ(r.insetBy(2, 3), (CGRect { 2, 3, 6, 4 }));
    // Insetting past the middle gives the null rectangle.
    EXPECT_TRUE(r.insetBy(6, 0).isNull());
    EXPECT_EQ(r.offsetBy(-1, 2), (CGRect { -1, 2, 10, 10 }));
    EXPECT_EQ((CGRect { 0.5, 1.2, 2.1, 2.7 }).integral(), (CGRect { 0, 1, 3, 3 }));
    EXPECT_EQ((CGRect { -0.5, -0.5, 1, 1 }).integral(), (CGRect { -1, -1, 2, 2 }));
    EXPECT_EQ(r.inset(UIEdgeInsets { 1, 2, 3, 4 }), (CGRect { 2, 1, 4, 6 }));
}

TEST(Geometry, TransformOrderFollowsThePlatform)
{
    // translatedBy applies the translation first, then the existing scale.
    auto t = CGAffineTransform::scale(2, 2).translatedBy(10, 0);
    expectPoint(t.apply(CGPoint { 1, 1 }), { 22, 2 });
    // concatenating applies the receiver first.
    auto u = CGAffineTransform::scale(2, 2).concatenating(CGAffineTransform::translation(10, 0));
    expectPoint(u.apply(CGPoint { 1, 1 }), { 12, 2 });
    // Rotation by +90 degrees turns x towards y (clockwise on a y-down screen).
    expectPoint(CGAffineTransform::rotation(M_PI / 2).apply(CGPoint { 1, 0 }), { 0, 1 });
}

TEST(Geometry, InverseUndoesAndSingularHasNone)
{
    auto t = CGAffineTransform::rotation(0.7).scaledBy(2, 3).translatedBy(5, -4);
    auto inverse = t.inverted();
    ASSERT_TRUE(inverse);
    expectPoint(inverse->apply(t.apply(CGPoint { 3, 7 })), { 3, 7 });
    EXPECT_FALSE(CGAffineTransform::scale(0, 1).inverted());
}

TEST(Geometry, RoundedRectClampsRadiiAndHonoursCorners)
{
    auto path = UIBezierPath::roundedRect({ 0, 0, 20, 10 }, 50);
    EXPECT_EQ(path.bounds(), (CGRect { 0, 0, 20, 10 }));
    // Only the top-left corner rounded: the path starts after it and ends with its curve.
    auto some = UIBezierPath::roundedRect({ 0, 0, 20, 10 }, UIRectCornerTopLeft, { 4, 4 }).cgPath();
    EXPECT_EQ(some.elements().front().point, (CGPoint { 4, 0 }));
    auto curves = std::count_if(some.elements().begin(), some.elements().end(),
        [](const auto& e) { return e.kind == CGPath::Element::Kind::curveTo; });
    EXPECT_EQ(curves, 1);
}

}
