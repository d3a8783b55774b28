// The settings page and the teen-mode prompt: the rows by sign-in, the teen-mode switch with its
// one handler, the cache size text, the order of clearing (downloads stay), logging out, and the
// prompt's stored answer.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "app/MainController/Mine/Setting/ZV_PureAlertView.h"
#include "app/MainController/Mine/Setting/ZV_SettingCell.h"
#include "app/MainController/Mine/Setting/ZV_SettingVC.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UISwitch.h"
#include "tests/app/MainController/Mine/MineTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

// Notes what the settings asked of the media cache, and what the app looked like at that moment.
class ClearingCache : public SJMediaCacheServer::Backend {
public:
    std::shared_ptr<MCSAssetExporter> exportAsset(const std::string&, bool) override { return nullptr; }
    std::string playbackURL(const std::string& url) override { return url; }
    void setActive(bool) override { }
    void removeExportAsset(const std::string& url) override { removedExports.push_back(url); }
    void removeAllRemovableCaches() override
    {
        ++clears;
        messagesLeft = ZV_MessageASModel::findAll().valueOr(std::vector<ZV_MessageASModel>()).size();
        tipsShown = QMUITips::visibleTips().size();
    }

    int clears = 0;
    std::size_t messagesLeft = 99;
    std::size_t tipsShown = 99;
    std::vector<std::string> removedExports;
};

