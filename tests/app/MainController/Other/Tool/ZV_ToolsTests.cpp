#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/FileSystem.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UITabBarController.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshAutoNormalFooter.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

TEST(ZV_Tools, TimeAndSizeTextsFollowTheirThresholds)
{
    const std::vector<std::pair<std::int64_t, std::string>> times = { { 0, "00:00" }, { 59, "00:59" },
        { 309, "05:09" }, { 600, "10:00" }, { 3599, "59:59" }, { 3600, "01:00:00" }, { 3661, "01:01:01" },
        { 36000, "10:00:00" }, { 360000, "100:00:00" }, { -5, "00:00" } };
    for (const auto& [seconds, text] : times)
        EXPECT_EQ(ZV_Tools::timeString(seconds), text) << seconds;

    // Decimal steps, and exactly 1000 stays in the smaller unit.
    const std::vector<std::pair<double, std::string>> sizes = { { 0, "0.00kb" }, { 1000, "1000.00kb" },
        { 1000.5, "1.00MB" }, { 1000000, "1000.00MB" }, { 1500000, "1.50GB" } };
    for (const auto& [kilobytes, text] : sizes)
        EXPECT_EQ(ZV_Tools::sizeString(kilobytes), text) << kilobytes;

    DateFormatter clock("HH:mm");
    for (auto [text, minutes] : { std::pair { "01:30", 90 }, { "00:00", 0 }, { "23:59", 1439 } })
        EXPECT_EQ(ZV_Tools::minutesOfDay(*clock.dateFromString(text)), minutes) << text;
}

TEST(ZV_Tools, PhoneNumbersNeedElevenDigitsWithAKnownPrefix)
{
    for (const char* valid : { "13800138000", "14912345678", "15012345678", "17712345678", "18612345678" })
        EXPECT_TRUE(ZV_Tools::isPhoneNumber(valid)) << valid;
    for (const char* invalid : { "12012345678", "16612345678", "19912345678", "1381234567", "138123456789",
             "138 0013 8000", "+8613800138000", "1380013800a", "１３８００１３８０００", "" })
        EXPECT_FALSE(ZV_Tools::isPhoneNumber(invalid)) << invalid;
}

TEST(ZV_Tools, EmailsNeedADottedDomainAndPlainCharacters)
{
    for (const char* valid : { "a@b.co", "USER_1-x@MAIL-host.example.org" })
        EXPECT_TRUE(ZV_Tools::isEmail(valid)) << valid;
    for (const char* invalid : { "user@localhost", "first.last@x.y", "a+tag@b.com", "a@b.", "@b.com",
             "a@@b.com", "a b@c.com", "用户@例子.中国", "" })
        EXPECT_FALSE(ZV_Tools::isEmail(invalid)) << invalid;
}

TEST(ZV_Tools, FolderSizeAddsNestedFilesInDecimalKilobytes)
{
    zvtest::TempDir dir;
    EXPECT_EQ(ZV_Tools::folderSize(dir / "missing"), 0);
    ASSERT_TRUE(FileSystem::createDirectories(dir / "cache/empty/deeper"));
    EXPECT_EQ(ZV_Tools::folderSize(dir / "cache"), 0);

    ASSERT_TRUE(FileSystem::writeFileAtomically(dir / "cache/a/b/one.ts", Data(1500, 1)));
    ASSERT_TRUE(FileSystem::writeFileAtomically(dir / "cache/two.ts", Data(500, 2)));
    EXPECT_DOUBLE_EQ(ZV_Tools::folderSize(dir / "cache"), 2.0);
    // A file is not a folder to list.
    EXPECT_EQ(ZV_Tools::folderSize(dir / "cache/two.ts"), 0);
}

class ZV_ToolsScreens : public zvtest::MainLoopTest {
protected:
    struct Delegate : UIApplicationDelegate {
        std::shared_ptr<UIWindow> mainWindow;
        std::shared_ptr<UIWindow> window() const override { return mainWindow; }
    };

    void SetUp() override
    {
        zvtest::MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
    }
    void TearDown() override
    {
        if (window)
            window->setRootViewController(nullptr);
        drain();
        window.reset();
        UIApplication::shared().resetForTesting();
        zvtest::MainLoopTest::TearDown();
    }

    std::shared_ptr<UIWindow> window;
};

TEST_F(ZV_ToolsScreens, CurrentIsTheVisibleScreenAndMainIsTheRootOfTheSelectedTab)
{
    // No window: a detached controller, never none.
    auto lonely = ZV_Tools::getCurrentVC();
    ASSERT_NE(lonely, nullptr);
    EXPECT_EQ(lonely->parent(), nullptr);
    EXPECT_NE(ZV_Tools::getMainCurrentVC(), nullptr);

    auto home = UIViewController::create();
    auto detail = UIViewController::create();
    auto stack = UIViewController::create<UINavigationController>(home);
    auto mine = UIViewController::create();
    auto tabs = UIViewController::create<UITabBarController>();
    tabs->setViewControllers({ stack, mine });
    window = std::make_shared<UIWindow>();
    window->setRootViewController(tabs);
    window->makeKeyAndVisible();
    auto delegate = std::make_shared<Delegate>();
    delegate->mainWindow = window;
    UIApplication::shared().setDelegate(delegate);
    stack->pushViewController(detail, false);
    drain();

    EXPECT_EQ(ZV_Tools::getCurrentVC(), detail);
    EXPECT_EQ(ZV_Tools::getMainCurrentVC(), home);
    tabs->setSelectedIndex(1);
    EXPECT_EQ(ZV_Tools::getCurrentVC(), mine);
    EXPECT_EQ(ZV_Tools::getMainCurrentVC(), mine);

    // A presented plain screen is both the current and the main one.
    auto sheet = UIViewController::create();
    ASSERT_TRUE(tabs->present(sheet, false));
    drain();
    EXPECT_EQ(ZV_Tools::getCurrentVC(), sheet);
    EXPECT_EQ(ZV_Tools::getMainCurrentVC(), sheet);
}

TEST_F(ZV_ToolsScreens, EndingRefreshTouchesOnlyTheControlsTheListHas)
{
    auto list = std::make_shared<UIScrollView>(CGRect { 0, 0, 320, 480 });
    auto footer = std::make_shared<MJRefreshAutoNormalFooter>();
    setMjFooter(*list, footer);

    footer->setState(MJRefreshState::refreshing);
    endFooterRefreshing(*list, false);
    EXPECT_EQ(footer->state(), MJRefreshState::noMoreData);
    endRefreshing(*list);
    EXPECT_EQ(footer->state(), MJRefreshState::idle);
    EXPECT_EQ(mjHeader(*list), nullptr);
}

}
