// The mouse and keyboard of a window as the phone's screen takes them, without a display: the
// input is handed to WindowInput directly, on the virtual clock.

#include "platform/media/SJRotationManager.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UIDevice.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/gestures/UILongPressGestureRecognizer.h"
#include "platform/ui/gestures/UIPinchGestureRecognizer.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "platform/ui/web/WKWebView.h"
#include "platform/window/WindowInput.h"
#include "tests/display/XvfbDisplay.h"
#include "tests/platform/ui/GestureTestSupport.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/TestServer.h"

#include <gtest/gtest.h>

namespace {

class WindowInputTest : public zvtest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        UIDevice::current().resetForTesting();
    }
    void TearDown() override
    {
        input.pointerCancel();
        UIDevice::current().resetForTesting();
        WindowTest::TearDown();
    }

    // A finger put down, moved to each point one frame apart, and lifted at the last.
    void drag(std::initializer_list<CGPoint> points, bool pinch = false)
    {
        auto at = points.begin();
        input.pointerDown(*at, pinch);
        for (++at; at != points.end(); ++at) {
            advance(1.0 / 60);
            input.pointerMove(*at);
        }
        advance(1.0 / 60);
        input.pointerUp(*(points.end() - 1));
        advance(0);
    }

    // A scroll view of 300 x 400 points over content 300 x 2000 at the top of the window.
    std::shared_ptr<UIScrollView> list()
    {
        auto scroll = add<UIScrollView>({ 0, 0, 300, 400 });
        scroll->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
        scroll->setContentSize({ 300, 2000 });
        return scroll;
    }

    std::shared_ptr<UITextField> focusedField()
    {
        auto field = add<UITextField>({ 20, 500, 300, 40 });
        field->becomeFirstResponder();
        return field;
    }

    WindowInput input;
};

TEST_F(WindowInputTest, PressAndReleaseTapAButtonAndNothingElse)
{
    auto button = add<UIButton>({ 100, 100, 120, 44 });
    int taps = 0;
    button->addAction(UIControlEventTouchUpInside, [&](UIControl&) { ++taps; });

    input.pointerDown({ 150, 120 });
    EXPECT_TRUE(input.isPressed());
    advance(0.05);
    input.pointerUp({ 150, 120 });
    advance(0);
    EXPECT_EQ(taps, 1);
    EXPECT_FALSE(input.isPressed());

    // Released outside the button: a touch-up outside, no tap. A press on nothing holds nothing.
    input.pointerDown({ 150, 120 });
    input.pointerMove({ 150, 400 });
    input.pointerUp({ 150, 400 });
    EXPECT_EQ(taps, 1);
    window->setUserInteractionEnabled(false);
    input.pointerDown({ 150, 120 });
    EXPECT_FALSE(input.isPressed());
}

TEST_F(WindowInputTest, DragScrollsTheContentAndHoldingStillIsALongPress)
{
    auto scroll = list();
    drag({ { 150, 350 }, { 150, 330 }, { 150, 300 }, { 150, 250 }, { 150, 200 } });
    EXPECT_GT(scroll->contentOffset().y, 140) << "the content follows the finger up";

    auto pressed = add<UIView>({ 0, 600, 300, 100 });
    int began = 0;
    auto longPress = std::make_shared<UILongPressGestureRecognizer>([&](UIGestureRecognizer& recognizer) {
        if (recognizer.state() == UIGestureRecognizerState::began)
            ++began;
    });
    pressed->addGestureRecognizer(longPress);
    input.pointerDown({ 150, 650 });
    advance(0.3);
    EXPECT_EQ(began, 0);
    advance(0.3);
    EXPECT_EQ(began, 1);
    input.pointerUp({ 150, 650 });
}

