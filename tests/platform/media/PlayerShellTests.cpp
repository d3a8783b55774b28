// The full player's controls, layers, rotation, prompts and gestures, on the scripted engine.

#include "platform/dispatch/DispatchQueue.h"
#include "platform/media/AVRoutePickerView.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIDevice.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>

namespace {

const std::string titleClip = "https://media.test/title.m3u8";

std::vector<int> tagsOf(const SJEdgeControlButtonItemAdapter& adapter)
{
    std::vector<int> tags;
    for (const auto& item : adapter.items())
        tags.push_back(item->tag());
    return tags;
}

NSAttributedString text(const std::string& string)
{
    return NSAttributedString(string, { .font = UIFont::systemFont(16, UIFont::Weight::medium), .foregroundColor = UIColor::white() });
}

class PlayerShellTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        SJRotationManager::resetForTesting();
        SJBaseVideoPlayer::setPlaybackControllerFactory([] { return SJScriptedPlaybackController::make(); });
        window = std::make_shared<UIWindow>();
        window->makeKeyAndVisible();
        player = SJVideoPlayer::player();
        player->view()->setFrame({ { 0, 100 }, { 390, 219 } });
        window->addSubview(player->view());
        window->layoutIfNeeded();
    }
    void TearDown() override
    {
        player.reset();
        window.reset();
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        SJScriptedPlaybackController::clearScripts();
        UIScreen::main().resetForTesting();
        UIApplication::shared().resetForTesting();
        MainLoopTest::TearDown();
    }

    void play(const std::string& url = titleClip)
    {
        player->setURLAsset(SJVideoPlayerURLAsset::initWithURL(url));
        advance(0.5);
    }

    std::shared_ptr<UIWindow> window;
    std::shared_ptr<SJVideoPlayer> player;
};

}

TEST_F(PlayerShellTest, RowsHoldTheLayersItemsAndTakeOwnersItemsInOrder)
{
    auto& edge = *player->defaultEdgeControlLayer();
    EXPECT_EQ(tagsOf(*edge.topAdapter()), (std::vector<int> { SJEdgeControlLayerTopItem_Back, SJEdgeControlLayerTopItem_Title }));
    auto& bottom = *edge.bottomAdapter();
    bottom.removeItemForTag(SJEdgeControlLayerBottomItem_Separator);
    bottom.exchangeItemForTag(SJEdgeControlLayerBottomItem_Progress, SJEdgeControlLayerBottomItem_DurationTime);
    bottom.exchangeItemForTag(SJEdgeControlLayerBottomItem_Progress, 424242); // none such: nothing
    EXPECT_EQ(tagsOf(bottom),
        (std::vector<int> { SJEdgeControlLayerBottomItem_Play, SJEdgeControlLayerBottomItem_CurrentTime,
            SJEdgeControlLayerBottomItem_Progress, SJEdgeControlLayerBottomItem_DurationTime,
            SJEdgeControlLayerBottomItem_Full }));
    EXPECT_EQ(edge.centerAdapter()->itemForTag(SJEdgeControlLayerCenterItem_Replay)->alpha(), 0);

    // An own row: actions run in order, the filler takes the free width, insets hold, a hidden
    // item leaves its place at once.
    auto row = std::make_shared<SJEdgeControlButtonItemAdapter>(CGRect(), SJAdapterLayoutType::horizontal);
    std::vector<std::string> ran;
    auto speed = SJEdgeControlButtonItem::initWithTitle(text("1.0X"), [&](SJEdgeControlButtonItem&) { ran.push_back("own"); }, 2002);
    speed->setInsets(SJEdgeInsetsMake(12, 12));
    speed->addAction(SJEdgeControlButtonItemAction::actionWithHandler([&](SJEdgeControlButtonItemAction& action) {
        ran.push_back("added " + std::to_string(action.item()->tag()));
    }));
    auto picker = std::make_shared<AVRoutePickerView>(CGRect { { 0, 0 }, { 18, 18 } });
    row->addItemsFromArray({ SJEdgeControlButtonItem::initWithImage(UIImage::filled(UIColor::white(), { 20, 20 }), nullptr, 3000),
        SJEdgeControlButtonItem::placeholderFillingWidth(404), speed,
        SJEdgeControlButtonItem::initWithCustomView(picker, 1001) });
    edge.bottomContainerView()->addSubview(row);
    row->setFrame({ { 0, 0 }, { 390, 49 } });
    row->layoutIfNeeded();

    auto button = std::dynamic_pointer_cast<UIButton>(row->viewForItemForTag(2002));
    ASSERT_TRUE(button);
    CGRect speedFrame = button->frame();
    EXPECT_EQ(picker->frame().origin.x, 390 - 18);
    EXPECT_EQ(speedFrame.origin.x + speedFrame.size.width + 12, picker->frame().origin.x);
    EXPECT_EQ(row->viewForItemForTag(3000)->frame().size.width, SJEdgeControlButtonItemAdapter::itemExtent);
    button->sendActions(UIControlEventTouchUpInside);
    EXPECT_EQ(ran, (std::vector<std::string> { "own", "added 2002" }));

    speed->setHidden(true);
    EXPECT_FALSE(row->viewForItemForTag(2002));
    EXPECT_EQ(picker->frame().origin.x, 390 - 18);
    EXPECT_FALSE(row->itemForTag(1234));
}