class SettingTest : public MineScreenTest {
protected:
    void SetUp() override
    {
        MineScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        ASConfigration::setDefaultDB(
            (AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
        SJMediaCacheServer::shared().setBackend(cache);
    }

    void TearDown() override
    {
        SJMediaCacheServer::shared().setBackend(nullptr);
        ASConfigration::closeDefaultDB();
        MineScreenTest::TearDown();
    }

    std::shared_ptr<ZV_SettingVC> open()
    {
        auto page = std::make_shared<ZV_SettingVC>();
        push(page);
        window->layoutIfNeeded();
        return page;
    }

    static std::shared_ptr<ZV_SettingCell> cell(ZV_SettingVC& page, int row)
    {
        page.tableView()->layoutIfNeeded();
        return std::dynamic_pointer_cast<ZV_SettingCell>(page.tableView()->cellForRow(IndexPath(row, 0)));
    }

    std::shared_ptr<ClearingCache> cache = std::make_shared<ClearingCache>();
};

}

TEST_F(SettingTest, RowsFollowTheSignInAndOnlyASignedInViewerCanLogOut)
{
    struct Row {
        const char* title;
        bool tip;
        bool value;
        bool toggle;
        bool red;
    };
    const std::vector<Row> rows { { "青少年模式", true, false, true, false },
        { "清除缓存", false, true, false, false }, { "退出登录", false, false, false, true } };
    for (bool signedIn : { false, true }) {
        if (signedIn)
            setToken(sampleToken);
        std::shared_ptr<ZV_SettingVC> page = open();
        ASSERT_EQ(page->list().size(), signedIn ? 3u : 2u);
        for (std::size_t index = 0; index < page->list().size(); ++index) {
            const Row& row = rows[index];
            std::shared_ptr<ZV_SettingCell> shown = cell(*page, static_cast<int>(index));
            ASSERT_TRUE(shown) << row.title;
            EXPECT_EQ(shown->titleLb()->text(), row.title);
            EXPECT_EQ(shown->tipLb()->isHidden(), !row.tip) << row.title;
            EXPECT_EQ(shown->desLb()->isHidden(), !row.value) << row.title;
            EXPECT_EQ(shown->switchView()->isHidden(), !row.toggle) << row.title;
            EXPECT_EQ(shown->titleLb()->textColor().resolved(UIUserInterfaceStyle::light),
                colorWithHex(row.red ? "#EF5252" : "1D1942"))
                << row.title;
            EXPECT_EQ(shown->frame().size.height, 68) << row.title;
        }
        navigation->popToViewController(root, false);
    }
}

TEST_F(SettingTest, TeenModeSwitchCarriesOneHandlerFeedsTheRequestHeaderAndLeavesTheDarkStyleAlone)
{
    int posts = 0;
    NotificationCenter::Token token
        = NotificationCenter::defaultCenter().addObserver("pureMode", [&](const Notification&) { ++posts; });
    std::shared_ptr<ZV_SettingVC> page = open();
    // Configured again and again: still one handler.
    page->tableView()->reloadData();
    page->tableView()->reloadData();
    std::shared_ptr<ZV_SettingCell> young = cell(*page, 0);
    ASSERT_TRUE(young);
    UIUserInterfaceStyle style = window->overrideUserInterfaceStyle();

    for (bool on : { true, false }) {
        young->switchView()->setOn(on);
        young->switchView()->sendActions(UIControlEventValueChanged);
        EXPECT_EQ(StoreData::boolValue(StoreData::pureMode), on);
        EXPECT_EQ(posts, on ? 1 : 2);
        EXPECT_FALSE(StoreData::value(StoreData::isDarkColor).has_value());
        EXPECT_EQ(window->overrideUserInterfaceStyle(), style);
        // Every request from now on carries the mode in its setting header.
        std::size_t before = requestsTo("v1/notice/list");
        ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::noticeList,
            JSON::object({ { "page", JSON(1) }, { "pageSize", JSON(10) } }), false, {});
        ASSERT_TRUE(waitFor([&] { return requestsTo("v1/notice/list") > before; }));
        std::optional<std::string> setting
            = api().recordsTo("v1/notice/list").back().request.header("X-Client-Setting");
        ASSERT_TRUE(setting);
        EXPECT_EQ(JSON::parse(*setting)["pure-mode"].boolValue(), on);
    }
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(SettingTest, CacheSizeInMebibytesWithOneDecimal)
{
    struct Case {
        std::uint64_t bytes;
        const char* text;
    };
    for (const Case& c : { Case { 0, "0.0M" }, Case { 52'428, "0.0M" }, Case { 1'048'576, "1.0M" },
             Case { 12'897'485, "12.3M" }, Case { 1'073'741'824, "1024.0M" } })
        EXPECT_EQ(ZV_SettingVC::cacheSizeText(c.bytes), c.text) << c.bytes;
}

TEST_F(SettingTest, ClearingGoesMessagesImagesPlaybackCacheThenToastAndKeepsDownloads)
{
    for (std::int64_t seq : { 1, 2, 3 }) {
        ZV_MessageASModel message;
        message.seq = seq;
        ASSERT_TRUE(message.save());
    }
    std::shared_ptr<ZV_SettingVC> page = open();
    page->didSelectRow(*page->tableView(), IndexPath(1, 0));

    EXPECT_EQ(cache->clears, 1);
    EXPECT_EQ(cache->messagesLeft, 0u); // the messages went first
    EXPECT_EQ(cache->tipsShown, 0u); // the toast came after
    EXPECT_TRUE(cache->removedExports.empty()); // finished downloads are never touched
    EXPECT_EQ(lastTip(), "清除成功!");
    std::shared_ptr<ZV_SettingCell> size = cell(*page, 1);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->desLb()->text().back(), 'M');
}

TEST_F(SettingTest, LoggingOutDropsTokenAndProfileTellsTheAppAndLeaves)
{
    setToken(sampleToken);
    ConfigSingleton::shared().zv_userInfoModel
        = std::make_shared<const ZV_UserInfoModel>(JSON::parse(R"({"id":1})"));
    std::shared_ptr<ZV_SettingVC> page = open();
    page->didSelectRow(*page->tableView(), IndexPath(2, 0));
    settle();
    EXPECT_FALSE(storedToken());
    EXPECT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
    EXPECT_EQ(logouts, 1);
    EXPECT_EQ(top(), root);
}

TEST_F(SettingTest, PromptStoresTheAnswerOnlyForTheTwoCardButtons)
{
    struct Case {
        const char* button;
        bool stored;
        bool callBlockRuns;
    };
    for (const Case& c : { Case { "teen", true, true }, Case { "know", true, false },
             Case { "close", false, false }, Case { "escape", false, false } }) {
        StoreData::remove(StoreData::pureAlert);
        std::shared_ptr<ZV_PureAlertView> alert = ZV_PureAlertView::showIfNeeded(root);
        ASSERT_TRUE(alert) << c.button;
        EXPECT_EQ(alert->superview(), window);
        EXPECT_EQ(alert->frame(), window->bounds());
        EXPECT_EQ(alert->titleLb()->text(), "青少年守护");
        int calls = 0;
        alert->callBlock = [&calls] { ++calls; };
        std::string name = c.button;
        if (name == "escape") {
            // Esc in the window closes it as its close button does.
            EXPECT_TRUE(alert->accessibilityPerformEscape());
        } else {
            UIButton& button = name == "teen" ? *alert->pureBtn()
                : name == "know"              ? *alert->knowBtn()
                                              : *alert->closeBtn();
            button.sendActions(UIControlEventTouchUpInside);
        }
        EXPECT_FALSE(alert->superview()) << c.button;
        EXPECT_EQ(StoreData::boolValue(StoreData::pureAlert), c.stored) << c.button;
        EXPECT_EQ(calls, c.callBlockRuns ? 1 : 0) << c.button;
    }
    // Closed, it is asked again; answered, never.
    std::shared_ptr<ZV_PureAlertView> again = ZV_PureAlertView::showIfNeeded(root);
    ASSERT_TRUE(again);
    again->knowBtn()->sendActions(UIControlEventTouchUpInside);
    EXPECT_FALSE(ZV_PureAlertView::showIfNeeded(root));
}

TEST_F(SettingTest, PromptsTeenModeButtonOpensTheSettingsOnTheHostsStack)
{
    std::shared_ptr<ZV_PureAlertView> alert = ZV_PureAlertView::showIfNeeded(root);
    ASSERT_TRUE(alert);
    alert->pureBtn()->sendActions(UIControlEventTouchUpInside);
    settle();
    EXPECT_TRUE(std::dynamic_pointer_cast<ZV_SettingVC>(top()));
    EXPECT_TRUE(StoreData::boolValue(StoreData::pureAlert));
}