TEST_F(WindowInputTest, PinchModifierPutsTwoFingersMirroredAboutTheScreenCentre)
{
    // The screen's centre is (195, 422); the view covers the window.
    auto canvas = add<UIView>(window->bounds());
    std::vector<CGFloat> scales;
    auto pinch = std::make_shared<UIPinchGestureRecognizer>([&](UIGestureRecognizer& recognizer) {
        scales.push_back(static_cast<UIPinchGestureRecognizer&>(recognizer).scale());
    });
    canvas->addGestureRecognizer(pinch);

    // From 50 points off the centre to 100: the fingers' distance doubles.
    drag({ { 245, 422 }, { 265, 422 }, { 280, 422 }, { 295, 422 } }, true);
    ASSERT_FALSE(scales.empty());
    EXPECT_NEAR(scales.back(), 2.0, 0.01);
    EXPECT_FALSE(input.isPinching());

    // Towards the centre it closes; without the modifier the same drag is no pinch at all.
    scales.clear();
    drag({ { 295, 422 }, { 270, 422 }, { 250, 422 }, { 245, 422 } }, true);
    ASSERT_FALSE(scales.empty());
    EXPECT_NEAR(scales.back(), 0.5, 0.01);
    scales.clear();
    drag({ { 245, 422 }, { 265, 422 }, { 280, 422 }, { 295, 422 } });
    EXPECT_TRUE(scales.empty());
}

TEST_F(WindowInputTest, WheelMovesTheInnermostScrollViewThatCanMoveWithinItsBounds)
{
    auto outer = list();
    auto inner = add<UIScrollView>({ 0, 0, 300, 200 }, outer);
    inner->setContentSize({ 900, 200 }); // sideways only

    // Down the wheel over the sideways list: the outer one moves.
    EXPECT_TRUE(input.wheel({ 100, 100 }, { 0, 48 }));
    EXPECT_EQ(outer->contentOffset().y, 48);
    EXPECT_EQ(inner->contentOffset().x, 0);
    // Sideways: the inner one.
    EXPECT_TRUE(input.wheel({ 100, 100 }, { 96, 0 }));
    EXPECT_EQ(inner->contentOffset().x, 96);

    struct Case {
        CGVector delta;
        CGFloat expected;
        bool moved;
    };
    // Content 2000 in 400 points: the offset stays within 0 and 1600.
    const Case cases[] = {
        { { 0, -100 }, 0, true }, // back past the start: to the start
        { { 0, -48 }, 0, false }, // at the start, nothing moves
        { { 0, 5000 }, 1600, true },
        { { 0, 48 }, 1600, false },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(input.wheel({ 100, 300 }, c.delta), c.moved) << c.delta.dy;
        EXPECT_EQ(outer->contentOffset().y, c.expected) << c.delta.dy;
    }

    // A finger down holds the content.
    input.pointerDown({ 100, 300 });
    EXPECT_FALSE(input.wheel({ 100, 300 }, { 0, -48 }));
}

