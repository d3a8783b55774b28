// The playback core on the scripted engine: statuses, blocks and rules on the virtual clock.

#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJBaseVideoPlayer.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/ui/UIApplication.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>

namespace {

using Status = SJPlaybackTimeControlStatus;

const std::string clip = "https://media.test/clip.m3u8";

class PlaybackCoreTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        SJScriptedPlaybackController::clearScripts();
        SJBaseVideoPlayer::setPlaybackControllerFactory([this] {
            engine = SJScriptedPlaybackController::make();
            return engine;
        });
        player = SJBaseVideoPlayer::player();
        auto& observer = player->playbackObserver();
        observer.setPlaybackStatusDidChangeExeBlock([this](SJBaseVideoPlayer& p) {
            statuses.emplace_back(p.timeControlStatus(), std::string(p.reasonForWaitingToPlay()));
        });
        observer.setAssetStatusDidChangeExeBlock([this](SJBaseVideoPlayer& p) { assetStatuses.push_back(p.assetStatus()); });
        observer.setPlaybackDidFinishExeBlock([this](SJBaseVideoPlayer&) { ++finished; });
        observer.setCurrentTimeDidChangeExeBlock([this](SJBaseVideoPlayer& p) { ticks.push_back(p.currentTime()); });
    }
    void TearDown() override
    {
        player.reset();
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        SJScriptedPlaybackController::clearScripts();
        MainLoopTest::TearDown();
    }

    void open(SJScriptedMedia media = {}, const std::string& url = clip)
    {
        SJScriptedPlaybackController::script(url, media);
        player->setURLAsset(SJVideoPlayerURLAsset::initWithURL(url));
        advance(media.openingTime);
    }

    std::shared_ptr<SJScriptedPlaybackController> engine;
    std::shared_ptr<SJBaseVideoPlayer> player;
    std::vector<std::pair<Status, std::string>> statuses;
    std::vector<SJAssetStatus> assetStatuses;
    std::vector<double> ticks;
    int finished = 0;
};

}

TEST_F(PlaybackCoreTest, StatusesFollowOpeningStallsAndTheEnd)
{
    SJScriptedMedia media;
    media.duration = 10;
    media.openingTime = 1;
    media.stalls = { { 4, 3 } };
    SJScriptedPlaybackController::script(clip, media);
    player->setURLAsset(SJVideoPlayerURLAsset::initWithURL(clip));
    EXPECT_EQ(player->duration(), 0); // not known while opening
    advance(1);
    EXPECT_EQ(player->duration(), 10);
    advance(4);
    EXPECT_EQ(player->currentTime(), 4); // held at the stall
    advance(3);
    advance(6);

    using P = std::pair<Status, std::string>;
    EXPECT_EQ(statuses, (std::vector<P> {
                            { Status::waitingToPlayAtSpecifiedRate, std::string(SJWaitingWithNoAssetToPlayReason) },
                            { Status::playing, "" },
                            { Status::waitingToPlayAtSpecifiedRate, std::string(SJWaitingToMinimizeStallsReason) },
                            { Status::playing, "" },
                            { Status::paused, "" },
                        }));
    EXPECT_EQ(assetStatuses, (std::vector { SJAssetStatus::preparing, SJAssetStatus::readyToPlay }));
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(player->isPlaybackFinished());
    EXPECT_EQ(player->currentTime(), 10);
    // Ticks every half second while the time moves, ending where it stopped.
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.back(), 10);
    EXPECT_GE(ticks.size(), 15u);
}

TEST_F(PlaybackCoreTest, FailuresWhileOpeningAndWhilePlayingEndInFailed)
{
    SJScriptedMedia broken;
    broken.failsToOpen = true;
    open(broken);
    EXPECT_EQ(player->assetStatus(), SJAssetStatus::failed);
    EXPECT_EQ(player->timeControlStatus(), Status::paused);
    player->play();
    EXPECT_EQ(player->timeControlStatus(), Status::paused);

    SJScriptedMedia failing;
    failing.failsAt = 3;
    open(failing, clip + "?2");
    advance(5);
    EXPECT_EQ(player->assetStatus(), SJAssetStatus::failed);
    EXPECT_EQ(assetStatuses.back(), SJAssetStatus::failed);
    EXPECT_EQ(finished, 0);
}

