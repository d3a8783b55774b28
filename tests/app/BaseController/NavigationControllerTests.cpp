// The app's two navigation stacks: who keeps the bottom bar, who decides rotation and status
// bar, and when the swipe-back gesture may start.

#include "app/BaseController/ZVNavigationController.h"
#include "app/BaseController/ZV_BaseNavigationController.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UIColor.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>

namespace {

// A screen with answers of its own for every question the stack hands on.
class OpinionatedScreen : public UIViewController {
public:
    bool shouldAutorotate() const override { return rotates; }
    unsigned supportedInterfaceOrientations() const override { return orientations; }
    UIInterfaceOrientation preferredInterfaceOrientationForPresentation() const override { return preferred; }

    bool rotates = false;
    unsigned orientations = UIInterfaceOrientationMaskPortrait;
    UIInterfaceOrientation preferred = UIInterfaceOrientation::portrait;
};

using NavigationControllerTest = zvtest::MainLoopTest;

TEST_F(NavigationControllerTest, OnlyTheRootOfTheAppStackKeepsTheBottomBar)
{
    auto root = UIViewController::create();
    root->setHidesBottomBarWhenPushed(true);
    auto navigation = std::make_shared<ZVNavigationController>(root);
    auto second = UIViewController::create();
    navigation->pushViewController(second, false);
    EXPECT_FALSE(root->hidesBottomBarWhenPushed());
    EXPECT_TRUE(second->hidesBottomBarWhenPushed());

    // A stack started empty: its first screen is the root.
    auto empty = std::make_shared<ZVNavigationController>();
    auto first = UIViewController::create();
    first->setHidesBottomBarWhenPushed(true);
    empty->pushViewController(first, false);
    empty->pushViewController(UIViewController::create(), false);
    EXPECT_FALSE(first->hidesBottomBarWhenPushed());
    EXPECT_TRUE(empty->viewControllers().back()->hidesBottomBarWhenPushed());
}

TEST_F(NavigationControllerTest, TheTopScreenDecidesRotationAndStatusBar)
{
    auto portrait = UIViewController::create<OpinionatedScreen>();
    auto navigation = std::make_shared<ZVNavigationController>(portrait);
    EXPECT_FALSE(navigation->shouldAutorotate());
    EXPECT_EQ(navigation->supportedInterfaceOrientations(), UIInterfaceOrientationMaskPortrait);
    EXPECT_EQ(navigation->childViewControllerForStatusBarStyle(), portrait);
    EXPECT_EQ(navigation->childViewControllerForStatusBarHidden(), portrait);

    // A player-like screen takes effect as soon as it is on top, and gives way when it leaves.
    auto player = UIViewController::create<OpinionatedScreen>();
    player->rotates = true;
    player->orientations = UIInterfaceOrientationMaskAllButUpsideDown;
    player->preferred = UIInterfaceOrientation::landscapeRight;
    navigation->pushViewController(player, false);
    EXPECT_TRUE(navigation->shouldAutorotate());
    EXPECT_EQ(navigation->supportedInterfaceOrientations(), UIInterfaceOrientationMaskAllButUpsideDown);
    EXPECT_EQ(
        navigation->preferredInterfaceOrientationForPresentation(), UIInterfaceOrientation::landscapeRight);
    EXPECT_EQ(navigation->childViewControllerForStatusBarStyle(), player);
    navigation->popViewController(false);
    drain();
    EXPECT_FALSE(navigation->shouldAutorotate());
    EXPECT_EQ(navigation->preferredInterfaceOrientationForPresentation(), UIInterfaceOrientation::portrait);
    EXPECT_EQ(navigation->childViewControllerForStatusBarHidden(), portrait);

    // Without any screen it answers as a plain controller would.
    auto empty = std::make_shared<ZVNavigationController>();
    EXPECT_TRUE(empty->shouldAutorotate());
    EXPECT_EQ(empty->supportedInterfaceOrientations(), UIInterfaceOrientationMaskAllButUpsideDown);
    EXPECT_FALSE(empty->childViewControllerForStatusBarStyle());
}

TEST_F(NavigationControllerTest, TheAppStackHasAnOpaqueBarOverTheSystemBackground)
{
    auto navigation = std::make_shared<ZVNavigationController>(UIViewController::create());
    navigation->loadViewIfNeeded();
    EXPECT_FALSE(navigation->navigationBar().isTranslucent());
    EXPECT_EQ(navigation->delegate().get(), static_cast<UINavigationControllerDelegate*>(navigation.get()));
    std::optional<UIImage> background = navigation->qmui_navigationBarBackgroundImage();
    ASSERT_TRUE(background && background->hasBitmap());
    UIColor::RGBA pixel = background->pixel(0, 0);
    EXPECT_EQ(pixel.alpha, 1.0);
    // The system background of either style: white, and black in the dark.
    EXPECT_EQ(background->resolved(UIUserInterfaceStyle::light).pixel(0, 0), UIColor::white().rgba());
    EXPECT_EQ(background->resolved(UIUserInterfaceStyle::dark).pixel(0, 0), UIColor::black().rgba());
}

}
