#include "platform/ui/UIImageView.h"
#include "platform/ui/UIView.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>

namespace {

class Animation : public zvtest::MainLoopTest { };

TEST_F(Animation, ValuesApplyAtOnceAndCompletionWaitsForTheDurationEvenWithoutTheView)
{
    auto view = UIView::create(CGRect { 0, 0, 10, 10 });
    std::vector<bool> completions;
    UIView::animate(
        0.3, [&] { view->setAlpha(0); }, [&](bool finished) { completions.push_back(finished); });
    {
        // The completion of a view that is gone still runs, finished.
        auto gone = UIView::create();
        UIView::animate(
            0.3, [&] { gone->setAlpha(0); }, [&](bool finished) { completions.push_back(finished); });
    }
    EXPECT_EQ(view->alpha(), 0);
    ASSERT_TRUE(view->layer()->animation("opacity"));
    advance(0.29);
    EXPECT_TRUE(completions.empty());
    advance(0.01);
    EXPECT_EQ(completions, (std::vector<bool> { true, true }));
    // The recorded animation has run its course.
    EXPECT_FALSE(view->layer()->animation("opacity"));
}

TEST_F(Animation, LayerAnimationRecords)
{
    auto layer = CALayer::make();
    std::vector<bool> stops;
    auto spin = CABasicAnimation::make("transform.rotation");
    spin->toValue = CGFloat(6.28);
    spin->duration = 1;
    spin->repeatCount = INFINITY;
    layer->add(spin, "spin");
    auto fade = CABasicAnimation::make("opacity");
    fade->duration = 0.5;
    fade->didStop = [&](bool finished) { stops.push_back(finished); };
    layer->add(fade, "fade");
    EXPECT_EQ(layer->animationKeys(), (std::vector<std::string> { "spin", "fade" }));

    advance(0.5);
    EXPECT_EQ(stops, std::vector<bool> { true });
    EXPECT_EQ(layer->animationKeys(), std::vector<std::string> { "spin" });
    advance(100);
    EXPECT_TRUE(layer->animation("spin"));

    // Replacing under the same key stops the old one early.
    auto again = CABasicAnimation::make("opacity");
    again->didStop = [&](bool finished) { stops.push_back(finished); };
    layer->add(again, "spin");
    layer->removeAllAnimations();
    EXPECT_EQ(stops, (std::vector<bool> { true, false }));
    EXPECT_TRUE(layer->animationKeys().empty());
    // A removed animation does not come back or fire when its time passes.
    advance(1);
    EXPECT_EQ(stops.size(), 2u);
}

}

// Frames in turn at a thirtieth of a second each unless a duration is given; a repeat count stops
// the animation, and the still image comes back.
TEST_F(Animation, ImageViewsPlayTheirFramesAndStopAfterTheirRepeats)
{
    auto view = UIView::create<UIImageView>(CGRect { 0, 0, 4, 4 });
    UIImage still = UIImage::filled(UIColor::black(), { 4, 4 });
    view->setImage(still);
    view->setAnimationImages({ UIImage::filled(UIColor::red(), { 4, 4 }),
        UIImage::filled(UIColor::green(), { 4, 4 }), UIImage::filled(UIColor::blue(), { 4, 4 }) });
    view->startAnimating();
    ASSERT_TRUE(view->isAnimating());
    advance(0.05);
    EXPECT_EQ(view->currentAnimationFrame(), 1u);
    advance(0.06);
    EXPECT_EQ(view->currentAnimationFrame(), 0u); // past 0.1 s: one cycle of three frames

    view->stopAnimating();
    view->animationDuration = 3;
    view->animationRepeatCount = 2;
    view->startAnimating();
    advance(5.9);
    EXPECT_TRUE(view->isAnimating());
    advance(0.2);
    EXPECT_FALSE(view->isAnimating());
    EXPECT_EQ(view->layer()->contents(), still);
}
