// Episode playback: which address plays (the episode's own or one resolved by the server), with
// which header fields, what a failed resolution plays, and what a late resolution does.

#include "app/MainController/Detail/View/ZV_LoadingView.h"
#include "app/MainController/Detail/View/ZV_PlayerErrorView.h"
#include "platform/media/SJEdgeControlButtonItem.h"
#include "platform/media/cache/MCSProxyServer.h"
#include "platform/ui/controls/UIButton.h"
#include "tests/app/MainController/Detail/PlayerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using zvtest::EpisodeSpec;
using Fields = AVURLAsset::HeaderFields;

const std::string readyURL = "https://media.test/ep1/index.m3u8";

class PlayerPlaybackTest : public zvtest::PlayerTest {
protected:
    // What the client asked the server to resolve, without the time stamp it adds.
    std::vector<nlohmann::json> parseRequests()
    {
        std::vector<nlohmann::json> sent;
        for (const auto& record : api().recordsTo("v1/movie_addr/parse")) {
            nlohmann::json parameters = record.parameters.value_or(nlohmann::json::object());
            parameters.erase("timestamp");
            sent.push_back(parameters);
        }
        return sent;
    }
    std::string resolved(const std::string& path) { return serverURL() + "/video/" + path; }
};

}

TEST(PlayerRules, HeaderFieldsNeedAUserAgentAndLaterFieldsWin)
{
    auto entry = [](std::optional<std::string> agent,
                     std::optional<std::vector<std::map<std::string, JSON>>> headers) {
        ZV_DetailDataListPlayFromListModel model;
        model.userAgent = std::move(agent);
        model.headers = std::move(headers);
        return model;
    };
    std::vector<std::map<std::string, JSON>> twice
        = { { { "X-Id", JSON("1") } }, { { "X-Id", JSON(std::int64_t(2)) }, { "X-Live", JSON(true) } } };
    struct Case {
        ZV_DetailDataListPlayFromListModel entry;
        Fields expected;
    };
    for (const auto& [model, expected] :
        std::vector<Case> {
            { entry("", twice), {} },
            { entry(std::nullopt, twice), {} },
            { entry("ZV/1", std::nullopt), { { "User-Agent", "ZV/1" } } },
            { entry("ZV/1", twice), { { "User-Agent", "ZV/1" }, { "X-Id", "2" }, { "X-Live", "true" } } },
            { entry("ZV/1", std::vector<std::map<std::string, JSON>> { { { "User-Agent", JSON("other") } } }),
                { { "User-Agent", "other" } } },
        })
        EXPECT_EQ(ZV_Player::headerFields(model), expected) << model.userAgent.value_or("(none)");
}

TEST(PlayerRules, NextEpisodeFollowsTheLastMatchAndStartsOverWithoutOne)
{
    auto list = [](std::vector<std::optional<std::string>> ids) {
        ZV_Player::Episodes episodes;
        for (const auto& id : ids)
            episodes.push_back(zvtest::episode({ id, "https://media.test/x" }));
        return episodes;
    };
    using Next = std::optional<std::size_t>;
    EXPECT_EQ(ZV_Player::nextEpisodeIndex(list({ "a", "b", "c" }), "b"), Next(2));
    EXPECT_EQ(ZV_Player::nextEpisodeIndex(list({ "a", "b", "b", "c" }), "b"), Next(3));
    EXPECT_EQ(ZV_Player::nextEpisodeIndex(list({ "a", "b" }), "zz"), Next(0));
    EXPECT_EQ(ZV_Player::nextEpisodeIndex(list({ "a", "b" }), "b"), std::nullopt);
    EXPECT_EQ(ZV_Player::nextEpisodeIndex(list({ std::nullopt, "a" }), std::nullopt), Next(1));
    EXPECT_EQ(ZV_Player::nextEpisodeIndex({}, "a"), std::nullopt);
}

TEST(PlayerRules, OnlyALowerCaseM3u8ExtensionMakesAPlaylist)
{
    EXPECT_TRUE(ZV_Player::isM3u8Address("https://media.test/a/index.m3u8"));
    EXPECT_TRUE(ZV_Player::isM3u8Address("https://media.test/a/index.m3u8?token=1"));
    EXPECT_FALSE(ZV_Player::isM3u8Address("https://media.test/a/INDEX.M3U8"));
    EXPECT_FALSE(ZV_Player::isM3u8Address("https://media.test/a/clip.mp4?f=.m3u8"));
    EXPECT_FALSE(ZV_Player::isM3u8Address("https://index.m3u8"));
}

