// The root tab screen against the local test server's sample API: its start-up work (database,
// resumed downloads, room sequence), the chat badge and notice dot, the tab bar and its pages.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Other/View/JXSegmentedTitleImageAndDotCell.h"
#include "app/MainController/Other/View/JXSegmentedTitleImageAndDotDataSource.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "tests/app/support/ApiTestSupport.h"
#include "tools/testserver/ApiServer.h"

#include <gtest/gtest.h>
#include <set>
#include <tuple>

using testserver::ApiReply;

namespace {

// Remembers the exports asked for; exports nothing.
class RecordingCache : public SJMediaCacheServer::Backend {
public:
    std::shared_ptr<MCSAssetExporter> exportAsset(const std::string& url, bool resumes) override
    {
        exports.push_back({ url, resumes });
        return nullptr;
    }
    std::string playbackURL(const std::string& url) override { return url; }
    void setActive(bool) override { }

    std::vector<std::pair<std::string, bool>> exports;
};

class RootTest : public zvtest::ApiServerTest {
protected:
    void SetUp() override
    {
        ApiServerTest::SetUp();
        if (HasFatalFailure())
            return;
        ZV_Network::shared().setUI(ui);
        SJMediaCacheServer::shared().setBackend(cache);
        // Records written before the root exists go where it will look for them.
        ASConfigration::setDefaultDB(
            (AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");

        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();
        window = std::make_shared<UIWindow>();
        window->makeKeyAndVisible();
        // The home tab's start stays out of the way: no update offer, no configuration (whose
        // notice count would light the dot).
        api().script("v1/app/check_update", ApiReply::success({ { "state", "latest" } }));
        api().script("v1/app/config", ApiReply::error(500, "服务繁忙"));
    }

    void TearDown() override
    {
        if (window)
            window->setRootViewController(nullptr);
        drain();
        root.reset();
        window.reset();
        QMUITips::hideAllTips();
        ZV_Network::shared().setUI(nullptr);
        SJMediaCacheServer::shared().setBackend(nullptr);
        ASConfigration::closeDefaultDB();
        UIEventDispatcher::shared().resetForTesting();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        ApiServerTest::TearDown();
    }

    // The root in a navigation stack as the window's root, laid out, with the start-up replies in.
    void showRoot()
    {
        root = std::make_shared<ZVRootViewController>();
        window->setRootViewController(std::make_shared<ZVNavigationController>(root));
        drain();
        window->layoutIfNeeded();
        // The room's sequence number, the home tab's update check and configuration.
        ASSERT_TRUE(runUntil([&] { return ui->hides >= 3; }));
        drain();
        window->layoutIfNeeded();
    }

    std::shared_ptr<JXSegmentedTitleImageAndDotCell> tab(int index)
    {
        window->layoutIfNeeded();
        return std::dynamic_pointer_cast<JXSegmentedTitleImageAndDotCell>(
            root->segmentedView()->cellForItem(index));
    }

    // The chat tab's badge as shown: its text, or "" when hidden.
    std::string chatBadge()
    {
        auto cell = tab(2);
        if (!cell || cell->numLb()->isHidden())
            return "";
        return cell->numLb()->text();
    }

    // Brings the app back to the foreground with the room's maximum scripted, and waits for it.
    void foregroundWithMaxSeq(std::int64_t maxSeq)
    {
        api().script("v1/room/maxseq",
            ApiReply::success(nlohmann::json::array({ { { "room_id", 1 }, { "max_seq", maxSeq } } })));
        int before = ui->hides;
        returnToForeground();
        ASSERT_TRUE(runUntil([&] { return ui->hides > before; }));
        drain();
    }

    static void returnToForeground()
    {
        UIApplication::shared().enterBackground();
        UIApplication::shared().enterForeground();
    }

    static void storeMessage(std::int64_t seq)
    {
        Message message;
        message.set_seq(seq);
        ASSERT_TRUE(ActiveSQLiteTool::saveMessage(message));
    }

    static void storeDownload(const std::string& url, const std::string& state)
    {
        ZV_DownLoadModel record;
        record.url = url;
        record.state = state;
        ASSERT_TRUE(record.save());
    }

    std::shared_ptr<zvtest::FakeNetworkUI> ui = std::make_shared<zvtest::FakeNetworkUI>();
    std::shared_ptr<RecordingCache> cache = std::make_shared<RecordingCache>();
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<ZVRootViewController> root;
    TouchDriver driver;
};

}

TEST_F(RootTest, FirstLoadUsesTheDocumentsDatabaseAndResumesUnfinishedDownloads)
{
    storeDownload("https://cdn.example/a/index.m3u8", "waiting");
    storeDownload("https://cdn.example/b/index.m3u8", "pause");
    storeDownload("https://cdn.example/c/index.m3u8", "downing");
    storeDownload("https://cdn.example/d/index.m3u8", "finish");
    storeDownload("not a url", "waiting");
    storeDownload("", "fail");
    storeDownload("https://cdn.example/e/index.m3u8", "fail");
    ASConfigration::setDefaultDB((home / "elsewhere.db").string(), "elsewhere.db");

    showRoot();

    EXPECT_EQ(ASConfigration::defaultDBPath(), (AppContainer::documentsDirectory() / "zvlist.db").string());
    EXPECT_EQ(ASConfigration::defaultDBName(), "zvlist.db");
    using Export = std::pair<std::string, bool>;
    EXPECT_EQ(cache->exports,
        (std::vector<Export> { { "https://cdn.example/a/index.m3u8", true },
            { "https://cdn.example/c/index.m3u8", true }, { "https://cdn.example/e/index.m3u8", true } }));
    // Resuming changes no record.
    auto records = ZV_DownLoadModel::findAll();
    ASSERT_TRUE(records);
    std::vector<std::string> states;
    for (const auto& record : *records)
        states.push_back(record.state);
    EXPECT_EQ(states,
        (std::vector<std::string> { "waiting", "pause", "downing", "finish", "waiting", "fail", "fail" }));
}

TEST_F(RootTest, ChatBadgeCountsFromTheLastStoredMessageAndChatNumClearsIt)
{
    // Nothing stored: the server's maximum itself (the sample's room 1 has 4387).
    showRoot();
    auto maxseq = api().recordsTo("v1/room/maxseq");
    ASSERT_EQ(maxseq.size(), 1u);
    EXPECT_EQ(chatBadge(), "99+");
    EXPECT_EQ(root->dataSource()->numLists, (std::vector<std::string> { "", "", "99+", "", "" }));

    storeMessage(500);
    storeMessage(20);
    for (auto [maxSeq, badge] : std::vector<std::pair<std::int64_t, std::string>> {
             { 620, "99+" }, { 599, "99" }, { 600, "99+" }, { 501, "1" }, { 500, "" }, { 3, "" } }) {
        foregroundWithMaxSeq(maxSeq);
        EXPECT_EQ(chatBadge(), badge) << maxSeq;
    }

    foregroundWithMaxSeq(560);
    EXPECT_EQ(chatBadge(), "60");
    // A failed request leaves the badge as it was.
    api().script("v1/room/maxseq", ApiReply::error(500, "busy"));
    int before = ui->hides;
    returnToForeground();
    ASSERT_TRUE(runUntil([&] { return ui->hides > before; }));
    drain();
    EXPECT_EQ(chatBadge(), "60");

    NotificationCenter::defaultCenter().post("chatNum");
    EXPECT_EQ(chatBadge(), "");
}

TEST_F(RootTest, NoticeDotShowsOnlyAfterNotiAndOnlyOnTheMyTab)
{
    // A stored notice count that the (absent) configuration does not share: there is news. The
    // home tab's configuration request is refused, so that the configuration stays absent.
    api().script("v1/app/config", testserver::ApiReply::error(5000, "配置不可用"));
    UserDefaults::standard().set(PropertyList(std::string("7")), "new_notice");
    showRoot();
    for (int index = 0; index < 5; ++index)
        EXPECT_TRUE(tab(index)->bgView()->isHidden()) << index;

    NotificationCenter::defaultCenter().post("noti");
    for (int index = 0; index < 5; ++index)
        EXPECT_EQ(tab(index)->bgView()->isHidden(), index != 4) << index;
    // The dot sits in the icon's top right corner, the badge 8 points above and beyond it.
    auto mine = tab(4);
    window->layoutIfNeeded();
    CGRect icon = mine->imageView()->frame();
    EXPECT_EQ(mine->bgView()->frame(), CGRect(icon.maxX() - 10, icon.minY(), 10, 10));
    auto chat = tab(2);
    EXPECT_EQ(chat->numLb()->frame().minY(), chat->imageView()->frame().minY() - 8);
    EXPECT_EQ(chat->numLb()->frame().maxX(), chat->imageView()->frame().maxX() + 8);

    UserDefaults::standard().removeObjectForKey("new_notice");
    NotificationCenter::defaultCenter().post("noti");
    EXPECT_TRUE(tab(4)->bgView()->isHidden());
}

TEST_F(RootTest, IconOnlyTabsSwitchPagesByTapOnly)
{
    UserDefaults::standard().set(PropertyList(std::string("7")), "new_notice");
    showRoot();
    NotificationCenter::defaultCenter().post("noti");

    // The home page over the bar, its dot and badge: written out for a look, and not blank.
    UIImage screen = Renderer::renderScreen(2);
    EXPECT_TRUE(Renderer::writePNG(screen, zvtest::screenshotPath("root-tabs.png")));
    std::set<std::tuple<int, int, int>> colours;
    for (int y = 0; y < screen.pixelHeight(); y += 3) {
        for (int x = 0; x < screen.pixelWidth(); x += 3) {
            UIColor::RGBA pixel = screen.pixel(x, y);
            colours.insert({ int(pixel.red * 255), int(pixel.green * 255), int(pixel.blue * 255) });
        }
    }
    EXPECT_GT(colours.size(), 8u);

    EXPECT_EQ(root->preferredNavigationBarHidden(), std::optional<bool>(true));
    EXPECT_EQ(root->listContainerView()->validListDict().size(), 1u);
    EXPECT_FALSE(root->listContainerView()->scrollView()->isScrollEnabled());
    EXPECT_EQ(root->imageBgView()->image(), UIImage::named("explore_bg"));
    EXPECT_TRUE(root->imageBgView()->isHidden());

    // Each tab by tap: its page, the icons with only its own selected, and the picture behind the
    // pages (the ranking's own while it is on show, none for the others).
    struct Tab {
        const char* normal;
        const char* selected;
        const char* background;
    };
    const Tab tabs[] = {
        { "tabbar_home", "tabbar_home_select", nullptr },
        { "tabbar_ranking", "tabbar_ranking_select", "ranking_bg" },
        { "tabbar_chat", "tabbar_chat_select", nullptr },
        { "tabbar_short_video", "tabbar_short_video_select", nullptr },
        { "tabbar_my", "tabbar_my_select", nullptr },
    };
    ASSERT_EQ(chatBadge(), "99+");
    for (int index : { 1, 0, 2, 3, 4 }) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(driver.tapView(*tab(index)));
        drain();
        EXPECT_EQ(root->listContainerView()->currentIndex(), index);
        EXPECT_EQ(root->segmentedView()->selectedIndex(), index);
        for (int other = 0; other < 5; ++other) {
            auto cell = tab(other);
            ASSERT_TRUE(cell);
            EXPECT_TRUE(cell->titleLabel()->isHidden());
            EXPECT_EQ(cell->imageView()->image(),
                UIImage::named(other == index ? tabs[other].selected : tabs[other].normal)) << other;
        }
        const char* background = tabs[index].background;
        EXPECT_EQ(root->imageBgView()->isHidden(), background == nullptr);
        if (background) {
            EXPECT_EQ(root->imageBgView()->image(), UIImage::named(background));
        }
        // Opening the chat page clears the chat badge.
        if (index == 2) {
            EXPECT_EQ(chatBadge(), "");
        }
    }

    // A swipe over the pages changes nothing.
    CGRect pages = root->listContainerView()->convert(root->listContainerView()->bounds(), nullptr);
    driver.drag({ pages.maxX() - 20, pages.midY() }, { pages.minX() + 20, pages.midY() }, 0.3);
    drain();
    EXPECT_EQ(root->listContainerView()->currentIndex(), 4);
    EXPECT_EQ(root->segmentedView()->selectedIndex(), 4);
}
