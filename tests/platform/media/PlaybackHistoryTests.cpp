#include "platform/media/SJBaseVideoPlayer.h"
#include "platform/media/SJPlaybackHistoryController.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/storage/ASConfigration.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const std::string episodeClip = "https://media.test/episode.m3u8";

class PlaybackHistoryTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        ASConfigration::setDefaultDB((dir / "zvlist.db").string(), "zvlist.db");
        SJPlaybackRecordSaveHandler::shared().setEventMask(SJPlaybackRecordSaveEventAll);
        SJBaseVideoPlayer::setPlaybackControllerFactory([] { return SJScriptedPlaybackController::make(); });
    }
    void TearDown() override
    {
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        SJPlaybackRecordSaveHandler::shared().setEventMask(0);
        ASConfigration::closeDefaultDB();
        ASConfigration::setDefaultDB("", "");
        MainLoopTest::TearDown();
    }

    static std::shared_ptr<SJPlaybackRecord> find(const SJPlaybackMediaId& id)
    {
        return SJPlaybackHistoryController::shared().recordForMedia(id, 0, SJMediaTypeVideo);
    }

    static double stored(const SJPlaybackMediaId& id)
    {
        auto record = find(id);
        return record ? record->position : -1;
    }

    zvtest::TempDir dir;
};

}

TEST_F(PlaybackHistoryTest, RecordsAreKeyedByTitleAndEpisodeApart)
{
    SJPlaybackRecord first({ "12", "34" }, SJMediaTypeVideo, 0);
    first.position = 30;
    first.setExtendedValue("title", "第一集");
    SJPlaybackRecord second({ "123", "4" }, SJMediaTypeVideo, 0);
    second.position = 40;
    ASSERT_TRUE(SJPlaybackHistoryController::shared().save(first));
    ASSERT_TRUE(SJPlaybackHistoryController::shared().save(second));

    EXPECT_EQ(stored({ "12", "34" }), 30);
    EXPECT_EQ(stored({ "123", "4" }), 40);
    EXPECT_EQ(find({ "12", "34" })->extendedValue("title"), "第一集");
    EXPECT_FALSE(find({ "1234", "" }));
    EXPECT_FALSE(SJPlaybackHistoryController::shared().recordForMedia({ "12", "34" }, 1, SJMediaTypeVideo));

    // A second new record of the same media takes the place of the first.
    SJPlaybackRecord again({ "12", "34" }, SJMediaTypeVideo, 0);
    again.position = 50;
    ASSERT_TRUE(SJPlaybackHistoryController::shared().save(again));
    EXPECT_EQ(stored({ "12", "34" }), 50);
    EXPECT_EQ(SJPlaybackRecord::findAll()->size(), 2u);

    // A stored object of extensions that is no object reads as empty and is replaced on write.
    again.extended = "[1, 2";
    EXPECT_FALSE(again.extendedValue("title"));
    again.setExtendedValue("episode", "b3x4");
    EXPECT_EQ(again.extendedValue("episode"), "b3x4");
}

TEST_F(PlaybackHistoryTest, ThePlayerWritesItsPositionOnTheEventsOfTheMask)
{
    struct Case {
        unsigned mask;
        double afterPause; // what is stored after a pause at 5 s
        double afterNewAsset; // and after another asset replaces it at 8 s
    };
    for (const Case& c : std::vector<Case> {
             { SJPlaybackRecordSaveEventAll, 5, 8 },
             { SJPlaybackRecordSaveEventAssetChange, -1, 8 },
             { 0, -1, -1 },
         }) {
        SCOPED_TRACE(c.mask);
        SJPlaybackRecord::deleteAll();
        SJPlaybackRecordSaveHandler::shared().setEventMask(c.mask);
        auto player = SJBaseVideoPlayer::player();
        auto asset = SJVideoPlayerURLAsset::initWithURL(episodeClip);
        asset->setRecord(std::make_shared<SJPlaybackRecord>(SJPlaybackMediaId { "a12", "b3x4" }, SJMediaTypeVideo, 0));
        player->setURLAsset(asset);
        advance(0.5 + 5);
        player->pause();
        EXPECT_EQ(stored({ "a12", "b3x4" }), c.afterPause);
        player->play();
        advance(3);
        player->setURLAsset(SJVideoPlayerURLAsset::initWithURL(episodeClip + "?next"));
        EXPECT_EQ(stored({ "a12", "b3x4" }), c.afterNewAsset);
    }
}

TEST_F(PlaybackHistoryTest, AnAssetThatNeverOpenedOrPlayedToTheEndKeepsNoStalePosition)
{
    SJPlaybackRecord saved({ "t", "e" }, SJMediaTypeVideo, 0);
    saved.position = 300;
    ASSERT_TRUE(SJPlaybackHistoryController::shared().save(saved));

    // Left before it opened: the stored position stays.
    auto player = SJBaseVideoPlayer::player();
    auto asset = SJVideoPlayerURLAsset::initWithURL(episodeClip);
    asset->setRecord(find({ "t", "e" }));
    player->setURLAsset(asset);
    player->stop();
    EXPECT_EQ(stored({ "t", "e" }), 300);

    // Played to the end: the next opening starts from the beginning.
    SJScriptedMedia shortClip;
    shortClip.duration = 3;
    SJScriptedPlaybackController::script(episodeClip, shortClip);
    player->setURLAsset(asset);
    advance(5);
    EXPECT_TRUE(player->isPlaybackFinished());
    EXPECT_EQ(stored({ "t", "e" }), 0);
    SJScriptedPlaybackController::clearScripts();
}
