// The short-video page cell and its inline player on the scripted engine: taps, the cover and
// the play icon by status, looping, the media cache's address, and the background.

#include "app/MainController/Short/View/ZV_ShortVideoViewCell.h"
#include "tests/app/MainController/Short/ShortTestSupport.h"

namespace {

class CellTest : public shorttest::ShortScreenTest {
protected:
    void SetUp() override
    {
        ShortScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        cell = std::make_shared<ZV_ShortVideoViewCell>(CGRect { 0, 0, 390, 760 });
        window->addSubview(cell);
        window->layoutIfNeeded();
    }
    void TearDown() override
    {
        cell.reset();
        ShortScreenTest::TearDown();
    }

    void tap()
    {
        ASSERT_TRUE(driver.tap({ 195, 300 }));
        drain();
    }
    bool iconShows() const { return !cell->playImageView()->isHidden(); }
    bool coverShows() const { return !cell->coverImageView()->isHidden(); }

    std::shared_ptr<ZV_ShortVideoViewCell> cell;
};

TEST_F(CellTest, ATapPlaysOrPausesForTheViewerAndTheIconShowsOnlyOnAStartedPausedClip)
{
    const auto& player = cell->player();
    player->configureWithURL("https://cdn.test/a.mp4");
    advance(1);
    EXPECT_TRUE(player->isPaused()) << "it waits for play";
    EXPECT_FALSE(iconShows()) << "nothing was started yet";

    tap(); // not started: starts
    advance(0.5);
    EXPECT_FALSE(player->isPaused());
    EXPECT_FALSE(iconShows());

    tap(); // running: the viewer's own pause
    EXPECT_TRUE(player->isPaused());
    EXPECT_TRUE(player->isUserPaused());
    EXPECT_TRUE(iconShows());
    EXPECT_EQ(cell->playImageView()->alpha(), 0.5);

    tap();
    EXPECT_FALSE(player->isPaused());
    EXPECT_FALSE(player->isUserPaused());
    EXPECT_FALSE(iconShows());
}

TEST_F(CellTest, TheCoverStaysUntilTheClipCanPlayAndAgainForANewOrAFailedOne)
{
    SJScriptedMedia broken;
    broken.failsToOpen = true;
    SJScriptedPlaybackController::script("http://127.0.0.1:1/proxy/https://cdn.test/bad.mp4", broken);
    const auto& player = cell->player();

    player->configureWithURL("https://cdn.test/a.mp4");
    EXPECT_EQ(player->URLAsset()->URL(), "http://127.0.0.1:1/proxy/https://cdn.test/a.mp4");
    player->play();
    EXPECT_TRUE(coverShows());
    advance(0.6);
    EXPECT_FALSE(coverShows());

    player->configureWithURL("https://cdn.test/bad.mp4");
    EXPECT_TRUE(coverShows()) << "a new clip hides what the old one showed";
    player->play();
    advance(1);
    EXPECT_EQ(player->assetStatus(), SJAssetStatus::failed);
    EXPECT_TRUE(coverShows());
    EXPECT_FALSE(iconShows());

    // Without a playback address from the cache the clip plays from its own.
    cache->proxies = false;
    player->configureWithURL("https://cdn.test/b.mp4");
    EXPECT_EQ(player->URLAsset()->URL(), "https://cdn.test/b.mp4");
}

TEST_F(CellTest, AClipThatEndsStartsAgainAndTheBackgroundPausesItForGood)
{
    SJScriptedMedia shortClip;
    shortClip.duration = 2;
    SJScriptedPlaybackController::script("http://127.0.0.1:1/proxy/https://cdn.test/loop.mp4", shortClip);
    const auto& player = cell->player();
    player->configureWithURL("https://cdn.test/loop.mp4");
    player->play();
    advance(0.5 + 2.2);
    drain();
    EXPECT_FALSE(player->isPaused());
    EXPECT_FALSE(player->isPlaybackFinished());
    EXPECT_LT(player->currentTime(), 1.0);

    UIApplication::shared().enterBackground();
    EXPECT_TRUE(player->isPaused());
    UIApplication::shared().enterForeground();
    advance(1);
    EXPECT_TRUE(player->isPaused());
}

}