TEST_F(WindowInputTest, WheelTurnsAPagingViewOnePageAtATimeAsAFlickDoes)
{
    // A vertical feed of four pages of 400 points, as the short videos have it, whose owner plays
    // the page where a scroll comes to rest.
    struct Feed : UIScrollViewDelegate {
        void scrollViewDidEndDecelerating(UIScrollView& view) override
        {
            rests.push_back(view.contentOffset().y);
        }
        std::vector<CGFloat> rests;
    };
    auto delegate = std::make_shared<Feed>();
    auto feed = list();
    feed->setContentSize({ 300, 1600 });
    feed->setPagingEnabled(true);
    feed->setDelegate(delegate);
    auto carousel = add<UIScrollView>({ 0, 0, 300, 200 }, feed); // sideways pages inside
    carousel->setContentSize({ 900, 200 });
    carousel->setPagingEnabled(true);

    struct Case {
        CGVector delta;
        bool taken;
        CGFloat offset; // once the turn has come to rest
    };
    const Case cases[] = {
        { { 0, 48 }, true, 400 }, // down a notch: the next clip
        { { 3, 120 }, true, 800 }, // a touchpad's stroke, a little sideways: still down
        { { 0, -48 }, true, 400 }, // up: the previous one
        { { 0, -48 }, true, 0 }, { { 0, -48 }, false, 0 }, // at the first, nothing to go back to
    };
    for (const auto& c : cases) {
        EXPECT_EQ(input.wheel({ 100, 300 }, c.delta), c.taken) << c.delta.dy;
        // The notches that follow while it turns are spent.
        EXPECT_EQ(input.wheel({ 100, 300 }, c.delta), c.taken) << c.delta.dy;
        advance(UIScrollView::decelerationDuration);
        EXPECT_EQ(feed->contentOffset().y, c.offset) << c.delta.dy;
    }
    EXPECT_EQ(delegate->rests, (std::vector<CGFloat> { 400, 800, 400, 0 }));

    // Sideways over the carousel: its next page; the feed stays.
    EXPECT_TRUE(input.wheel({ 100, 100 }, { 48, 2 }));
    advance(UIScrollView::decelerationDuration);
    EXPECT_EQ(carousel->contentOffset().x, 300);
    EXPECT_EQ(feed->contentOffset().y, 0);
}

TEST_F(WindowInputTest, TextAndCompositionsGoIntoTheFirstResponder)
{
    EXPECT_FALSE(input.text("a")) << "nothing to type into";
    auto field = focusedField();
    std::vector<std::string> edits;
    field->addAction(UIControlEventEditingChanged,
        [&](UIControl& control) { edits.push_back(static_cast<UITextField&>(control).text()); });

    EXPECT_TRUE(input.text("ni "));
    // An input method's composition shows as marked text, then the committed word replaces it.
    EXPECT_TRUE(input.composition("hao"));
    EXPECT_EQ(field->text(), "ni hao");
    ASSERT_TRUE(field->markedTextRange());
    EXPECT_TRUE(input.text("好"));
    EXPECT_EQ(field->text(), "ni 好");
    EXPECT_FALSE(field->markedTextRange());
    // A composition given up leaves nothing behind.
    input.composition("ma");
    input.composition("");
    EXPECT_EQ(field->text(), "ni 好");
    EXPECT_FALSE(field->markedTextRange());
    EXPECT_EQ(edits.back(), "ni 好");

    EXPECT_TRUE(input.key(WindowKey::deleteBackward));
    EXPECT_EQ(field->text(), "ni ");
    int returns = 0;
    field->addAction(UIControlEventEditingDidEndOnExit, [&](UIControl&) { ++returns; });
    EXPECT_TRUE(input.key(WindowKey::returnKey));
    EXPECT_EQ(returns, 1);
    EXPECT_EQ(field->text(), "ni ");
}

TEST_F(WindowInputTest, BackClosesTheKeyboardThenPopsThenDismissesButLeavesAlerts)
{
    auto navigation = std::make_shared<UINavigationController>(std::make_shared<UIViewController>());
    window->setRootViewController(navigation);
    advance(1);
    navigation->pushViewController(std::make_shared<UIViewController>(), false);
    advance(1);
    auto field = add<UITextField>({ 20, 500, 300, 40 }, navigation->topViewController()->view());
    field->becomeFirstResponder();

    EXPECT_TRUE(input.key(WindowKey::back));
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_TRUE(input.key(WindowKey::back));
    advance(1);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);

    auto sheet = std::make_shared<UINavigationController>(std::make_shared<UIViewController>());
    navigation->present(sheet, false);
    advance(1);
    EXPECT_TRUE(input.key(WindowKey::back));
    advance(1);
    EXPECT_FALSE(navigation->presentedViewController());

    auto alert = UIAlertController::make("", "Sure?", UIAlertControllerStyle::alert);
    alert->addAction(UIAlertAction::make("OK", UIAlertActionStyle::defaultStyle));
    navigation->present(alert, false);
    advance(1);
    EXPECT_FALSE(input.key(WindowKey::back)) << "an alert waits for one of its actions";
    EXPECT_EQ(navigation->presentedViewController(), alert);
    alert->dismiss(false);
    advance(1);
    EXPECT_FALSE(input.key(WindowKey::back)) << "nothing left to go back from";
}