TEST_F(PlayerShellTest, AFailedAssetShowsTheLoadFailedLayerAndANewAssetTheEdgeLayer)
{
    auto controls = player->presentView()->controlView();
    auto shows = [&](const std::shared_ptr<UIView>& layer) { return layer->superview() == controls; };
    EXPECT_TRUE(shows(player->defaultEdgeControlLayer()));

    SJScriptedMedia broken;
    broken.failsToOpen = true;
    SJScriptedPlaybackController::script(titleClip, broken);
    play();
    EXPECT_EQ(player->currentControlLayerIdentifier(), SJControlLayer_LoadFailed);
    EXPECT_TRUE(shows(player->defaultLoadFailedControlLayer()));
    EXPECT_FALSE(shows(player->defaultEdgeControlLayer()));

    play(titleClip + "?other");
    EXPECT_EQ(player->currentControlLayerIdentifier(), SJControlLayer_Edge);
    EXPECT_TRUE(shows(player->defaultEdgeControlLayer()));

    // Owners switch by themselves too (a title without sources); unknown layers change nothing.
    player->switchControlLayerForIdentifier(SJControlLayer_LoadFailed);
    player->switchControlLayerForIdentifier(77);
    EXPECT_TRUE(shows(player->defaultLoadFailedControlLayer()));
    EXPECT_EQ(player->defaultLoadFailedControlLayer()->frame(), controls->bounds());
}

TEST_F(PlayerShellTest, TurningToFullScreenMovesThePictureIntoAWindowOfItsOwnAndBack)
{
    std::vector<std::pair<bool, bool>> heard; // (isTransitioning, isFullscreen)
    player->rotationObserver().onTransitioningChanged = [&](SJRotationManager& manager, bool isTransitioning) {
        heard.emplace_back(isTransitioning, manager.isFullscreen());
    };
    play();
    auto full = player->defaultEdgeControlLayer()->bottomAdapter()->viewForItemForTag(SJEdgeControlLayerBottomItem_Full);
    std::dynamic_pointer_cast<UIButton>(full)->sendActions(UIControlEventTouchUpInside);

    EXPECT_TRUE(player->isFullscreen());
    EXPECT_EQ(UIScreen::main().interfaceOrientation(), UIInterfaceOrientation::landscapeRight);
    EXPECT_EQ(SJRotationManager::supportedInterfaceOrientationsForWindow(window.get()), UIInterfaceOrientationMaskLandscape);
    auto fullscreenWindow = player->presentView()->window();
    ASSERT_TRUE(fullscreenWindow);
    EXPECT_NE(fullscreenWindow, window);
    EXPECT_GT(fullscreenWindow->windowLevel(), window->windowLevel());
    EXPECT_EQ(player->presentView()->frame(), UIScreen::main().bounds());
    EXPECT_EQ(heard, (std::vector<std::pair<bool, bool>> { { true, true } }));
    // Another turn while one is under way does nothing.
    player->rotationManager().rotate();
    advance(SJRotationManager::transitionDuration);
    EXPECT_EQ(heard, (std::vector<std::pair<bool, bool>> { { true, true }, { false, true } }));

    // The back item in full screen turns back.
    auto back = player->defaultEdgeControlLayer()->topAdapter()->viewForItemForTag(SJEdgeControlLayerTopItem_Back);
    std::dynamic_pointer_cast<UIButton>(back)->sendActions(UIControlEventTouchUpInside);
    advance(SJRotationManager::transitionDuration);
    EXPECT_FALSE(player->isFullscreen());
    EXPECT_EQ(player->presentView()->superview(), player->view());
    EXPECT_EQ(player->presentView()->frame(), player->view()->bounds());
    EXPECT_EQ(UIScreen::main().interfaceOrientation(), UIInterfaceOrientation::portrait);
    EXPECT_EQ(heard.size(), 4u);

    // A player whose turning is off stays put when the device turns.
    player->rotationManager().setDisabledAutorotation(true);
    UIDevice::current().setOrientation(UIDeviceOrientation::landscapeLeft);
    EXPECT_FALSE(player->isFullscreen());
    UIDevice::current().resetForTesting();
}

