// How soon a title's video shows, against the engine under it: from the app's player being asked
// to play a ready episode (a new player, as a new title page makes) to its first decoded frame on
// the screen, against a bare libmpv handle, made afresh, opening the same address to its first
// frame. Goals, each in one run with interleaved rounds: at most 1.3 times the engine's time,
// for an episode on the local test server's HLS and for a downloaded one that the media cache's
// proxy serves. The clips come from ZV_MEDIA_DIR, else build/media of the tree
// (scripts/make-test-media.sh).

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "bench/support/BenchFixtures.h"
#include "bench/support/BenchGoals.h"
#include "bench/support/MainFixture.h"
#include "platform/dispatch/Clock.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/AppContainer.h"
#include "platform/media/MCSAssetExporter.h"
#include "platform/media/MPVLibrary.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/media/SJVideoPlayerPresentView.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "tools/testserver/TestServer.h"
#include "tools/testserver/VideoRoutes.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

// A failed start counts as taking for ever, so that the goal is missed.
constexpr double failed = 1e9;
constexpr double openWait = 30;

double secondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

std::filesystem::path mediaDir()
{
    if (const char* dir = std::getenv("ZV_MEDIA_DIR"); dir && *dir)
        return dir;
    return zvbench::sourceDir() / "build" / "media";
}