TEST_F(WindowInputTest, BackClosesWhatClosesByEscapeFrontMostFirst)
{
    // A pop-up over the screen that its close button, or the escape gesture, removes.
    struct PopUp : UIView {
        bool accessibilityPerformEscape() override
        {
            removeFromSuperview();
            return true;
        }
    };
    auto navigation = std::make_shared<UINavigationController>(std::make_shared<UIViewController>());
    window->setRootViewController(navigation);
    navigation->pushViewController(std::make_shared<UIViewController>(), false);
    advance(1);
    auto lower = add<PopUp>({ 0, 0, 390, 844 });
    auto upper = add<PopUp>({ 40, 200, 300, 300 });
    auto hiddenOne = add<PopUp>({ 0, 0, 100, 100 });
    hiddenOne->setHidden(true);

    // A sheet that a tap beside it closes, and a prompt that only its own button closes.
    auto sheet = std::make_shared<QMUIModalPresentationViewController>();
    sheet->setContentView(std::make_shared<UIView>(CGRect { 0, 0, 300, 200 }));
    auto prompt = std::make_shared<QMUIModalPresentationViewController>();
    prompt->setModal(true);
    prompt->setContentView(std::make_shared<UIView>(CGRect { 0, 0, 300, 200 }));
    prompt->showWithAnimated(false);
    sheet->showWithAnimated(false);
    advance(1);

    EXPECT_TRUE(input.key(WindowKey::back));
    advance(1);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(input.key(WindowKey::back)) << "the prompt waits for its own button";
    EXPECT_TRUE(prompt->isVisible());
    prompt->hideWithAnimated(false);
    advance(1);

    EXPECT_TRUE(input.key(WindowKey::back));
    EXPECT_FALSE(upper->superview());
    EXPECT_TRUE(lower->superview());
    EXPECT_TRUE(input.key(WindowKey::back));
    EXPECT_FALSE(lower->superview());
    EXPECT_EQ(navigation->viewControllers().size(), 2u) << "nothing popped while a pop-up went";
    EXPECT_TRUE(input.key(WindowKey::back));
    advance(1);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_TRUE(hiddenOne->superview());
}

TEST_F(WindowInputTest, RotateTurnsOnlyWhereTheScreenTurnsAndBackLeavesFullScreen)
{
    auto& device = UIDevice::current();
    auto& screen = UIScreen::main();
    // A screen that stands upright only: nothing turns, and the phone is left as it was.
    EXPECT_FALSE(input.key(WindowKey::rotate));
    EXPECT_EQ(device.orientation(), UIDeviceOrientation::portrait);
    EXPECT_EQ(screen.interfaceOrientation(), UIInterfaceOrientation::portrait);

    // A player on screen turns with the phone, into full screen and back.
    auto holder = add({ 0, 100, 390, 220 });
    auto player = std::make_shared<UIView>(holder->bounds());
    holder->addSubview(player);
    auto rotation = std::make_unique<SJRotationManager>();
    rotation->setViews(player, holder);
    rotation->setDisabledAutorotation(true); // the short videos' players
    EXPECT_FALSE(input.key(WindowKey::rotate));
    EXPECT_EQ(device.orientation(), UIDeviceOrientation::portrait);
    rotation->setDisabledAutorotation(false);

    EXPECT_TRUE(input.key(WindowKey::rotate));
    EXPECT_TRUE(rotation->isFullscreen());
    advance(SJRotationManager::transitionDuration);
    EXPECT_TRUE(input.key(WindowKey::rotate));
    EXPECT_FALSE(rotation->isFullscreen());
    advance(SJRotationManager::transitionDuration);
    EXPECT_EQ(device.orientation(), UIDeviceOrientation::portrait);

    // Full screen by the player's own button, the phone still upright: the key turns it back,
    // and so does back, on the first press.
    for (WindowKey key : { WindowKey::rotate, WindowKey::back }) {
        rotation->rotate(UIInterfaceOrientation::landscapeRight, false);
        ASSERT_TRUE(rotation->isFullscreen());
        EXPECT_TRUE(input.key(key));
        EXPECT_FALSE(rotation->isFullscreen()) << (key == WindowKey::back ? "back" : "rotate");
        EXPECT_EQ(screen.interfaceOrientation(), UIInterfaceOrientation::portrait);
        advance(SJRotationManager::transitionDuration);
    }
    EXPECT_FALSE(input.key(WindowKey::back)) << "upright, nothing to go back from";
}