TEST_F(PlayerPlaybackTest, AReadyEpisodePlaysItsOwnAddressWithItsFieldsAndAsksNothing)
{
    auto model
        = zvtest::titleWith({ { "e1", readyURL, true, "ZV/1" }, { "e2", "zv-parse://40618/02", false } });
    model->playFrom->back()->list->front()->headers
        = std::vector<std::map<std::string, JSON>> { { { "Referer", JSON("https://zentavo.test/") } } };
    play(model, "e1");
    EXPECT_EQ(assetURL(), readyURL);
    EXPECT_TRUE(player().URLAsset()->isM3u8());
    EXPECT_EQ(player().URLAsset()->title(), "雾港来信 第e1集");
    EXPECT_FALSE(view->zv_loadingView()->isHidden());
    advance(1);
    ASSERT_TRUE(engine());
    EXPECT_EQ(engine()->lastRequest().headerFields,
        (HTTPHeaders { { "Referer", "https://zentavo.test/" }, { "User-Agent", "ZV/1" } }));
    // Ready to play: the loading cover fades out and goes.
    EXPECT_TRUE(view->zv_loadingView()->isHidden());
    EXPECT_EQ(view->zv_loadingView()->alpha(), 1);
    EXPECT_TRUE(parseRequests().empty());
    // Not the last episode: the next item is there.
    EXPECT_FALSE(view->zv_goforwardItem()->isHidden());
}

// The episode's User-Agent and fields go to every server but the media cache's own proxy, known by
// its scheme, host and port: an address that merely mentions it, or another server on loopback
// (an http origin there answered 403 without its fields), gets them.
TEST_F(PlayerPlaybackTest, FieldsAreLeftOutOnlyForTheMediaCachesOwnProxy)
{
    ASSERT_TRUE(MCSProxyServer::shared().start());
    const std::string proxy = MCSProxyServer::shared().baseURL();
    const std::string port = std::to_string(MCSProxyServer::shared().port());
    const std::string otherPort = std::to_string(
        MCSProxyServer::shared().port() == 65535 ? 65534 : MCSProxyServer::shared().port() + 1);
    struct Case {
        std::string address;
        bool fields;
    };
    const Case cases[] = {
        { proxy + "/e/export-1/index.m3u8", false },
        { "HTTP://127.0.0.1:" + port + "/e/export-1/index.m3u8", false },
        { "http://127.0.0.1:" + otherPort + "/video/index.m3u8", true },
        { "http://127.0.0.1/video/index.m3u8", true },
        { "https://127.0.0.1:" + port + "/video/index.m3u8", true },
        { "http://localhost:" + port + "/video/index.m3u8", true },
        { "https://cdn.test/index.m3u8?from=" + proxy + "/", true },
        { "http://cdn.test/" + proxy + "/index.m3u8", true },
        { "http://127.0.0.1:" + port + "@cdn.test/index.m3u8", true },
    };
    for (const Case& c : cases) {
        auto model = zvtest::titleWith({ { "e1", c.address, true, "ZV/1" } });
        model->playFrom->back()->list->front()->headers
            = std::vector<std::map<std::string, JSON>> { { { "X-Token", JSON("t1") } } };
        play(model, "e1");
        ASSERT_TRUE(engine());
        EXPECT_EQ(engine()->lastRequest().URL, c.address);
        HTTPHeaders expected;
        if (c.fields)
            expected = { { "User-Agent", "ZV/1" }, { "X-Token", "t1" } };
        EXPECT_EQ(engine()->lastRequest().headerFields, expected) << c.address;
    }
}

// An episode whose https address redirects to plain http is not played: the error layer says so,
// and the next episode's layer has the usual message again.
TEST_F(PlayerPlaybackTest, ARedirectFromHTTPSToHTTPIsShownOnTheErrorLayer)
{
    SJScriptedPlaybackController::script("https://media.test/moved.m3u8", { .redirectsToHTTP = true });
    SJScriptedPlaybackController::script("https://media.test/broken.m3u8", { .failsToOpen = true });
    play(zvtest::titleWith({ { "e1", "https://media.test/moved.m3u8" }, { "e2", "https://media.test/broken.m3u8" } }),
        "e1");
    const std::string usual = view->zv_errorView()->title()->text();
    advance(1);
    ASSERT_EQ(player().currentControlLayerIdentifier(), SJControlLayer_LoadFailed);
    EXPECT_EQ(player().assetFailure(), SJAssetFailure::insecureRedirect);
    EXPECT_EQ(view->zv_errorView()->title()->text(), "视频地址跳转到了不加密的 http 链接，已拒绝播放");

    view->episodeId = "e2";
    view->playEpisode();
    advance(1);
    ASSERT_EQ(player().currentControlLayerIdentifier(), SJControlLayer_LoadFailed);
    EXPECT_EQ(view->zv_errorView()->title()->text(), "播放出错，请尝试切换资源，或刷新一下");
    EXPECT_EQ(usual, "播放出错，请尝试切换资源，或刷新一下");
}

