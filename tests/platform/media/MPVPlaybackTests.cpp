// The real engine playing the local test server's video through libmpv, in real time. Waits are
// generous and bounded: these run on loaded machines under the sanitizers.

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJBaseVideoPlayer.h"
#include "platform/media/SJMPVPlaybackController.h"
#include "platform/media/cache/MCSMediaCache.h"
#include "platform/net/HTTPClient.h"
#include "platform/ui/Renderer.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tests/tools/testserver/TestMedia.h"
#include "tools/testserver/TestServer.h"
#include "tools/testserver/VideoRoutes.h"

#include <gtest/gtest.h>
#include <mutex>

using namespace testserver;

namespace {

constexpr double openWait = 30;

class MPVPlaybackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        s_server = TestServer::start({ zvtest::testKeysDir(), {} }, &error).release();
        ASSERT_TRUE(s_server) << error;
        ASSERT_TRUE(VideoRoutes::install(*s_server, zvtest::testMediaDir(), &error)) << error;
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }

    void SetUp() override
    {
        RunLoop::main().reset();
        Clock::useReal();
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        s_server->clearRequests();
        player = SJBaseVideoPlayer::player();
    }
    void TearDown() override
    {
        player.reset();
        RunLoop::main().reset();
    }

    static std::string url(const std::string& path) { return s_server->httpURL() + path; }

    static std::shared_ptr<SJVideoPlayerURLAsset> asset(
        const std::string& path, AVURLAsset::HeaderFields fields = {})
    {
        AVURLAsset::Options options;
        if (!fields.empty())
            options[AVURLAssetHTTPHeaderFieldsKey] = fields;
        return SJVideoPlayerURLAsset::initWithAVAsset(AVURLAsset::URLAssetWithURL(url(path), options));
    }

    bool waitFor(const std::function<bool()>& done, double seconds = openWait)
    {
        return RunLoop::main().runUntil(done, seconds);
    }

    // What the engine said went wrong; a player without an engine (libmpv not loaded) says so.
    std::string engineError() const
    {
        const auto& engine = player->playbackController();
        return engine ? engine->errorDescription() : "no playback engine";
    }

    bool waitUntilReady()
    {
        return waitFor([&] { return player->assetStatus() != SJAssetStatus::preparing; })
            && player->assetStatus() == SJAssetStatus::readyToPlay;
    }

    static inline TestServer* s_server = nullptr;
    std::shared_ptr<SJBaseVideoPlayer> player;
};

}

TEST_F(MPVPlaybackTest, PlaysTheEncryptedVariantOfTheMasterWithTheAssetsFieldsOnEveryRequest)
{
    player->setURLAsset(asset("/video/master.m3u8",
        {
            { "User-Agent", "ZentavoTest/1.0" },
            { "X-Token", "token, with a comma" },
            { "X-Split", "a\r\nInjected: 1" },
            { "Bad Name", "x" },
        }));
    ASSERT_TRUE(waitUntilReady()) << engineError();
    EXPECT_NEAR(player->duration(), 12, 0.5);
    ASSERT_TRUE(waitFor([&] { return player->currentTime() >= 1.0; }));
    EXPECT_EQ(player->timeControlStatus(), SJPlaybackTimeControlStatus::playing);
    // The picture of the high variant has come into the view, and a picture of the view shows it:
    // the test pattern's yellow bar in the middle of its upper half.
    ASSERT_TRUE(waitFor([&] { return player->presentView()->frameImage().has_value(); }));
    EXPECT_EQ(player->presentView()->frameImage()->pixelWidth(), 480);
    player->view()->setFrame({ { 0, 0 }, { 320, 180 } });
    UIImage shot = Renderer::render(*player->view(), 1);
    UIColor::RGBA bar = shot.pixel(165, 45);
    EXPECT_GT(bar.red, 0.7);
    EXPECT_GT(bar.green, 0.7);
    EXPECT_LT(bar.blue, 0.3);

    std::vector<std::string> kinds = { "/video/master.m3u8", "/video/high/index.m3u8", "/video/high/key.bin",
        "/video/high/seg0.ts" };
    for (const std::string& path : kinds)
        EXPECT_FALSE(s_server->requestsTo(path).empty()) << path;
    for (const Request& request : s_server->requests()) {
        EXPECT_EQ(request.header("User-Agent"), "ZentavoTest/1.0") << request.path;
        EXPECT_EQ(request.header("X-Token"), "token, with a comma") << request.path;
        EXPECT_FALSE(request.header("X-Split")) << request.path;
        EXPECT_FALSE(request.header("Injected")) << request.path;
    }
}