TEST_F(WindowInputTest, StyleSwapsEveryWindow)
{
    EXPECT_TRUE(input.key(WindowKey::toggleStyle));
    EXPECT_EQ(window->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::dark);
    // A window shown later without a style of its own follows.
    auto overlay = std::make_shared<UIWindow>();
    overlay->setHidden(false);
    input.applyStyle();
    EXPECT_EQ(overlay->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::dark);
    input.key(WindowKey::toggleStyle);
    EXPECT_EQ(window->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::light);
    EXPECT_EQ(overlay->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::light);
}

TEST_F(WindowInputTest, StyleKeyWithAChooserSwapsTheChoiceNotWhatTheKeyWindowShows)
{
    // The key window in a look of its own (a page that is always dark).
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    bool dark = false;
    input.setStyleChooser([&] {
        dark = !dark;
        return dark ? UIUserInterfaceStyle::dark : UIUserInterfaceStyle::light;
    });
    EXPECT_TRUE(input.key(WindowKey::toggleStyle));
    EXPECT_TRUE(dark);
    EXPECT_EQ(window->overrideUserInterfaceStyle(), UIUserInterfaceStyle::dark) << "the chooser's to set";
    // A window opened later (the player's full screen) takes the choice.
    auto overlay = std::make_shared<UIWindow>();
    overlay->setHidden(false);
    input.applyStyle();
    EXPECT_EQ(overlay->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::dark);
}

}

TEST_F(WindowInputTest, WheelOverAWebPageScrollsThePageItself)
{
    std::string why;
    if (!zvtest::XvfbDisplay::shared(&why))
        GTEST_SKIP() << why;
    std::string error;
    auto server = testserver::TestServer::start({ zvtest::testKeysDir(), {} }, &error);
    ASSERT_TRUE(server) << error;
    server->script("/long.html",
        testserver::Reply::text(200,
            "<meta charset=\"utf-8\"><body style=\"margin:0\"><div style=\"height:3000px\">长页</div>",
            "text/html; charset=utf-8"));
    auto outer = list();
    auto web = add<WKWebView>({ 0, 0, 300, 300 }, outer);
    web->load({ server->httpURL() + "/long.html" });
    ASSERT_TRUE(runUntil([&] { return web->hasPage(); }, 30));

    EXPECT_TRUE(input.wheel({ 100, 100 }, { 0, 120 }));
    EXPECT_EQ(outer->contentOffset().y, 0);
    auto scrolled = [&] {
        std::optional<std::string> y;
        web->evaluateJavaScript("scrollY",
            [&](std::optional<std::string> json, std::optional<NSError>) { y = json.value_or("0"); });
        runUntil([&] { return y.has_value(); }, 30);
        return std::stod(y.value_or("0"));
    };
    EXPECT_TRUE(runUntil([&] { return scrolled() >= 117; }, 10)) << scrolled();
    web->removeFromSuperview();
}