// The video routes on loopback, an app container with its database, a window, and a finished
// download of the episode in the media cache.
class Stage {
public:
    Stage()
    {
        std::string error;
        m_server = testserver::TestServer::start({ zvbench::keysDir(), {} }, &error);
        if (!m_server || !testserver::VideoRoutes::install(*m_server, mediaDir(), &error)) {
            std::cerr << "player_bench: the video server does not start: " << error << "\n";
            std::exit(2);
        }
        origin = m_server->httpURL() + "/video/master.m3u8";

        AppContainer::setHome(m_scratch.path());
        ASConfigration::setDefaultDB(
            (AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
        Clock::useReal();
        m_window = std::make_shared<UIWindow>();
        m_window->setRootViewController(UIViewController::create());
        m_window->makeKeyAndVisible();
    }

    static Stage& shared()
    {
        static zvbench::MainFixture<Stage> stage;
        return stage.get();
    }

    // The episode downloaded, once: the export finished and its record stored.
    void download()
    {
        if (!proxied.empty())
            return;
        auto exporter = SJMediaCacheServer::shared().exportAssetWithURL(origin, true);
        bool finished = exporter
            && RunLoop::main().runUntil(
                [&] {
                    auto status = exporter->status();
                    return status == MCSAssetExportStatus::finished || status == MCSAssetExportStatus::failed;
                },
                60);
        ZV_DownLoadModel record;
        record.url = origin;
        record.vod_id = "t1";
        record.episodeId = "e1";
        record.state = ZV_DownLoadModel::stateFinish;
        if (!finished || exporter->status() != MCSAssetExportStatus::finished || !record.save()) {
            std::cerr << "player_bench: the episode does not download\n";
            std::exit(2);
        }
        SJMediaCacheServer::shared().setActive(true);
        proxied = SJMediaCacheServer::shared().playbackURLWithURL(origin);
    }

    // Seconds from asking a new player to play the episode to its first frame on screen.
    double playerFirstFrame(bool offline)
    {
        auto entry = std::make_shared<ZV_DetailDataListPlayFromListModel>();
        entry->episodeId = "e1";
        entry->episodeName = "第1集";
        entry->playUrl = origin;
        entry->readyToPlay = true;
        auto source = std::make_shared<ZV_DetailDataListPlayFromModel>();
        source->list.emplace({ entry });
        auto model = std::make_shared<ZV_DetailModel>();
        model->id = "t1";
        model->name = "雾港来信";
        model->playFrom.emplace({ source });

        auto view = std::make_shared<ZV_Player>(CGRect { 0, 100, 390, 219 });
        m_window->addSubview(view);
        view->setupUI();
        m_window->layoutIfNeeded();
        view->isOffline = offline;
        if (offline)
            view->episodeList = ZV_Player::Episodes { entry };
        view->model = model;
        view->episodeId = "e1";

        auto start = SteadyClock::now();
        view->playEpisode();
        bool shown = RunLoop::main().runUntil(
            [&] { return view->player()->presentView()->frameImage().has_value(); }, openWait);
        double seconds = secondsSince(start);
        view->removeFromSuperview();
        view.reset();
        RunLoop::main().drain();
        return shown ? seconds : failed;
    }

    std::string origin;
    std::string proxied; // the download, as the proxy serves it

private:
    zvbench::ScratchFolder m_scratch;
    std::unique_ptr<testserver::TestServer> m_server;
    std::shared_ptr<UIWindow> m_window;
};

// A bare libmpv handle, made afresh, opening `url` to its first frame, drawn by libmpv's software
// renderer into memory as the player's engine draws: seconds, from making the handle.
double engineFirstFrame(const std::string& url)
{
    const MPVLibrary* mpv = MPVLibrary::get();
    if (!mpv)
        return failed;
    struct Signal {
        std::mutex mutex;
        std::condition_variable changed;
        bool update = false;
        static void notify(void* context)
        {
            auto* self = static_cast<Signal*>(context);
            std::lock_guard lock(self->mutex);
            self->update = true;
            self->changed.notify_one();
        }
    } signal;

    auto start = SteadyClock::now();
    mpv_handle* handle = mpv->create();
    if (!handle)
        return failed;
    mpv->set_option_string(handle, "vo", "libmpv");
    mpv->set_option_string(handle, "ao", "null");
    mpv->set_option_string(handle, "config", "no");
    mpv->set_option_string(handle, "terminal", "no");
    mpv_render_context* render = nullptr;
    char apiType[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[]
        = { { MPV_RENDER_PARAM_API_TYPE, apiType }, { MPV_RENDER_PARAM_INVALID, nullptr } };
    double seconds = failed;
    if (mpv->initialize(handle) >= 0 && mpv->render_context_create(&render, handle, params) >= 0) {
        mpv->render_context_set_update_callback(render, &Signal::notify, &signal);
        const char* command[] = { "loadfile", url.c_str(), nullptr };
        mpv->command(handle, command);
        std::vector<unsigned char> pixels;
        auto deadline = start + std::chrono::duration<double>(openWait);
        while (SteadyClock::now() < deadline) {
            {
                std::unique_lock lock(signal.mutex);
                signal.changed.wait_until(lock, deadline, [&] { return signal.update; });
                signal.update = false;
            }
            while (mpv->wait_event(handle, 0)->event_id != MPV_EVENT_NONE) { }
            if (!(mpv->render_context_update(render) & MPV_RENDER_UPDATE_FRAME))
                continue;
            std::int64_t width = 0;
            std::int64_t height = 0;
            mpv->get_property(handle, "dwidth", MPV_FORMAT_INT64, &width);
            mpv->get_property(handle, "dheight", MPV_FORMAT_INT64, &height);
            if (width <= 0 || height <= 0)
                continue;
            int size[2] = { static_cast<int>(width), static_cast<int>(height) };
            std::size_t stride = static_cast<std::size_t>(width) * 4;
            pixels.resize(stride * static_cast<std::size_t>(height));
            char format[] = "bgr0";
            mpv_render_param frame[] = {
                { MPV_RENDER_PARAM_SW_SIZE, size },
                { MPV_RENDER_PARAM_SW_FORMAT, format },
                { MPV_RENDER_PARAM_SW_STRIDE, &stride },
                { MPV_RENDER_PARAM_SW_POINTER, pixels.data() },
                { MPV_RENDER_PARAM_INVALID, nullptr },
            };
            if (mpv->render_context_render(render, frame) >= 0) {
                seconds = secondsSince(start);
                break;
            }
        }
    }
    if (render)
        mpv->render_context_free(render);
    mpv->terminate_destroy(handle);
    return seconds;
}

void BM_PlayerFirstFrame(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(Stage::shared().playerFirstFrame(false));
}
BENCHMARK(BM_PlayerFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_EngineFirstFrame(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(engineFirstFrame(Stage::shared().origin));
}
BENCHMARK(BM_EngineFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Both sides once before the rounds: libmpv loads, and the app's first player draws its controls'
// fonts.
void warmUp()
{
    double cold = Stage::shared().playerFirstFrame(false);
    if (std::getenv("ZV_BENCH_VERBOSE"))
        std::cerr << "the first player's first frame: " << cold << " s\n";
    engineFirstFrame(Stage::shared().origin);
}

const bool onlineGoal = zvbench::addGoal({
    .name = "player.first-frame-vs-engine",
    .limit = 1.3,
    .rounds = 9,
    .setUp = warmUp,
    .sample = [] { return Stage::shared().playerFirstFrame(false); },
    .baselineSample = [] { return engineFirstFrame(Stage::shared().origin); },
});

const bool proxiedGoal = zvbench::addGoal({
    .name = "player.first-frame-vs-engine-through-proxy",
    .limit = 1.3,
    .rounds = 9,
    .setUp =
        [] {
            warmUp();
            Stage::shared().download();
        },
    .sample = [] { return Stage::shared().playerFirstFrame(true); },
    .baselineSample = [] { return engineFirstFrame(Stage::shared().proxied); },
});

}
