#include "app/Extensions/ViewConstraints.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewDottedLine.h"
#include "app/Extensions/ViewFrame.h"
#include "app/Extensions/ViewGradient.h"
#include "app/Extensions/ViewHierarchy.h"
#include "app/Extensions/ViewShadow.h"
#include "app/Extensions/ViewTapAction.h"
#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/CAShapeLayer.h"
#include "platform/ui/UIView.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

std::shared_ptr<UIView> makeView(CGRect frame = {})
{
    return std::make_shared<UIView>(frame);
}

std::shared_ptr<NSLayoutConstraint> activate(const std::shared_ptr<UIView>& first,
    NSLayoutAttribute attribute, const std::shared_ptr<UIView>& second = nullptr,
    NSLayoutAttribute secondAttribute = NSLayoutAttribute::notAnAttribute, CGFloat constant = 0)
{
    auto constraint = NSLayoutConstraint::create(LayoutItem(first), attribute, NSLayoutRelation::equal,
        second ? LayoutItem(second) : LayoutItem(), secondAttribute, 1, constant);
    constraint->setActive(true);
    return constraint;
}

TEST(ViewTapAction, SecondClosureReplacesTheFirstOnOneRecognizer)
{
    auto view = makeView({ 0, 0, 50, 50 });
    view->setUserInteractionEnabled(false);
    std::vector<std::string> ran;
    addTapAction(*view, [&](UITapGestureRecognizer&) { ran.push_back("first"); });
    addTapAction(*view, [&](UITapGestureRecognizer&) { ran.push_back("second"); });

    EXPECT_TRUE(view->isUserInteractionEnabled());
    ASSERT_EQ(view->gestureRecognizers().size(), 1u);
    view->gestureRecognizers().front()->forceState(UIGestureRecognizerState::ended);
    EXPECT_EQ(ran, std::vector<std::string> { "second" });
}

TEST(ViewCorners, CapsuleAndSingleRoundedCorner)
{
    auto capsule = makeView({ 0, 0, 100, 40 });
    makeCorner(*capsule);
    EXPECT_EQ(capsule->layer()->cornerRadius(), 20);
    EXPECT_TRUE(capsule->clipsToBounds());

    auto tag = makeView({ 0, 0, 40, 40 });
    tag->setBackgroundColor(UIColor::black());
    makeCornerByRoundingCorners(*tag, UIRectCornerBottomLeft, 20);
    auto firstMask = tag->layer()->mask();
    makeCornerByRoundingCorners(*tag, UIRectCornerBottomLeft, 20);
    EXPECT_NE(tag->layer()->mask(), firstMask); // replaced, not stacked
    UIImage image = tag->snapshotImage();
    CGFloat scale = image.scale();
    auto alphaAt = [&](CGFloat x, CGFloat y) {
        return image.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale)).alpha;
    };
    EXPECT_EQ(alphaAt(1, 38), 0); // bottom-left is cut away
    EXPECT_GT(alphaAt(1, 1), 0.99); // the other corners stay square
    EXPECT_GT(alphaAt(38, 38), 0.99);
}

TEST(ViewGradient, RepeatedVerticalGradientKeepsOneLayerAtTheBottom)
{
    auto bar = makeView({ 0, 0, 100, 20 });
    auto label = makeView({ 0, 0, 10, 10 });
    bar->addSubview(label);
    auto other = CALayer::make();
    other->setName("other");
    bar->layer()->addSublayer(other);

    const std::vector<UIColor> colors { UIColor::black().withAlphaComponent(0), UIColor::black() };
    addVerticalGradient(*bar, colors);
    bar->setFrame({ 0, 0, 120, 30 });
    addVerticalGradient(*bar, colors);
    bar->setFrame({ 0, 0, 150, 24 });
    addVerticalGradient(*bar, colors);

    const auto& sublayers = bar->layer()->sublayers();
    int gradients = 0;
    for (const auto& layer : sublayers)
        gradients += layer->name() == "gradientLayer";
    EXPECT_EQ(gradients, 1);
    ASSERT_EQ(sublayers.size(), 3u); // the subview's layer and the other layer stay
    auto gradient = std::dynamic_pointer_cast<CAGradientLayer>(sublayers.front());
    ASSERT_TRUE(gradient);
    EXPECT_EQ(gradient->frame(), (CGRect { 0, 0, 150, 24 }));
    EXPECT_EQ(gradient->startPoint(), (CGPoint { 0, 0 }));
    EXPECT_EQ(gradient->endPoint(), (CGPoint { 0, 1 }));
}