TEST_F(PlayerShellTest, ControlsGoAfterTheIntervalWhilePlayingAndATapBringsThemBack)
{
    player->controlLayerAppearManager().setInterval(5);
    play();
    auto& edge = *player->defaultEdgeControlLayer();
    EXPECT_TRUE(edge.isAppeared());
    advance(4.9);
    EXPECT_TRUE(edge.isAppeared());
    advance(0.2);
    EXPECT_FALSE(edge.isAppeared());

    TouchDriver driver;
    EXPECT_TRUE(driver.tap({ 195, 200 }));
    advance(1);
    EXPECT_TRUE(edge.isAppeared());
    // Paused, they stay.
    player->pause();
    advance(10);
    EXPECT_TRUE(edge.isAppeared());

    // A single-tap handler of the owner takes the place of the toggle.
    int taps = 0;
    player->gestureController().singleTapHandler = [&](SJBaseVideoPlayer&, CGPoint) { ++taps; };
    driver.tap({ 195, 200 });
    advance(1);
    EXPECT_EQ(taps, 1);
    EXPECT_TRUE(edge.isAppeared());
}

TEST_F(PlayerShellTest, HoldingThePictureGivesTheLongPressRateOnlyWhenTheMaskHasIt)
{
    play();
    player->setRate(1.25);
    TouchDriver driver;
    driver.longPress({ 195, 200 }, 1.0);
    EXPECT_EQ(player->rate(), 1.25);

    player->gestureController().supportedGestureTypes |= SJPlayerGestureTypeMask_LongPress;
    player->setRateWhenLongPressGestureTriggered(1.5);
    double during = 0;
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 0.8, [&] { during = player->rate(); });
    driver.longPress({ 195, 200 }, 1.0);
    EXPECT_EQ(during, 1.5);
    EXPECT_EQ(player->rate(), 1.25);
}

TEST_F(PlayerShellTest, PromptsStackUntilTheirTimeAndThePopUpShowsOneText)
{
    auto& prompts = player->promptingPopupController();
    prompts.show(text("已为你跳过片头"));
    prompts.show(text("10s后为您跳过片尾 [取消]"), 10);
    ASSERT_EQ(prompts.displayingViews().size(), 2u);
    CGRect older = prompts.displayingViews()[0]->frame();
    CGRect newer = prompts.displayingViews()[1]->frame();
    EXPECT_LT(older.origin.y, newer.origin.y); // the newest lowest
    EXPECT_EQ(newer.origin.x, prompts.leftMargin());
    advance(SJPromptingPopupController::defaultDuration);
    ASSERT_EQ(prompts.displayingViews().size(), 1u);
    prompts.clear();
    EXPECT_FALSE(prompts.isDisplaying());

    auto& popup = player->textPopupController();
    popup.show(text("视频加载缓慢"), 5);
    advance(3);
    popup.show(text("第二条"), 5);
    advance(3); // the first one's time is up, not the second's
    EXPECT_TRUE(popup.displayingView());
    advance(2);
    EXPECT_FALSE(popup.displayingView());
}
