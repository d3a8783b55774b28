#include "platform/ui/controls/UIButton.h"
#include "platform/ui/gestures/UILongPressGestureRecognizer.h"
#include "platform/ui/gestures/UIPanGestureRecognizer.h"
#include "platform/ui/gestures/UISwipeGestureRecognizer.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/gestures/UITouch.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

namespace {

using State = UIGestureRecognizerState;

// Records the touches a view gets.
class TouchLog : public UIView {
public:
    std::vector<std::string> log;
    void touchesBegan(const UITouchSet&, const UIEvent*) override { log.push_back("began"); }
    void touchesMoved(const UITouchSet&, const UIEvent*) override { log.push_back("moved"); }
    void touchesEnded(const UITouchSet&, const UIEvent*) override { log.push_back("ended"); }
    void touchesCancelled(const UITouchSet&, const UIEvent*) override { log.push_back("cancelled"); }
};

class Gestures : public zvtest::WindowTest { };

TEST_F(Gestures, TapReachesRecognisersOfTheHitViewAndItsAncestors)
{
    auto outer = add({ 0, 0, 300, 300 });
    auto inner = add<TouchLog>({ 10, 10, 100, 100 }, outer);
    int outerTaps = 0;
    CGPoint where;
    outer->addGestureRecognizer(std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer& r) {
        ++outerTaps;
        where = r.location(outer.get());
    }));

    driver.tap({ 30, 40 });
    EXPECT_EQ(outerTaps, 1);
    EXPECT_EQ(where, (CGPoint { 30, 40 }));
    // The recognition cancels the view's touches (cancelsTouchesInView).
    EXPECT_EQ(inner->log, (std::vector<std::string> { "began", "cancelled" }));
}

TEST_F(Gestures, SingleTapThatRequiresDoubleTapToFailWaitsForTheDoubleTapWindow)
{
    auto view = add({ 0, 0, 300, 300 });
    int singles = 0, doubles = 0;
    auto single = std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++singles; });
    auto twice = std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++doubles; });
    twice->numberOfTapsRequired = 2;
    single->requireToFail(twice);
    view->addGestureRecognizer(single);
    view->addGestureRecognizer(twice);

    driver.tap({ 100, 100 });
    EXPECT_EQ(singles, 0) << "the single tap must wait while a double tap may follow";
    advance(0.29);
    EXPECT_EQ(singles, 0);
    advance(0.02);
    EXPECT_EQ(singles, 1);
    EXPECT_EQ(doubles, 0);

    driver.doubleTap({ 100, 100 });
    advance(1);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(singles, 1) << "a double tap must not also fire the single tap";

    // Without the requirement both fire: the single tap at once, the double on the second tap.
    auto other = add({ 0, 400, 300, 300 });
    int s = 0, d = 0;
    auto oneTap = std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++s; });
    auto twoTaps = std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++d; });
    twoTaps->numberOfTapsRequired = 2;
    other->addGestureRecognizer(oneTap);
    other->addGestureRecognizer(twoTaps);
    driver.doubleTap({ 100, 500 });
    advance(1);
    EXPECT_EQ(d, 1);
    EXPECT_GE(s, 1);
}

TEST_F(Gestures, PanReportsTranslationAndVelocityOnTheVirtualClock)
{
    auto view = add({ 0, 0, 390, 844 });
    std::vector<State> states;
    CGPoint endTranslation, endVelocity;
    auto pan = std::make_shared<UIPanGestureRecognizer>();
    pan->addTarget([&](UIGestureRecognizer& r) {
        auto& p = static_cast<UIPanGestureRecognizer&>(r);
        states.push_back(r.state());
        if (r.state() == State::ended) {
            endTranslation = p.translation(view.get());
            endVelocity = p.velocity(view.get());
        }
    });
    view->addGestureRecognizer(pan);

    driver.drag({ 50, 100 }, { 50, 400 }, 0.5);
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ(states.front(), State::began);
    EXPECT_EQ(states.back(), State::ended);
    EXPECT_NEAR(endTranslation.y, 300, 0.01);
    EXPECT_NEAR(endTranslation.x, 0, 0.01);
    EXPECT_NEAR(endVelocity.y, 600, 1);
    EXPECT_EQ(pan->state(), State::possible) << "reset once the touch is over";

    // setTranslation rebases the translation mid-drag.
    CGPoint rebased;
    pan->removeAllTargets();
    pan->addTarget([&](UIGestureRecognizer& r) {
        auto& p = static_cast<UIPanGestureRecognizer&>(r);
        if (r.state() == State::began)
            p.setTranslation({}, view.get());
        if (r.state() == State::ended)
            rebased = p.translation(view.get());
    });
    driver.drag({ 100, 100 }, { 300, 100 }, 0.2);
    EXPECT_LT(rebased.x, 200);
    EXPECT_GT(rebased.x, 150);
}

