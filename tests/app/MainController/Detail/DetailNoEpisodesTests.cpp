// A title whose sources hold no episode: the player's error layer says "该影片暂无播放资源" without
// buttons instead of a cover that waits for ever, and the page logs it once. Among empty sources
// the first one with episodes plays; a source switch that brings episodes gives the error layer
// its own message and buttons back.

#include "app/MainController/Detail/View/ZV_LoadingView.h"
#include "app/MainController/Detail/View/ZV_PlayerErrorView.h"
#include "platform/foundation/Log.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "tests/app/MainController/Detail/DetailTestSupport.h"

#include <gtest/gtest.h>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>

namespace {

using nlohmann::json;
using testserver::ApiReply;

class DetailNoEpisodesTest : public zvtest::DetailLogTest {
protected:
    // The single-source title of the catalogue, answered with these sources (none: no
    // "play_from" at all) and, when given, a last playback of that episode.
    static json title(std::optional<json> playFrom, std::optional<std::string> lastPlayed = std::nullopt)
    {
        json reply = { { "id", singleSourceTitle }, { "name", "青石巷的雨季" },
            { "recommendList", json::array({ { { "id", "40311" }, { "name", "北方的灯塔" } } }) } };
        if (playFrom)
            reply["play_from"] = *playFrom;
        if (lastPlayed) {
            reply["last_playback"] = { { "movie_from", "b" }, { "episode_id", *lastPlayed }, { "duration", 600 },
                { "current_time", 30 } };
        }
        return reply;
    }

    static json episodes(const std::string& code, int count)
    {
        json list = json::array();
        for (int i = 1; i <= count; ++i) {
            std::string id = code + std::to_string(i);
            list.push_back({ { "episode_id", id }, { "episode_name", "第" + std::to_string(i) + "集" },
                { "from_code", code }, { "play_url", "https://127.0.0.1:9/" + id + ".m3u8" },
                { "ready_to_play", true } });
        }
        return list;
    }

    static bool saysNoSources(ZV_DetailVC& page)
    {
        const auto& player = page.zv_playerView();
        const auto& error = player->zv_errorView();
        return error->title()->text() == "该影片暂无播放资源" && error->stackView()->isHidden()
            && player->player()->currentControlLayerIdentifier() == SJControlLayer_LoadFailed;
    }
};

CGFloat sourceRowHeight(ZV_DetailVC& page, int row)
{
    return page.heightForRow(*page.zv_tableView(), IndexPath(row, 0)).value_or(-1);
}

}

TEST_F(DetailNoEpisodesTest, WithoutASourceOfEpisodesThePlayerSaysSoElseTheFirstSourceWithEpisodesPlays)
{
    struct Case {
        const char* what;
        std::optional<json> playFrom;
        std::optional<std::string> lastPlayed;
        std::optional<std::string> start; // none: nothing to play
        bool sourceRows; // the action and selector rows keep their height
    };
    json emptyList = { { "code", "a" }, { "name", "线路一" }, { "list", json::array() } };
    json withEpisodes = { { "code", "b" }, { "name", "线路二" }, { "list", episodes("b", 3) } };
    const Case cases[] = {
        { "no sources", json::array(), std::nullopt, std::nullopt, false },
        { "no play_from", std::nullopt, std::nullopt, std::nullopt, false },
        { "one empty source", json::array({ json::object() }), std::nullopt, std::nullopt, true },
        { "every list empty", json::array({ emptyList, { { "code", "b" }, { "list", json::array() } } }),
            std::nullopt, std::nullopt, true },
        { "a source without a list", json::array({ { { "code", "a" }, { "name", "线路一" } } }), "a1",
            std::nullopt, true },
        { "an empty source before one with episodes", json::array({ json::object(), emptyList, withEpisodes }),
            std::nullopt, "b1", true },
        { "the last playback in the source that plays", json::array({ emptyList, withEpisodes }), "b2", "b2",
            true },
        { "the last playback elsewhere", json::array({ emptyList, withEpisodes }), "a2", "b1", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        api().script("v1/movie/detail", ApiReply::success(title(c.playFrom, c.lastPlayed)));
        std::size_t logged = lines().size();
        auto page = open(singleSourceTitle);
        ASSERT_TRUE(page->model);
        EXPECT_EQ(page->episode_id, c.start);
        EXPECT_EQ(sourceRowHeight(*page, 1), c.sourceRows ? 80 : 0);
        EXPECT_EQ(sourceRowHeight(*page, 3), c.sourceRows ? 183 : 0);
        const auto& cover = page->zv_playerView()->zv_loadingView();
        if (!c.start) {
            EXPECT_TRUE(saysNoSources(*page));
            // The cover that says playback is about to start is off the screen.
            EXPECT_EQ(cover->window(), nullptr);
            ASSERT_EQ(lines().size(), logged + 1);
            EXPECT_NE(lines().back().find(singleSourceTitle), std::string::npos) << lines().back();
        } else {
            EXPECT_FALSE(saysNoSources(*page));
            EXPECT_FALSE(page->zv_playerView()->zv_errorView()->stackView()->isHidden());
            ASSERT_TRUE(engine(*page));
            EXPECT_EQ(engine(*page)->lastRequest().URL, "https://127.0.0.1:9/" + *c.start + ".m3u8");
            EXPECT_EQ(lines().size(), logged);
        }
        window->setRootViewController(nullptr);
        drain();
        api().clearScripts();
    }
}

TEST_F(DetailNoEpisodesTest, ASwitchToASourceThatBringsEpisodesGivesTheErrorLayerItsButtonsBack)
{
    const std::string ownMessage = ZV_PlayerErrorView::make()->title()->text();
    api().script("v1/movie/detail",
        ApiReply::success(title(json::array({ { { "code", "lzm3u8" }, { "name", "线路一" }, { "list", json::array() } } }))));
    auto page = open(singleSourceTitle);
    ASSERT_TRUE(saysNoSources(*page));
    api().clearScripts();

    // A source the server has no episodes for changes nothing.
    page->loadPlayAddresses("nosuch");
    ASSERT_TRUE(allRepliesIn());
    EXPECT_TRUE(saysNoSources(*page));

    // The catalogue lists the source's episodes.
    page->loadPlayAddresses("lzm3u8");
    ASSERT_TRUE(allRepliesIn());
    ASSERT_TRUE(page->episode_id);
    advance(1);
    const auto& error = page->zv_playerView()->zv_errorView();
    EXPECT_EQ(error->title()->text(), ownMessage);
    EXPECT_FALSE(error->stackView()->isHidden());
    EXPECT_EQ(page->zv_playerView()->player()->currentControlLayerIdentifier(), SJControlLayer_Edge);
    EXPECT_EQ(lines().size(), 1u);
}
