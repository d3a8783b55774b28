// The base screen's shared operations: the empty, not-signed-in and load-failed states, the login
// screen, the in-app browser, the root screen's background picture and the confirmation alert.

#include "app/BaseController/BaseViewController.h"
#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "tests/platform/ui/ControllerTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class BaseScreenTest : public uitest::ControllerTest {
protected:
    void SetUp() override
    {
        uitest::ControllerTest::SetUp();
        AppContainer::setHome(home.path());
        Bundle::resetForTesting();
        UserDefaults::resetStandardForTesting();
        screen = std::make_shared<BaseViewController>();
        window->setRootViewController(screen);
        window->layoutIfNeeded();
        drain();
    }
    void TearDown() override
    {
        screen.reset();
        uitest::ControllerTest::TearDown();
        UserDefaults::resetStandardForTesting();
        AppContainer::setHome({});
    }

    static void signIn() { StoreData::set(PropertyList(std::string()), StoreData::access_token); }

    std::string emptyText() { return screen->emptyView()->textLabel()->text(); }
    bool showsImage(const std::string& name)
    {
        // As the light style shows it: the dark style shows the same picture turned light.
        std::optional<UIImage> shown = screen->emptyView()->imageView()->image();
        std::optional<UIImage> named = UIImage::named(name);
        if (!shown || !named || shown->pixelWidth() != named->pixelWidth()
            || shown->pixelHeight() != named->pixelHeight())
            return false;
        const UIImage& light = shown->resolved(UIUserInterfaceStyle::light);
        for (int y = 0; y < named->pixelHeight(); ++y) {
            for (int x = 0; x < named->pixelWidth(); ++x) {
                if (!(light.pixel(x, y) == named->pixel(x, y)))
                    return false;
            }
        }
        return true;
    }
    // A finger on the empty view's text, as a viewer would tap "load failed".
    void tapEmptyView()
    {
        window->layoutIfNeeded();
        TouchDriver().tapView(*screen->emptyView()->textLabel());
    }

    zvtest::TempDir home;
    std::shared_ptr<BaseViewController> screen;
};

TEST_F(BaseScreenTest, NothingHereAndLoginNeededDependOnTheStoredToken)
{
    // Signed out: the caller's text, the login picture and the button under the text.
    screen->showEmptyView(true, 1, "登录后查看");
    ASSERT_TRUE(screen->isEmptyViewShowing());
    EXPECT_EQ(emptyText(), "登录后查看");
    EXPECT_TRUE(showsImage("empty_login"));
    const std::shared_ptr<UIButton>& login = screen->loginBtn();
    ASSERT_EQ(login->superview(), screen->view());
    window->layoutIfNeeded();
    const auto& label = screen->emptyView()->textLabel();
    CGRect labelFrame = label->superview()->convert(label->frame(), screen->view().get());
    EXPECT_EQ(login->frame().minY(), labelFrame.maxY() + 10);
    EXPECT_NEAR(login->frame().midX(), screen->view()->bounds().midX(), 0.5);
    EXPECT_EQ(login->title(UIControlStateNormal), "立即登录");

    // Kind 0 leaves the button where it is; hiding takes it away with the empty state.
    screen->showEmptyView(true, 0, "ignored");
    EXPECT_EQ(emptyText(), "这里什么都没有...");
    EXPECT_TRUE(showsImage("empty"));
    EXPECT_EQ(login->superview(), screen->view());
    screen->showEmptyView(false, 0);
    EXPECT_FALSE(screen->isEmptyViewShowing());
    EXPECT_FALSE(login->superview());

    // Signed in (an empty token counts): the plain state, never the caller's text or the button.
    screen->showEmptyView(true, 1, "登录后查看");
    ASSERT_EQ(login->superview(), screen->view());
    signIn();
    screen->showEmptyView(true, 1, "登录后查看");
    EXPECT_EQ(emptyText(), "这里什么都没有...");
    EXPECT_TRUE(showsImage("empty"));
    EXPECT_FALSE(login->superview());
}

