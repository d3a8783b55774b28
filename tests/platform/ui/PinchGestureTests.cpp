#include "platform/ui/gestures/UIPanGestureRecognizer.h"
#include "platform/ui/gestures/UIPinchGestureRecognizer.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

namespace {

using State = UIGestureRecognizerState;

class Pinch : public zvtest::WindowTest { };

TEST_F(Pinch, TwoFingersScaleAboutTheirMidpointAndWinOverOneFingerDrags)
{
    auto view = add({ 0, 0, 390, 600 });
    auto inner = add({ 100, 100, 200, 200 }, view);
    std::vector<State> states;
    std::vector<CGFloat> scales;
    CGPoint where;
    auto pinch = std::make_shared<UIPinchGestureRecognizer>([&](UIGestureRecognizer& r) {
        auto& p = static_cast<UIPinchGestureRecognizer&>(r);
        states.push_back(p.state());
        scales.push_back(p.scale());
        where = p.location(inner.get());
    });
    int pans = 0, taps = 0;
    view->addGestureRecognizer(
        std::make_shared<UIPanGestureRecognizer>([&](UIGestureRecognizer&) { ++pans; }));
    view->addGestureRecognizer(
        std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++taps; }));
    view->addGestureRecognizer(pinch);

    // Fingers 50 apart spread to 150: the pan never hears of the first finger's travel.
    ASSERT_TRUE(driver.pinch({ 200, 200 }, 50, 150, 0.5));
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ(states.front(), State::began);
    EXPECT_EQ(states.back(), State::ended);
    EXPECT_DOUBLE_EQ(scales.back(), 3.0);
    EXPECT_EQ(where, (CGPoint { 100, 100 }));
    EXPECT_EQ(pans, 0);
    EXPECT_EQ(taps, 0);

    // Fingers that barely move stay below the threshold; one finger alone is a pan.
    states.clear();
    ASSERT_TRUE(driver.pinch({ 200, 200 }, 100, 104, 0.2));
    EXPECT_TRUE(states.empty());
    advance(1);
    ASSERT_TRUE(driver.drag({ 50, 50 }, { 50, 250 }, 0.3));
    EXPECT_TRUE(states.empty());
    EXPECT_GT(pans, 0);
}

}
