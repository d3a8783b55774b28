// Which leaves of the title page report the position: the same second of the same episode and
// source as the viewer's last playback is known to the server already; the same second of another
// episode or of another source is not; under a second or signed out nothing is reported. The
// report of an app that leaves the front gets its reply before the app ends.

#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentFullView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/device/DeviceShell.h"
#include "platform/ui/lists/UICollectionView.h"
#include "tests/app/MainController/Detail/DetailTestSupport.h"
#include "tools/testserver/ViewerLists.h"

#include <chrono>
#include <gtest/gtest.h>

// Named, not file-local: the test classes derived from it are not file-local either.
namespace zvtest {

class DetailPlayReportTest : public DetailTest {
protected:
    // The viewer's lists as the sample has them: an earlier case's report moved its last playback.
    void restartViewerLists()
    {
        std::string error;
        ASSERT_TRUE(testserver::SampleMine::install(
            api(), sourceDir() / "tools/testserver/data", server().httpPort(), server().httpsPort(), &error))
            << error;
    }

    static std::string playedEpisode(ZV_DetailVC& page)
    {
        const auto& episode = page.zv_playerView()->episodeModel;
        return episode ? episode->episodeId.value_or("") : std::string();
    }

    // The episode on show plays to its end, and the player goes on to the next one.
    void runIntoNextEpisode(ZV_DetailVC& page)
    {
        std::string before = playedEpisode(page);
        page.zv_playerView()->player()->seekToTime(59.5, nullptr);
        advance(1);
        ASSERT_TRUE(runUntil([&] { return !playedEpisode(page).empty() && playedEpisode(page) != before; }));
        advance(1);
    }

    // The player moves to the source `code`, where the same place of the title goes on.
    void switchSource(ZV_DetailVC& page, const std::string& code)
    {
        page.loadPlayAddresses(code);
        ASSERT_TRUE(runUntil([&] { return page.zv_playerView()->episodeModel->fromCode == code; }));
        advance(1);
    }
};

}

using zvtest::DetailPlayReportTest;

// 青石巷的雨季 resumes at 第03集 00:08 (the viewer's last playback); 北方的灯塔 at 00:05 of
// episode 3 of 线路一. The page is left by covering it and again when the app resigns active: its
// last playback stays what the title came with, so the second leave reports what the first did.
TEST_F(DetailPlayReportTest, ALeaveReportsUnlessItIsTheSameSecondOfTheSameEpisodeAndSource)
{
    enum class Move { stay, nextEpisode, otherSource };
    struct Report {
        std::string episode;
        std::string source;
        int second;
    };
    struct Case {
        const char* what;
        bool signedIn;
        const char* title;
        Move move;
        double position;
        std::optional<Report> report;
    };
    const Case cases[] = {
        { "the same second of the same episode", true, singleSourceTitle, Move::stay, 8.4, std::nullopt },
        { "the same second of the next episode", true, singleSourceTitle, Move::nextEpisode, 8.4,
            Report { "2170004", "lzm3u8", 8 } },
        { "the same second of the same place in another source", true, longTitle, Move::otherSource, 5.4,
            Report { "3120003", "ffm3u8", 5 } },
        { "under a second of the next episode", true, singleSourceTitle, Move::nextEpisode, 0.6,
            std::nullopt },
        { "signed out", false, singleSourceTitle, Move::nextEpisode, 8.4, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restartViewerLists();
        if (c.signedIn)
            setToken(sampleToken);
        else
            StoreData::remove(StoreData::access_token);
        auto page = open(c.title);
        ASSERT_TRUE(runUntil([&] { return page->zv_playerView()->episodeModel != nullptr; }));
        advance(1);
        if (c.move == Move::nextEpisode)
            runIntoNextEpisode(*page);
        if (c.move == Move::otherSource)
            switchSource(*page, "ffm3u8");
        ASSERT_FALSE(HasFatalFailure());
        page->zv_playerView()->player()->seekToTime(c.position, nullptr);
        advance(0.1);
        api().clearRecords();

        page->navigationController()->pushViewController(UIViewController::create(), false);
        drain();
        EXPECT_TRUE(allRepliesIn());
        NotificationCenter::defaultCenter().post(UIApplicationNotification::WillResignActive);
        EXPECT_TRUE(allRepliesIn());

        std::vector<nlohmann::json> reports = callsTo("v1/movie_play/report");
        if (!c.report) {
            EXPECT_EQ(reports, std::vector<nlohmann::json> {});
        } else {
            ASSERT_EQ(reports.size(), 2u);
            for (const nlohmann::json& report : reports) {
                EXPECT_EQ(report["movie_id"], c.title);
                EXPECT_EQ(report["episode_id"], c.report->episode);
                EXPECT_EQ(report["movie_from"], c.report->source);
                EXPECT_EQ(report["current_time"], c.report->second);
            }
        }
        // No page of this case is left to report at the next case's leaves.
        std::weak_ptr<ZV_DetailVC> gone = page;
        page.reset();
        window->setRootViewController(nullptr);
        settlePresentations();
        ASSERT_TRUE(gone.expired());
    }
}

// The window closed in full screen on an episode picked there ends the app only once the report
// of that episode and place has its reply, however late or whatever it says: what is still under
// way when the process ends is lost.
TEST_F(DetailPlayReportTest, AnAppEndedInFullScreenWaitsForTheReportOfTheEpisodePickedThere)
{
    struct Case {
        std::optional<testserver::ApiReply> reply; // none: the server's own, 0.3 s late
        std::string kept;
    };
    for (const Case& c : { Case { std::nullopt, "第09集 7" },
             Case { testserver::ApiReply::error(2000, "请先登录"), "第03集 8" } }) {
        SCOPED_TRACE(c.kept);
        restartViewerLists();
        setToken(sampleToken);
        UIApplication::shared().enterForeground();
        auto page = open(singleSourceTitle);
        ASSERT_TRUE(runUntil([&] { return page->zv_playerView()->episodeModel != nullptr; }));
        page->zv_playerView()->player()->rotationManager().rotate();
        advance(1);
        page->showEpisodePicker();
        auto panel = std::dynamic_pointer_cast<ZV_SelectEpisodeContentFullView>(
            QMUIModalPresentationViewController::visibleModalPresentationViewControllers().back()->contentView());
        ASSERT_TRUE(panel);
        panel->didSelectItem(*panel->collectionView(), IndexPath::forItem(8, 0)); // resolved by the server
        ASSERT_TRUE(runUntil([&] { return playedEpisode(*page) == "2170009"; }));
        page->zv_playerView()->player()->seekToTime(6.5, nullptr);
        advance(1);
        api().setDelay("v1/movie_play/report", std::chrono::milliseconds(300));
        if (c.reply)
            api().script("v1/movie_play/report", *c.reply);

        UIApplication::shared().enterBackground();
        EXPECT_TRUE(UIApplication::shared().finishBackgroundTasks(DeviceShell::backgroundTaskSeconds));
        EXPECT_EQ(HTTPClient::shared().requestsUnderWay(), 0u);
        testserver::ViewerLists::of(api())->read(*testserver::ViewerLists::accountOf(api(), sampleToken),
            [&](const testserver::AccountLists& lists) {
                const testserver::PlaybackRecord* record = lists.recordOf(singleSourceTitle);
                EXPECT_EQ(record->episodeName + " " + std::to_string(record->currentTime), c.kept);
            });
        StoreData::remove(StoreData::access_token); // the page's last leave reports nothing
        window->setRootViewController(nullptr);
        api().clearScripts();
        settlePresentations();
    }
}