TEST_F(BaseScreenTest, TheLoginButtonPresentsTheLoginScreenOverFullScreen)
{
    screen->showEmptyView(true, 1, "登录后查看");
    window->layoutIfNeeded();
    ASSERT_TRUE(TouchDriver().tapView(*screen->loginBtn()));
    auto navigation = std::dynamic_pointer_cast<ZVNavigationController>(screen->presentedViewController());
    ASSERT_TRUE(navigation);
    EXPECT_EQ(navigation->modalPresentationStyle(), UIModalPresentationStyle::overFullScreen);
    ASSERT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(navigation->viewControllers().front()->className(), "ZV_LoginViewVC");
    // Over full screen: the screen underneath stays in the window.
    advance(1.0);
    EXPECT_TRUE(inWindow(*screen));
}

TEST_F(BaseScreenTest, LoadFailedTapRetriesOnceWithTheLatestRetry)
{
    int first = 0;
    int second = 0;
    screen->showEmptyView(true, 2, "ignored", [&] { ++first; });
    EXPECT_EQ(emptyText(), "加载失败，点击重试");
    EXPECT_TRUE(showsImage("empty_wifi"));
    // A screen whose loads keep failing: still one recogniser, running only the newest retry.
    screen->showEmptyView(true, 2, {}, [&] { ++second; });
    EXPECT_EQ(screen->emptyView()->gestureRecognizers().size(), 1u);
    tapEmptyView();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);

    // A retry that fails again and shows the state anew from inside the tap.
    screen->showEmptyView(true, 2, {}, [&] {
        ++first;
        screen->showEmptyView(true, 2, {}, [&] { ++second; });
    });
    tapEmptyView();
    tapEmptyView();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);

    // Kinds 0 and 1 end the retry: taps on the empty state send nothing any more.
    screen->showEmptyView(true, 0);
    EXPECT_FALSE(screen->emptyView()->isUserInteractionEnabled());
    tapEmptyView();
    screen->showEmptyView(true, 2);
    EXPECT_TRUE(screen->emptyView()->isUserInteractionEnabled());
    tapEmptyView();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
}

TEST_F(BaseScreenTest, TheBrowserOpensOnlyAbsoluteWebAddresses)
{
    for (std::optional<std::string> refused :
        std::vector<std::optional<std::string>> { std::nullopt, "", "not a link", "/movie/12",
            "javascript:alert(1)", "ftp://example.com/a", "file:///etc/passwd", "zentavo://detail?id=3" }) {
        screen->openSafari(refused);
        EXPECT_FALSE(screen->presentedViewController()) << refused.value_or("<none>");
    }
    screen->openSafari("https://example.com/page?x=1");
    auto browser = std::dynamic_pointer_cast<SFSafariViewController>(screen->presentedViewController());
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->url(), "https://example.com/page?x=1");
}

TEST_F(BaseScreenTest, RootBackgroundIsReachedThroughTheNavigationStackOnly)
{
    auto root = std::make_shared<ZVRootViewController>();
    auto page = std::make_shared<BaseViewController>();
    auto navigation = std::make_shared<ZVNavigationController>(root);
    navigation->pushViewController(page, false);
    const std::shared_ptr<UIImageView>& background = root->imageBgView();
    ASSERT_TRUE(background->isHidden());

    page->showRootBackground("ranking_bg");
    EXPECT_FALSE(background->isHidden());
    EXPECT_EQ(background->image(), UIImage::named("ranking_bg"));
    page->hideRootBackground();
    EXPECT_TRUE(background->isHidden());

    // A screen outside that stack (here the window's root, presented nothing) changes nothing.
    screen->showRootBackground("explore_bg");
    EXPECT_TRUE(background->isHidden());
}

TEST_F(BaseScreenTest, AlertConfirmsThroughItsDestructiveButtonOnly)
{
    int confirmed = 0;
    screen->showAlert("确定删除吗？", "取消", "确认", [&] { ++confirmed; });
    auto alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "确定删除吗？");
    EXPECT_EQ(alert->message(), "");
    ASSERT_EQ(alert->actions().size(), 2u);
    EXPECT_EQ(alert->actions()[0]->style(), UIAlertActionStyle::cancel);
    EXPECT_EQ(alert->actions()[1]->style(), UIAlertActionStyle::destructive);

    ASSERT_TRUE(alert->tapAction("取消"));
    advance(1.0);
    EXPECT_EQ(confirmed, 0);
    screen->showAlert("确定删除吗？", "取消", "确认", [&] { ++confirmed; });
    alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(alert && alert->tapAction("确认"));
    advance(1.0);
    EXPECT_EQ(confirmed, 1);
}

}
