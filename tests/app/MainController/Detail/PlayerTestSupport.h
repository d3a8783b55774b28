#pragma once

// A ZV_Player in a window on top of the local test server's sample API, playing on the scripted
// engine (virtual clock) unless a test asks for libmpv; a fresh record database per test.

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Bundle.h"
#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/media/SJPlayerViews.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/media/SJVideoPlayerConfigurations.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UISlider.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "tests/app/support/ApiTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zvtest {

struct EpisodeSpec {
    std::optional<std::string> id;
    std::string playUrl;
    bool ready = true;
    std::string userAgent {};
};

inline std::shared_ptr<ZV_DetailDataListPlayFromListModel> episode(const EpisodeSpec& spec)
{
    auto entry = std::make_shared<ZV_DetailDataListPlayFromListModel>();
    entry->episodeId = spec.id;
    entry->episodeName = "第" + spec.id.value_or("?") + "集";
    entry->fromCode = "zvm3u8";
    entry->playUrl = spec.playUrl;
    entry->readyToPlay = spec.ready;
    entry->userAgent = spec.userAgent;
    entry->headers.emplace();
    return entry;
}

// A title "t1" whose only source with episodes (after an empty one) holds these.
inline std::shared_ptr<ZV_DetailModel> titleWith(const std::vector<EpisodeSpec>& specs, std::string id = "t1")
{
    auto model = std::make_shared<ZV_DetailModel>();
    model->id = std::move(id);
    model->name = "雾港来信";
    model->playFrom.emplace();
    auto empty = std::make_shared<ZV_DetailDataListPlayFromModel>();
    empty->list.emplace();
    model->playFrom->push_back(empty);
    auto source = std::make_shared<ZV_DetailDataListPlayFromModel>();
    source->code = "zvm3u8";
    source->list.emplace();
    for (const auto& spec : specs)
        source->list->push_back(episode(spec));
    model->playFrom->push_back(source);
    return model;
}

// A finger takes the slider's thumb and moves it to `value` of its track (past an end when 0 or 1).
inline bool slide(const UISlider& slider, float value)
{
    CGRect bounds = slider.bounds();
    CGRect track = slider.trackRectForBounds(bounds);
    CGPoint from = slider.convert(slider.thumbRectForBounds(bounds, track, slider.value()), nullptr).center();
    CGPoint to
        = slider.convert(slider.thumbRectForBounds(bounds, track, std::clamp(value, 0.0f, 1.0f)), nullptr)
              .center();
    if (value <= 0 || value >= 1)
        to.x += value <= 0 ? -40 : 40;
    return TouchDriver().drag(from, to, 0.2);
}

class PlayerTest : public ApiServerTest {
protected:
    void SetUp() override
    {
        ApiServerTest::SetUp();
        if (HasFatalFailure())
            return;
        ::setenv("ZV_INFO_UnresolvedPlayURL", placeholder().c_str(), 1);
        Bundle::resetForTesting();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        SJRotationManager::resetForTesting();
        SJVideoPlayerConfigurations::shared().resetForTesting();
        SJDeviceVolumeAndBrightnessController::shared().resetForTesting();
        SJBaseVideoPlayer::setPlaybackControllerFactory([] { return SJScriptedPlaybackController::make(); });
        ASConfigration::setDefaultDB(
            (AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
        ZV_Network::shared().setUI(std::make_shared<FakeNetworkUI>());
        window = std::make_shared<UIWindow>();
        window->setRootViewController(UIViewController::create());
        window->makeKeyAndVisible();
        view = std::make_shared<ZV_Player>(CGRect { 0, 100, 390, 219 });
        window->addSubview(view);
        view->setupUI();
        window->layoutIfNeeded();
    }

    void TearDown() override
    {
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        advance(1); // panels on their way out finish hiding
        view.reset();
        window.reset();
        drain();
        ZV_Network::shared().setUI(nullptr);
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        SJScriptedPlaybackController::clearScripts();
        ::unsetenv("ZV_INFO_UnresolvedPlayURL");
        UIScreen::main().resetForTesting();
        UIApplication::shared().resetForTesting();
        ApiServerTest::TearDown();
    }

    // A new player in place of the fixture's, as a new title page would make.
    void freshView()
    {
        view->removeFromSuperview();
        view = std::make_shared<ZV_Player>(CGRect { 0, 100, 390, 219 });
        window->addSubview(view);
        view->setupUI();
        window->layoutIfNeeded();
    }

    // Where nothing listens: the address played when resolution fails.
    static std::string placeholder() { return deadURL() + "/index.m3u8"; }

    SJVideoPlayer& player() { return *view->player(); }
    std::string assetURL() { return player().URLAsset() ? player().URLAsset()->URL() : std::string(); }
    std::shared_ptr<SJScriptedPlaybackController> engine()
    {
        return std::dynamic_pointer_cast<SJScriptedPlaybackController>(player().playbackController());
    }
    // Waits in real time for a resolved address to be played.
    bool waitForAsset(const std::string& url)
    {
        return runUntil([&] { return assetURL() == url; });
    }

    void play(std::shared_ptr<ZV_DetailModel> model, std::optional<std::string> id)
    {
        view->model = std::move(model);
        view->episodeId = std::move(id);
        view->playEpisode();
    }

    // The texts of the prompt area, oldest first.
    std::vector<std::string> prompts()
    {
        std::vector<std::string> texts;
        for (const auto& shown : player().promptingPopupController().displayingViews()) {
            if (auto popup = std::dynamic_pointer_cast<SJPopupTextView>(shown))
                texts.push_back(popup->label()->text());
        }
        return texts;
    }

    std::shared_ptr<UIWindow> window;
    std::shared_ptr<ZV_Player> view;
};

}