TEST_F(Gestures, PanThatMayNotBeginLetsTheTapThrough)
{
    auto view = add({ 0, 0, 390, 844 });
    int began = 0, taps = 0;
    auto pan = std::make_shared<UIPanGestureRecognizer>([&](UIGestureRecognizer& r) {
        if (r.state() == State::began)
            ++began;
    });
    // Only downward drags (as the photo browser's drag-to-close allows).
    pan->shouldBegin = [](UIGestureRecognizer& r) {
        return static_cast<UIPanGestureRecognizer&>(r).velocity(nullptr).y >= 0;
    };
    view->addGestureRecognizer(pan);
    view->addGestureRecognizer(
        std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++taps; }));

    driver.drag({ 100, 400 }, { 100, 200 }, 0.3);
    EXPECT_EQ(began, 0);
    driver.drag({ 100, 200 }, { 100, 400 }, 0.3);
    EXPECT_EQ(began, 1);
    driver.tap({ 10, 10 });
    EXPECT_EQ(taps, 1);
}

TEST_F(Gestures, LongPressBeginsAfterTheMinimumDurationAndBeatsTheTap)
{
    auto view = add({ 0, 0, 300, 300 });
    std::vector<State> states;
    int taps = 0;
    auto press = std::make_shared<UILongPressGestureRecognizer>(
        [&](UIGestureRecognizer& r) { states.push_back(r.state()); });
    press->minimumPressDuration = 0.4;
    view->addGestureRecognizer(press);
    view->addGestureRecognizer(
        std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++taps; }));

    driver.longPress({ 100, 100 }, 0.3);
    EXPECT_TRUE(states.empty());
    EXPECT_EQ(taps, 1) << "a short press is a tap";

    auto window = this->window;
    ASSERT_TRUE(UIEventDispatcher::shared().touchDown(window, { 100, 100 }));
    advance(0.39);
    EXPECT_TRUE(states.empty());
    advance(0.02);
    EXPECT_EQ(states, (std::vector<State> { State::began }));
    UIEventDispatcher::shared().touchMove({ 105, 100 });
    UIEventDispatcher::shared().touchUp({ 105, 100 });
    EXPECT_EQ(states, (std::vector<State> { State::began, State::changed, State::ended }));
    EXPECT_EQ(taps, 1);

    // Moving away before the duration fails it.
    states.clear();
    driver.drag({ 100, 100 }, { 200, 100 }, 0.6);
    EXPECT_TRUE(states.empty());
}

TEST_F(Gestures, ButtonInsideATappableViewKeepsItsTapButAPanCancelsIt)
{
    auto container = add({ 0, 0, 390, 600 });
    auto button = add<UIButton>({ 100, 100, 120, 44 }, container);
    int containerTaps = 0, buttonTaps = 0, cancels = 0, pans = 0;
    container->addGestureRecognizer(
        std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++containerTaps; }));
    button->addAction(UIControlEventTouchUpInside, [&](UIControl&) { ++buttonTaps; });
    button->addAction(UIControlEventTouchCancel, [&](UIControl&) { ++cancels; });

    driver.tap({ 150, 120 });
    EXPECT_EQ(buttonTaps, 1);
    EXPECT_EQ(containerTaps, 0);
    driver.tap({ 10, 10 });
    EXPECT_EQ(containerTaps, 1);

    container->addGestureRecognizer(std::make_shared<UIPanGestureRecognizer>([&](UIGestureRecognizer& r) {
        if (r.state() == State::began)
            ++pans;
    }));
    driver.drag({ 150, 120 }, { 150, 300 }, 0.3);
    EXPECT_EQ(pans, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(buttonTaps, 1);
    EXPECT_FALSE(button->isHighlighted());

    // Recognising together, when the delegate allows it.
    int swipes = 0;
    auto swipe = std::make_shared<UISwipeGestureRecognizer>([&](UIGestureRecognizer&) { ++swipes; });
    swipe->direction = UISwipeGestureRecognizerDirectionDown;
    swipe->shouldRecognizeSimultaneously = [](UIGestureRecognizer&, UIGestureRecognizer&) { return true; };
    container->addGestureRecognizer(swipe);
    driver.drag({ 50, 300 }, { 50, 450 }, 0.2);
    EXPECT_EQ(swipes, 1);
    EXPECT_EQ(pans, 2);
}

TEST_F(Gestures, DisabledOrRefusingRecognisersGetNothing)
{
    auto view = add({ 0, 0, 300, 300 });
    int taps = 0;
    auto tap = std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++taps; });
    view->addGestureRecognizer(tap);
    tap->setEnabled(false);
    driver.tap({ 10, 10 });
    EXPECT_EQ(taps, 0);
    tap->setEnabled(true);
    tap->shouldReceiveTouch
        = [](UIGestureRecognizer&, const UITouch& touch) { return touch.location(nullptr).x > 100; };
    driver.tap({ 10, 10 });
    EXPECT_EQ(taps, 0);
    driver.tap({ 150, 10 });
    EXPECT_EQ(taps, 1);
    // A recogniser whose view goes away in its own action does not crash the dispatch.
    tap->addTarget([&](UIGestureRecognizer&) { view->removeGestureRecognizer(tap.get()); });
    driver.tap({ 150, 10 });
    driver.tap({ 150, 10 });
    EXPECT_EQ(taps, 2);
}

}
