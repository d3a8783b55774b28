#include "app/Extensions/CollectionViewAnimation.h"
#include "app/Extensions/GradientView.h"
#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/CAShapeLayer.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// A view whose class brings a layer of its own.
class ShapeView : public UIView {
public:
    ShapeView()
        : UIView(CAShapeLayer::make(), CGRect {})
    { }
};

class GradientViewTest : public ::testing::Test {
protected:
    void TearDown() override { UIView::setDefaultLayerFactory({}); }
};

TEST_F(GradientViewTest, BackgroundWithColorsClearsLocationsAndReachesOnlyGradientLayers)
{
    registerGradientBackedViews();
    auto label = std::make_shared<UILabel>();
    auto gradient = label->layerAs<CAGradientLayer>();
    ASSERT_TRUE(gradient);

    az_setLocations(*label, std::vector<CGFloat> { 0, 0.2 });
    az_setGradientBackgroundWithColors(*label, { UIColor::red(), UIColor::blue() }, { 0, 0 }, { 1, 1 });
    EXPECT_FALSE(az_locations(*label));
    EXPECT_FALSE(gradient->locations());
    EXPECT_EQ(gradient->colors(), (std::vector<UIColor> { UIColor::red(), UIColor::blue() }));
    EXPECT_EQ(az_endPoint(*label), (CGPoint { 1, 1 }));
    EXPECT_EQ(gradient->endPoint(), (CGPoint { 1, 1 }));

    auto shape = std::make_shared<ShapeView>();
    EXPECT_EQ(az_startPoint(*shape), (CGPoint { 0, 0 }));
    EXPECT_FALSE(az_colors(*shape));
    az_setColors(*shape, std::vector<UIColor> { UIColor::green() });
    EXPECT_EQ(az_colors(*shape), (std::vector<UIColor> { UIColor::green() }));
    EXPECT_EQ(shape->layer()->className(), "CAShapeLayer");

    // The factory keeps the locations it is given.
    auto made = az_gradientViewWithColors<UIView>(
        { UIColor::red(), UIColor::blue() }, std::vector<CGFloat> { 0, 0.3 }, { 0, 0 }, { 0, 1 });
    EXPECT_EQ(made->layerAs<CAGradientLayer>()->locations(), (std::vector<CGFloat> { 0, 0.3 }));
}

TEST_F(GradientViewTest, GradientBackedViewsDrawLikePlainOnesUntilTheyGetColours)
{
    auto build = [] {
        auto root = std::make_shared<UIView>(CGRect { 0, 0, 60, 40 });
        root->setBackgroundColor(UIColor::white());
        auto child = std::make_shared<UIView>(CGRect { 10, 10, 30, 20 });
        child->setBackgroundColor(UIColor::red().withAlphaComponent(0.5));
        child->layer()->setCornerRadius(6);
        root->addSubview(child);
        auto label = std::make_shared<UILabel>(CGRect { 0, 0, 60, 20 });
        label->setText("Zentavo");
        root->addSubview(label);
        return root;
    };
    UIImage plain = build()->snapshotImage();
    registerGradientBackedViews();
    auto gradientRoot = build();
    ASSERT_TRUE(gradientRoot->layerAs<CAGradientLayer>());
    UIImage backed = gradientRoot->snapshotImage();
    ASSERT_EQ(plain.pixelWidth(), backed.pixelWidth());
    for (int y = 0; y < plain.pixelHeight(); ++y) {
        for (int x = 0; x < plain.pixelWidth(); ++x)
            ASSERT_EQ(plain.pixel(x, y), backed.pixel(x, y)) << x << "," << y;
    }
}

class CollectionViewAnimationTest : public zvtest::MainLoopTest { };

TEST_F(CollectionViewAnimationTest, SlidesBackAfterTheTablesDelays)
{
    CollectionViewAnimation animation;
    auto fromRight = std::make_shared<UIView>(CGRect { 0, 0, 340, 50 });
    auto fromLeft = std::make_shared<UIView>(CGRect { 0, 0, 340, 50 });
    animation.right_left(fromRight, 340, 0.2f);
    animation.left_right(fromLeft, 340, 0.2f);
    EXPECT_EQ(fromRight->transform(), CGAffineTransform::translation(340, 0));
    EXPECT_EQ(fromLeft->transform(), CGAffineTransform::translation(-340, 0));

    advance(0.19);
    EXPECT_FALSE(fromRight->transform().isIdentity());
    advance(0.02);
    EXPECT_TRUE(fromRight->transform().isIdentity());
    auto move = fromRight->layer()->animation("transform");
    ASSERT_TRUE(move);
    EXPECT_NEAR(move->duration, 0.3, 1e-6);
    EXPECT_FALSE(fromLeft->transform().isIdentity());
    advance(0.1);
    EXPECT_TRUE(fromLeft->transform().isIdentity());
}

TEST_F(CollectionViewAnimationTest, NoDelayStillWaitsATenthForTwoOfTheSides)
{
    CollectionViewAnimation animation;
    auto fromBottom = std::make_shared<UIView>(CGRect { 0, 0, 50, 50 });
    auto fromTop = std::make_shared<UIView>(CGRect { 0, 0, 50, 50 });
    animation.bottom_top(fromBottom, 50, 0);
    animation.top_bottom(fromTop, 50, 0);
    EXPECT_EQ(fromTop->transform(), CGAffineTransform::translation(0, -50));
    drain();
    EXPECT_TRUE(fromBottom->transform().isIdentity());
    EXPECT_NEAR(fromBottom->layer()->animation("transform")->duration, 0.1, 1e-6);
    EXPECT_FALSE(fromTop->transform().isIdentity());
    advance(0.11);
    EXPECT_TRUE(fromTop->transform().isIdentity());

    // A view released before its turn is skipped.
    auto gone = std::make_shared<UIView>();
    animation.left_right(gone, 10, 0);
    gone.reset();
    advance(0.2);
}

}
