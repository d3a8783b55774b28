// Resume, opening and ending skips, the next episode and the slow-load hint, on the scripted
// engine and the virtual clock.

#include "platform/ui/gestures/TouchDriver.h"
#include "tests/app/MainController/Detail/PlayerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using zvtest::EpisodeSpec;

const std::string resumeEp1 = "https://media.test/ep1.m3u8";
const std::string resumeEp2 = "https://media.test/ep2.m3u8";

class PlayerResumeSkipTest : public zvtest::PlayerTest {
protected:
    std::shared_ptr<ZV_DetailModel> twoEpisodes(std::string id = "t1")
    {
        return zvtest::titleWith({ { "e1", resumeEp1 }, { "e2", resumeEp2 } }, std::move(id));
    }
    static void lastPlayback(ZV_DetailModel& model, std::string episode, std::int64_t seconds)
    {
        model.lastPlayback = std::make_shared<ZV_DetailDataListLastPlaybackModel>();
        model.lastPlayback->episode_id = std::move(episode);
        model.lastPlayback->current_time = seconds;
    }
    std::vector<std::string> owner;
    void listen()
    {
        view->clickIndexWithEpisodeId = [this](const std::string& id) { owner.push_back(id); };
    }
};

}

TEST_F(PlayerResumeSkipTest, TheFirstPlayingStatusResumesOrSkipsTheOpeningOnce)
{
    const std::string setUp = "设置开启跳过片头片尾";
    SJScriptedMedia longEpisode;
    longEpisode.duration = 600;
    SJScriptedPlaybackController::script(resumeEp1, longEpisode);
    struct Case {
        std::optional<std::int64_t> opening; // the title's skip record
        std::string lastEpisode;
        std::int64_t lastTime;
        double position;
        std::vector<std::string> prompts;
    };
    const std::vector<Case> cases {
        { std::nullopt, "e1", 0, 0, { setUp } },
        { std::nullopt, "e1", 1, 1, { setUp, "上次观看至 00:01 已为你自动续播" } },
        { 90, "e1", 30, 90, { "已为你跳过片头" } },
        { 90, "e1", 120, 120, { "上次观看至 02:00 已为你自动续播" } },
        { 90, "e2", 500, 90, { "已为你跳过片头" } },
        { 0, "e1", 0, 0, {} }, // a record of 0/0 skips nothing and asks for nothing
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        freshView();
        std::string title = "title" + std::to_string(n++);
        if (c.opening)
            ZV_PlayerTimeModel::store(title, ZV_PlayerTimeModel::Part::opening, *c.opening);
        auto model = twoEpisodes(title);
        lastPlayback(*model, c.lastEpisode, c.lastTime);
        play(model, "e1");
        advance(1.0);
        EXPECT_NEAR(player().currentTime(), c.position, 0.9);
        EXPECT_EQ(prompts(), c.prompts);
        // Once per asset: a pause and a new playing status do nothing more.
        player().pause();
        player().seekToTime(0);
        player().play();
        advance(0.5);
        EXPECT_LT(player().currentTime(), 1.0);
    }
}

TEST_F(PlayerResumeSkipTest, TheEndingSkipIsAnnouncedTenSecondsAheadAndHappensAtItsSecondUnlessCancelled)
{
    SJScriptedMedia episode;
    episode.duration = 1200;
    SJScriptedPlaybackController::script(resumeEp1, episode);
    ZV_PlayerTimeModel::store("t1", ZV_PlayerTimeModel::Part::ending, 60);
    for (bool cancel : { false, true }) {
        SCOPED_TRACE(cancel);
        freshView();
        listen();
        owner.clear();
        play(twoEpisodes(), "e1");
        advance(0.5);
        player().seekToTime(1125);
        advance(4.0); // 1129
        EXPECT_TRUE(prompts().empty());
        advance(1.5); // past 1130
        ASSERT_EQ(prompts(), (std::vector<std::string> { "10s后为您跳过片尾 [取消]" }));
        if (cancel) {
            auto shown = player().promptingPopupController().displayingViews().back();
            CGRect frame = shown->convert(shown->bounds(), nullptr);
            ASSERT_TRUE(TouchDriver().tap({ frame.midX(), frame.midY() }));
            EXPECT_TRUE(prompts().empty());
        }
        while (player().currentTime() < 1139.5)
            advance(0.5);
        EXPECT_EQ(view->episodeId, "e1");
        advance(1.0); // past 1140
        if (cancel) {
            EXPECT_EQ(view->episodeId, "e1");
            EXPECT_TRUE(owner.empty());
        } else {
            EXPECT_EQ(view->episodeId, "e2");
            EXPECT_EQ(assetURL(), resumeEp2);
            EXPECT_EQ(owner, (std::vector<std::string> { "e2" }));
        }
    }
}

TEST_F(PlayerResumeSkipTest, AnEndedEpisodeMovesOnOrShowsTheReplayItemAndNextOnTheLastOnlyTellsTheOwner)
{
    SJScriptedMedia shortClip;
    shortClip.duration = 2;
    SJScriptedPlaybackController::script(resumeEp1, shortClip);
    SJScriptedPlaybackController::script(resumeEp2, shortClip);
    listen();
    auto replay = player().defaultEdgeControlLayer()->centerAdapter()->itemForTag(
        SJEdgeControlLayerCenterItem_Replay);

    // An id that matches no entry starts the list over.
    play(twoEpisodes(), "e2");
    view->episodeId = "gone";
    advance(3);
    EXPECT_EQ(assetURL(), resumeEp1);
    EXPECT_EQ(owner, (std::vector<std::string> { "e1" }));
    // The first ends: the second; the second ends: the replay item.
    advance(3);
    EXPECT_EQ(owner, (std::vector<std::string> { "e1", "e2" }));
    EXPECT_EQ(replay->alpha(), 0);
    advance(3);
    EXPECT_EQ(assetURL(), resumeEp2);
    EXPECT_EQ(replay->alpha(), 1);

    // The next item on the last episode plays nothing and still tells the owner.
    view->playNextEpisode();
    EXPECT_EQ(assetURL(), resumeEp2);
    EXPECT_EQ(owner.back(), "e2");
    EXPECT_EQ(owner.size(), 3u);
}

TEST_F(PlayerResumeSkipTest, TenSecondsOfStalledWaitingGiveOneHint)
{
    SJScriptedMedia stalling;
    stalling.stalls = { { 2, 5 }, { 4, 40 } };
    SJScriptedPlaybackController::script(resumeEp1, stalling);
    auto hint = [&] { return player().textPopupController().displayingView(); };
    play(twoEpisodes(), "e1");
    // 0.5 s opening (a wait without an asset), 2 s of play, a 5 s stall, play again: no hint.
    advance(8);
    EXPECT_FALSE(hint());
    EXPECT_EQ(player().timeControlStatus(), SJPlaybackTimeControlStatus::playing);
    // The second stall at 4 s of media (9.5 s on the clock): 10 s of waiting bring the hint, for 5 s.
    advance(2);
    EXPECT_EQ(player().reasonForWaitingToPlay(), SJWaitingToMinimizeStallsReason);
    advance(9.4);
    EXPECT_FALSE(hint());
    advance(0.2);
    ASSERT_TRUE(hint());
    auto popup = std::dynamic_pointer_cast<SJPopupTextView>(hint());
    EXPECT_EQ(popup->label()->text(), "视频加载缓慢，可以点击下方切换按钮选择其他视频源");
    advance(5);
    EXPECT_FALSE(hint());
    // Still the same wait: no second hint.
    advance(15);
    EXPECT_FALSE(hint());
}