TEST_F(MPVPlaybackTest, PausesSeeksChangesRateAndReachesTheEndOfAnMP4WithByteRanges)
{
    int finished = 0;
    player->playbackObserver().setPlaybackDidFinishExeBlock([&](SJBaseVideoPlayer&) { ++finished; });
    player->setURLAsset(asset("/video/clip.mp4"));
    ASSERT_TRUE(waitUntilReady()) << engineError();
    EXPECT_NEAR(player->duration(), 12, 0.5);
    ASSERT_TRUE(waitFor([&] { return player->currentTime() >= 0.5; }));

    player->pause();
    EXPECT_TRUE(player->isPaused());
    double stopped = player->currentTime();
    waitFor([] { return false; }, 0.8);
    EXPECT_NEAR(player->currentTime(), stopped, 0.15);

    std::optional<bool> seeked;
    player->seekToTime(6, [&](bool done) { seeked = done; });
    ASSERT_TRUE(waitFor([&] { return seeked.has_value(); }));
    EXPECT_TRUE(*seeked);
    EXPECT_NEAR(player->currentTime(), 6, 0.6);
    bool ranged = false;
    for (const Request& request : s_server->requestsTo("/video/clip.mp4"))
        ranged = ranged || request.header("Range").has_value();
    EXPECT_TRUE(ranged);

    // At twice the rate the media time moves clearly faster than the clock.
    player->setRate(2.0);
    player->play();
    ASSERT_TRUE(waitFor([&] { return player->timeControlStatus() == SJPlaybackTimeControlStatus::playing; }));
    double mediaStart = player->currentTime();
    double clockStart = Clock::realNow();
    waitFor([&] { return player->currentTime() >= mediaStart + 3 || finished; }, 10);
    double rate = (player->currentTime() - mediaStart) / (Clock::realNow() - clockStart);
    EXPECT_GT(rate, 1.4);

    ASSERT_TRUE(waitFor([&] { return finished > 0; }));
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(player->isPlaybackFinished());
    EXPECT_EQ(player->timeControlStatus(), SJPlaybackTimeControlStatus::paused);
}

TEST_F(MPVPlaybackTest, WaitsOnASlowSegmentAndPlaysOnWhenItComes)
{
    std::vector<std::pair<SJPlaybackTimeControlStatus, std::string>> statuses;
    player->playbackObserver().setPlaybackStatusDidChangeExeBlock([&](SJBaseVideoPlayer& p) {
        statuses.emplace_back(p.timeControlStatus(), std::string(p.reasonForWaitingToPlay()));
    });
    player->setURLAsset(asset("/video/low/index.m3u8?slow=2&delay=9000"));
    ASSERT_TRUE(waitUntilReady()) << engineError();
    ASSERT_TRUE(waitFor([&] { return player->currentTime() >= 5; }));

    // Playing, then waiting for the slow segment with the stall reason, then playing again.
    auto isPlaying = [](const auto& s) { return s.first == SJPlaybackTimeControlStatus::playing; };
    auto played = std::find_if(statuses.begin(), statuses.end(), isPlaying);
    auto stall = std::find(played, statuses.end(),
        std::pair(SJPlaybackTimeControlStatus::waitingToPlayAtSpecifiedRate, std::string(SJWaitingToMinimizeStallsReason)));
    ASSERT_NE(stall, statuses.end());
    EXPECT_NE(std::find_if(stall, statuses.end(), isPlaying), statuses.end());
}

TEST_F(MPVPlaybackTest, AStreamThatIsNoPlaylistOrIsMissingFails)
{
    for (const char* path : { "/video/broken.m3u8", "/video/missing.m3u8" }) {
        SCOPED_TRACE(path);
        std::vector<SJAssetStatus> reported;
        player->playbackObserver().setAssetStatusDidChangeExeBlock(
            [&](SJBaseVideoPlayer& p) { reported.push_back(p.assetStatus()); });
        player->setURLAsset(asset(path));
        ASSERT_TRUE(waitFor([&] { return player->assetStatus() == SJAssetStatus::failed; }));
        EXPECT_EQ(reported, (std::vector { SJAssetStatus::preparing, SJAssetStatus::failed }));
        EXPECT_EQ(player->timeControlStatus(), SJPlaybackTimeControlStatus::paused);
        EXPECT_FALSE(engineError().empty());
    }
}

TEST_F(MPVPlaybackTest, ADownloadedMP4PlaysFromItsExportWithoutTheOrigin)
{
    zvtest::TempDir home;
    MCSMediaCacheOptions options;
    options.root = home.path() / "cache";
    auto cache = MCSMediaCache::open(options);
    ASSERT_TRUE(cache);
    auto exporter = cache->exportAsset(url("/video/clip.mp4"), true);
    ASSERT_TRUE(exporter);
    ASSERT_TRUE(waitFor([&] {
        auto status = exporter->status();
        return status == MCSAssetExportStatus::finished || status == MCSAssetExportStatus::failed;
    }));
    ASSERT_EQ(exporter->status(), MCSAssetExportStatus::finished);

    s_server->clearRequests();
    std::string local = cache->playbackURL(url("/video/clip.mp4"));
    player->setURLAsset(SJVideoPlayerURLAsset::initWithAVAsset(AVURLAsset::URLAssetWithURL(local, {})));
    ASSERT_TRUE(waitUntilReady()) << engineError();
    EXPECT_NEAR(player->duration(), 12, 0.5);
    ASSERT_TRUE(waitFor([&] { return player->currentTime() >= 0.5; }));
    EXPECT_TRUE(s_server->requests().empty()) << "played from the export alone";
    player.reset();
}