TEST_F(PlaybackCoreTest, SeekPauseRateAndReplay)
{
    SJScriptedMedia media;
    media.duration = 20;
    open(media);
    std::optional<bool> seeked;
    player->seekToTime(50, [&](bool done) { seeked = done; });
    EXPECT_FALSE(seeked); // completions come on the main queue, later
    drain();
    EXPECT_EQ(seeked, true);
    EXPECT_EQ(player->currentTime(), 20); // within the duration: at the end
    player->seekToTime(5);
    drain();
    EXPECT_EQ(ticks.back(), 5);

    player->pause();
    advance(3);
    EXPECT_EQ(player->currentTime(), 5);
    player->setRate(4); // at most twice as fast
    EXPECT_EQ(player->rate(), 2);
    player->play();
    advance(2);
    EXPECT_EQ(player->currentTime(), 9);
    player->setRate(0.1);
    EXPECT_EQ(player->rate(), 0.5);

    advance(30);
    EXPECT_EQ(finished, 1);
    player->replay();
    EXPECT_FALSE(player->isPlaybackFinished());
    advance(1);
    EXPECT_EQ(player->currentTime(), 0.5);
    EXPECT_EQ(player->timeControlStatus(), Status::playing);
}

TEST_F(PlaybackCoreTest, AssetFlagsDecideWhetherAndWhatPlays)
{
    player->setAutoplayWhenSetNewAsset(false);
    open();
    EXPECT_EQ(player->timeControlStatus(), Status::paused);
    EXPECT_FALSE(player->isPlayed());

    bool allowed = false;
    player->setCanPlayAnAsset([&](SJBaseVideoPlayer&) { return allowed; });
    player->play();
    EXPECT_EQ(player->timeControlStatus(), Status::paused);
    allowed = true;
    player->play();
    EXPECT_EQ(player->timeControlStatus(), Status::playing);
    EXPECT_TRUE(player->isPlayed());
    player->pauseForUser();
    EXPECT_TRUE(player->isUserPaused());

    // Only fields that are safe go to the engine.
    AVURLAsset::Options options { { AVURLAssetHTTPHeaderFieldsKey,
        { { "User-Agent", "Agent/1" }, { "X-A", "1" }, { "X-B", "2\r\nX-C: 3" }, { "X D", "4" } } } };
    player->setURLAsset(SJVideoPlayerURLAsset::initWithAVAsset(AVURLAsset::URLAssetWithURL(clip, options)));
    EXPECT_EQ(engine->lastRequest().headerFields, (HTTPHeaders { { "User-Agent", "Agent/1" }, { "X-A", "1" } }));
    EXPECT_FALSE(player->isUserPaused());

    player->stop();
    EXPECT_FALSE(player->URLAsset());
    EXPECT_EQ(player->assetStatus(), SJAssetStatus::unknown);
    EXPECT_EQ(player->duration(), 0);
}

TEST_F(PlaybackCoreTest, BackgroundAndDisappearingPauseAndResumeByTheRules)
{
    struct Case {
        bool pausedInBackground;
        bool resumeInForeground;
        bool userPaused;
        Status inBackground;
        Status inForeground;
    };
    for (const Case& c : std::vector<Case> {
             { true, true, false, Status::paused, Status::playing },
             { true, false, false, Status::paused, Status::paused },
             { false, true, false, Status::playing, Status::playing },
             { true, true, true, Status::paused, Status::paused },
         }) {
        SCOPED_TRACE(testing::Message() << c.pausedInBackground << c.resumeInForeground << c.userPaused);
        player->setPausedInBackground(c.pausedInBackground);
        player->setResumePlaybackWhenAppDidEnterForeground(c.resumeInForeground);
        open();
        if (c.userPaused)
            player->pauseForUser();
        NotificationCenter::defaultCenter().post(UIApplicationNotification::DidEnterBackground);
        EXPECT_EQ(player->timeControlStatus(), c.inBackground);
        NotificationCenter::defaultCenter().post(UIApplicationNotification::WillEnterForeground);
        EXPECT_EQ(player->timeControlStatus(), c.inForeground);
    }

    open();
    player->vc_viewDidDisappear();
    EXPECT_EQ(player->timeControlStatus(), Status::paused);
    player->vc_viewDidAppear();
    EXPECT_EQ(player->timeControlStatus(), Status::playing);
}

TEST_F(PlaybackCoreTest, ABlockThatSetsANewAssetWinsOverTheRestOfTheOldOne)
{
    SJScriptedMedia shortClip;
    shortClip.duration = 2;
    SJScriptedPlaybackController::script(clip + "?next", {});
    player->playbackObserver().setPlaybackDidFinishExeBlock([&](SJBaseVideoPlayer& p) {
        ++finished;
        p.setURLAsset(SJVideoPlayerURLAsset::initWithURL(clip + "?next"));
    });
    open(shortClip);
    advance(2);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(player->URLAsset()->URL(), clip + "?next");
    EXPECT_FALSE(player->isPlaybackFinished());
    advance(1);
    EXPECT_EQ(player->timeControlStatus(), Status::playing);

    // Blocks may also let the player go.
    player->playbackObserver().setPlaybackStatusDidChangeExeBlock([&](SJBaseVideoPlayer&) { player.reset(); });
    player->pause();
    EXPECT_FALSE(player);
    advance(1);
}