TEST(ViewDottedLine, OnePointLineReplacesDecorationsButKeepsSubviews)
{
    auto view = makeView({ 0, 0, 80, 10 });
    auto child = makeView({ 0, 0, 5, 5 });
    view->addSubview(child);
    addVerticalGradient(*view, { UIColor::white(), UIColor::black() });

    makeDottedLine(*view, UIColor::black(), 3, 4, 2);

    const auto& sublayers = view->layer()->sublayers();
    ASSERT_EQ(sublayers.size(), 2u);
    EXPECT_EQ(sublayers.front(), child->layer());
    auto line = std::dynamic_pointer_cast<CAShapeLayer>(sublayers.back());
    ASSERT_TRUE(line);
    EXPECT_EQ(line->lineWidth(), 1);
    EXPECT_EQ(line->lineDashPattern(), (std::vector<CGFloat> { 4, 2 }));
    EXPECT_EQ(line->frame(), view->bounds());
    ASSERT_TRUE(line->path());
    EXPECT_EQ(line->path()->boundingBox(), (CGRect { 0, 0, 80, 0 }));
}

class ViewShadowTest : public zvtest::MainLoopTest { };

TEST_F(ViewShadowTest, LayoutBlockFollowsTheSizeAndTheRunningAnimation)
{
    auto card = makeView({ 0, 0, 100, 50 });
    makeShadow(*card, 10, 8, 0.5f, UIColor::black(), { 0, 2 }, 4);
    EXPECT_EQ(card->layer()->shadowRadius(), 4);
    auto block = layoutSubviewsBlock(*card);
    ASSERT_TRUE(block);

    UIView::animate(0.4, [&] { card->setFrame({ 0, 0, 200, 60 }); });
    block();
    ASSERT_TRUE(card->layer()->shadowPath());
    EXPECT_EQ(card->layer()->shadowPath()->boundingBox(), (CGRect { -4, -4, 208, 68 }));
    auto pathAnimation = card->layer()->animation("shadowPath");
    ASSERT_TRUE(pathAnimation);
    EXPECT_DOUBLE_EQ(pathAnimation->duration, 0.4);

    // The block holds the view weakly and does nothing once it is gone.
    card.reset();
    block();
    setLayoutSubviewsBlock(*makeView(), {});
}

TEST_F(ViewShadowTest, CornerShadowRoundsToHalfTheCurrentHeight)
{
    auto pill = makeView({ 0, 0, 100, 40 });
    makeCornerShadow(*pill, 6, 0.3f, UIColor::black(), { 0, 0 }, 0);
    EXPECT_EQ(pill->layer()->cornerRadius(), 20);
    pill->setFrame({ 0, 0, 100, 30 });
    layoutSubviewsBlock (*pill)();
    EXPECT_EQ(pill->layer()->cornerRadius(), 15);
    setLayoutSubviewsBlock(*pill, {});
    EXPECT_FALSE(layoutSubviewsBlock(*pill));
}

TEST(ViewConstraints, WidthPrefersTheViewsOwnConstantThenTheSuperview)
{
    auto super = makeView({ 0, 0, 300, 300 });
    auto view = makeView();
    super->addSubview(view);
    auto tie = activate(view, NSLayoutAttribute::width, super, NSLayoutAttribute::width);
    EXPECT_EQ(cs_widthConstraint(*view), tie);

    auto constant = activate(view, NSLayoutAttribute::width, nullptr, NSLayoutAttribute::notAnAttribute, 40);
    EXPECT_EQ(cs_widthConstraint(*view), constant);
    EXPECT_EQ(cs_heightConstraint(*view), nullptr);

    // The ratio lives on the view itself, between two of its own sizes.
    auto ratio = activate(view, NSLayoutAttribute::height, view, NSLayoutAttribute::width);
    EXPECT_EQ(cs_ratioConstraint(*view), ratio);
    EXPECT_EQ(cs_widthConstraint(*view), constant);
}

TEST(ViewConstraints, EdgesUseLeadingAndTrailingAndOtherItemsAcrossBranches)
{
    auto root = makeView({ 0, 0, 300, 300 });
    auto box = makeView();
    auto view = makeView();
    auto neighbour = makeView();
    root->addSubview(box);
    box->addSubview(view);
    root->addSubview(neighbour);

    activate(view, NSLayoutAttribute::left, box, NSLayoutAttribute::left, 8);
    EXPECT_EQ(cs_leftConstraint(*view), nullptr);
    auto leading = activate(view, NSLayoutAttribute::leading, box, NSLayoutAttribute::leading, 8);
    EXPECT_EQ(cs_leftConstraint(*view), leading);

    // Installed on the root, found through the nearest common ancestor.
    auto below = activate(view, NSLayoutAttribute::top, neighbour, NSLayoutAttribute::bottom, 4);
    EXPECT_EQ(
        cs_constraintWithAttribute(*view, NSLayoutAttribute::top, neighbour.get(), NSLayoutAttribute::bottom),
        below);
    EXPECT_EQ(
        cs_constraintWithAttribute(*view, NSLayoutAttribute::top, neighbour.get(), NSLayoutAttribute::top),
        nullptr);
    EXPECT_EQ(cs_topConstraint(*view), nullptr); // the standard search looks only at the superview

    // Builder constraints are found like any other.
    auto other = makeView();
    root->addSubview(other);
    snp(other).makeConstraints([](ConstraintMaker& make) { make.trailing().equalToSuperview().offset(-6); });
    auto found = cs_rightConstraint(*other);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->constant(), -6);
}

}