// A machine without a sound output: the first episode tries it and says so in one line; the next
// episode and the next player play on silently without trying again (each try costs a tenth of a
// second and a score of lines).
TEST_F(MPVPlaybackTest, WithoutASoundOutputTheOutputIsTriedOnceAndEveryPlayerPlaysOnSilently)
{
    std::mutex mutex;
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) {
        std::lock_guard lock(mutex);
        lines.emplace_back(line);
    });
    SJMPVPlaybackController::setSoundEnabled(true);
    struct Restore {
        ~Restore()
        {
            SJMPVPlaybackController::setSoundEnabled(false);
            Log::setSink(nullptr);
        }
    } restore;
    auto playsAWhile = [&](SJBaseVideoPlayer& someone) {
        someone.setURLAsset(asset("/video/clip.mp4"));
        return waitFor([&] {
            return someone.currentTime() >= 1.0 || someone.assetStatus() == SJAssetStatus::failed;
        }) && someone.assetStatus() == SJAssetStatus::readyToPlay;
    };

    player = SJBaseVideoPlayer::player();
    ASSERT_TRUE(playsAWhile(*player)) << engineError();
    if (!SJMPVPlaybackController::isSoundUnavailable())
        GTEST_SKIP() << "this machine has a sound output";
    ASSERT_TRUE(playsAWhile(*player)) << engineError();
    auto another = SJBaseVideoPlayer::player();
    ASSERT_TRUE(playsAWhile(*another));
    another.reset();

    std::lock_guard lock(mutex);
    std::vector<std::string> aboutSound;
    for (const std::string& line : lines) {
        EXPECT_FALSE(line.starts_with("player: ao")) << line;
        if (line.find("sound") != std::string::npos)
            aboutSound.push_back(line);
    }
    ASSERT_EQ(aboutSound.size(), 1u) << ::testing::PrintToString(lines);
    EXPECT_NE(aboutSound[0].find("without sound"), std::string::npos) << aboutSound[0];
}

// The engine does not follow an https address that redirects to plain http: the asset fails for
// that reason and nothing is asked over http. A redirect within https plays where it leads.
TEST_F(MPVPlaybackTest, AnHTTPSAddressRedirectedToHTTPIsRefusedAndOneWithinHTTPSPlays)
{
    const std::string ca = (zvtest::testKeysDir() / "ca.pem").string();
    SJMPVPlaybackController::setTrustedCAFile(ca);
    HTTPClient::shared().setTrustedCAFile(ca);
    struct Restore {
        ~Restore()
        {
            SJMPVPlaybackController::setTrustedCAFile("");
            HTTPClient::shared().setTrustedCAFile("");
        }
    } restore;
    auto encoded = [](const std::string& text) {
        std::string out;
        for (char c : text) {
            if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-')
                out += c;
            else
                out += "%" + std::string(1, "0123456789ABCDEF"[(c >> 4) & 15]) + "0123456789ABCDEF"[c & 15];
        }
        return out;
    };
    auto movedTo = [&](const std::string& target) {
        return SJVideoPlayerURLAsset::initWithAVAsset(AVURLAsset::URLAssetWithURL(
            s_server->httpsURL() + "/video/clip.mp4?fault=redirect&to=" + encoded(target), {}));
    };

    player->setURLAsset(movedTo(s_server->httpURL() + "/video/low/index.m3u8"));
    ASSERT_TRUE(waitFor([&] { return player->assetStatus() != SJAssetStatus::preparing; }));
    EXPECT_EQ(player->assetStatus(), SJAssetStatus::failed);
    EXPECT_EQ(player->assetFailure(), SJAssetFailure::insecureRedirect) << engineError();
    EXPECT_FALSE(s_server->requestsTo("/video/clip.mp4").empty());
    EXPECT_TRUE(s_server->requestsTo("/video/low/index.m3u8").empty());
    EXPECT_TRUE(s_server->requestsTo("/video/low/seg0.ts").empty());

    player->setURLAsset(movedTo(s_server->httpsURL() + "/video/low/index.m3u8"));
    ASSERT_TRUE(waitUntilReady()) << engineError();
    EXPECT_EQ(player->assetFailure(), SJAssetFailure::none);
    EXPECT_NEAR(player->duration(), 12, 0.5);
    ASSERT_TRUE(waitFor([&] { return !s_server->requestsTo("/video/low/seg0.ts").empty(); }));
}