TEST_F(PlayerPlaybackTest, AnEpisodeToResolveSendsItsAddressAndSourceAndARefreshOnceAsked)
{
    auto model = zvtest::titleWith({ { "e1", readyURL }, { "e2", "zv-parse://40618/02", false } });
    play(model, "e2");
    EXPECT_EQ(assetURL(), "");
    ASSERT_TRUE(waitForAsset(resolved("low/index.m3u8")));
    EXPECT_EQ(view->episodeModel->episodeId, "e2");
    EXPECT_TRUE(view->zv_goforwardItem()->isHidden()); // the last episode
    EXPECT_EQ(parseRequests(),
        (std::vector<nlohmann::json> {
            { { "play_url", "zv-parse://40618/02" }, { "from_code", "zvm3u8" } } }));

    // The error layer's refresh asks again, and every later request of this view says so.
    api().clearRecords();
    view->zv_errorView()->refreshBtn()->sendActions(UIControlEventTouchUpInside);
    ASSERT_TRUE(runUntil([&] { return parseRequests().size() == 1; }));
    view->playEpisode();
    ASSERT_TRUE(runUntil([&] { return parseRequests().size() == 2; }));
    for (const auto& sent : parseRequests())
        EXPECT_EQ(sent.value("refresh", ""), "1");
    EXPECT_TRUE(view->isRefresh);
}

TEST_F(PlayerPlaybackTest, AFailedResolutionPlaysTheConfiguredDeadAddressAndAReplyWithoutOnePlaysNothing)
{
    SJScriptedMedia unreachable;
    unreachable.failsToOpen = true;
    SJScriptedPlaybackController::script(placeholder(), unreachable);
    play(zvtest::titleWith({ { "e1", "zv-parse://unknown", false } }), "e1");
    ASSERT_TRUE(waitForAsset(placeholder()));
    EXPECT_TRUE(player().URLAsset()->isM3u8());
    advance(1);
    EXPECT_EQ(player().currentControlLayerIdentifier(), SJControlLayer_LoadFailed);
    EXPECT_EQ(view->zv_errorView()->superview(), player().defaultLoadFailedControlLayer());

    // A reply without an address: nothing starts and the loading cover stays.
    api().script("v1/movie_addr/parse", testserver::ApiReply::success(nlohmann::json::object()));
    std::size_t before = api().recordsTo("v1/movie_addr/parse").size();
    view->playEpisode();
    ASSERT_TRUE(runUntil([&] { return api().recordsTo("v1/movie_addr/parse").size() > before; }));
    runUntil([] { return false; }, 0.5);
    advance(1);
    EXPECT_EQ(assetURL(), placeholder());
    EXPECT_FALSE(view->zv_loadingView()->isHidden());
}

// The viewer moved on before the address came: it is dropped, so the episode on show and the
// episode a play report names stay the one chosen last.
TEST_F(PlayerPlaybackTest, AnAddressResolvedAfterTheViewerMovedOnIsDropped)
{
    api().setDelay("v1/movie_addr/parse", std::chrono::milliseconds(300));
    auto model = zvtest::titleWith({ { "e1", readyURL }, { "e2", "zv-parse://40618/02", false } });
    play(model, "e2");
    play(model, "e1");
    EXPECT_EQ(assetURL(), readyURL);
    ASSERT_TRUE(runUntil([&] { return !api().recordsTo("v1/movie_addr/parse").empty(); }));
    runUntil([] { return false; }, 1.0);
    EXPECT_EQ(assetURL(), readyURL);
    EXPECT_EQ(view->episodeModel->episodeId, "e1");
    EXPECT_EQ(view->episodeId, "e1");
}

TEST_F(PlayerPlaybackTest, WithoutATitleOrAMatchingEpisodeNothingStarts)
{
    view->playEpisode(); // no title
    play(zvtest::titleWith({ { "e1", readyURL } }), "e9");
    EXPECT_EQ(assetURL(), "");
    // An address that makes no URL stops quietly too.
    play(zvtest::titleWith({ { "e1", "not a url" } }), "e1");
    EXPECT_EQ(assetURL(), "");
}

// The cover fades out over 0.3 s once an asset is ready; an episode started meanwhile keeps it up.
TEST_F(PlayerPlaybackTest, AnEpisodeStartedWhileTheCoverFadesKeepsIt)
{
    SJScriptedMedia slowToOpen;
    slowToOpen.openingTime = 2;
    SJScriptedPlaybackController::script("https://media.test/ep2.m3u8", slowToOpen);
    auto model = zvtest::titleWith({ { "e1", readyURL }, { "e2", "https://media.test/ep2.m3u8" } });
    play(model, "e1");
    advance(0.55); // ready: the fade has begun
    play(model, "e2");
    advance(0.5);
    EXPECT_FALSE(view->zv_loadingView()->isHidden());
    EXPECT_EQ(view->zv_loadingView()->alpha(), 1);
    advance(2);
    EXPECT_TRUE(view->zv_loadingView()->isHidden());
}
