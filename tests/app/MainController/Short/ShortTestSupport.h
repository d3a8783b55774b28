#pragma once

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Network/ZV_Network.h"
#include "platform/media/SJBaseVideoPlayer.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "tests/app/support/ApiTestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace shorttest {

// A prefetch that only remembers whether it was cancelled.
class FakePrefetch : public MCSPrefetchTask {
public:
    void cancel() override { cancelled = true; }
    bool isCancelled() const override { return cancelled; }
    bool cancelled = false;
};

// The media cache as the short-video screens see it: playback through "proxy/" + the address
// (none when `proxies` is off), and prefetches that are remembered.
class FakeCache : public SJMediaCacheServer::Backend {
public:
    struct Prefetch {
        std::string url;
        std::uint64_t size = 0;
        std::shared_ptr<FakePrefetch> task;
    };

    std::shared_ptr<MCSAssetExporter> exportAsset(const std::string&, bool) override { return nullptr; }
    std::string playbackURL(const std::string& url) override
    {
        return proxies ? "http://127.0.0.1:1/proxy/" + url : "";
    }
    void setActive(bool) override { }
    std::shared_ptr<MCSPrefetchTask> prefetch(const std::string& url, std::uint64_t size,
        MCSPrefetchTask::Progress, MCSPrefetchTask::Completion) override
    {
        prefetches.push_back({ url, size, std::make_shared<FakePrefetch>() });
        return prefetches.back().task;
    }
    void setResolveAssetIdentifier(SJMediaCacheServer::AssetIdentifierResolver r) override
    {
        resolver = std::move(r);
    }

    std::vector<std::string> liveURLs() const
    {
        std::vector<std::string> live;
        for (const Prefetch& p : prefetches) {
            if (!p.task->cancelled)
                live.push_back(p.url);
        }
        return live;
    }

    bool proxies = true;
    std::vector<Prefetch> prefetches;
    SJMediaCacheServer::AssetIdentifierResolver resolver;
};

// The test server and a fresh app with a visible key window; players run the scripted engine,
// the media cache is a FakeCache and the API client's screen side is counted.
class ShortScreenTest : public zvtest::ApiServerTest {
protected:
    void SetUp() override
    {
        ApiServerTest::SetUp();
        if (HasFatalFailure())
            return;
        ZV_Network::shared().setUI(ui);
        SJMediaCacheServer::shared().setBackend(cache);
        SJBaseVideoPlayer::setPlaybackControllerFactory([] { return SJScriptedPlaybackController::make(); });
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();
        UIApplication::shared().enterForeground(); // foreground and active, as launched
        window = std::make_shared<UIWindow>();
        window->makeKeyAndVisible();
    }

    void TearDown() override
    {
        if (window)
            window->setRootViewController(nullptr);
        // Every transition ends, animated ones too, so that no controller outlives the test.
        advance(1);
        drain();
        window.reset();
        QMUITips::hideAllTips();
        SJScriptedPlaybackController::clearScripts();
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        SJMediaCacheServer::shared().setBackend(nullptr);
        ZV_Network::shared().setUI(nullptr);
        UIEventDispatcher::shared().resetForTesting();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        ApiServerTest::TearDown();
    }

    // The screen as the root of a navigation stack in the window, laid out.
    template<typename Screen> std::shared_ptr<Screen> show(std::shared_ptr<Screen> screen)
    {
        window->setRootViewController(std::make_shared<ZVNavigationController>(screen));
        drain();
        window->layoutIfNeeded();
        return screen;
    }

    // Waits until `done` (replies come from the server's thread), then lets what they started run.
    bool settle(const std::function<bool()>& done)
    {
        bool in = runUntil([&] {
            drain();
            return done();
        });
        drain();
        window->layoutIfNeeded();
        return in;
    }

    // A clip as the short-video list sends it.
    static nlohmann::json clip(int n)
    {
        return { { "title", "片段" + std::to_string(n) }, { "desc", "说明" + std::to_string(n) },
            { "cover", "https://127.0.0.1:1/cover-" + std::to_string(n) + ".jpg" },
            { "play_addr", "https://cdn.test/clip-" + std::to_string(n) + ".mp4" } };
    }
    static nlohmann::json clips(int first, int count)
    {
        nlohmann::json list = nlohmann::json::array();
        for (int n = first; n < first + count; ++n)
            list.push_back(clip(n));
        return list;
    }

    std::shared_ptr<zvtest::FakeNetworkUI> ui = std::make_shared<zvtest::FakeNetworkUI>();
    std::shared_ptr<FakeCache> cache = std::make_shared<FakeCache>();
    std::shared_ptr<UIWindow> window;
    TouchDriver driver;
};

}
