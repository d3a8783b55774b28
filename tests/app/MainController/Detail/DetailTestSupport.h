#pragma once

// The title page against the local test server's sample catalogue (data/api/detail.json), its
// player on the scripted engine and a fresh record database per test. The catalogue's state
// (favourites, the viewer's last playback) starts afresh in every test.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/media/SJRotationManager.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/media/SJVideoPlayerConfigurations.h"
#include "platform/storage/ASConfigration.h"
#include "tests/app/support/ScreenTestSupport.h"
#include "tests/support/TempDir.h"
#include "tools/testserver/SampleDetail.h"
#include "tools/testserver/SampleMine.h"
#include "tools/testserver/SamplePlayer.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zvtest {

class DetailTest : public ScreenTest {
protected:
    static constexpr const char* sampleToken = "tk-301877-first";
    // Two sources of 120 and 56 episodes and a third without; the viewer last played 3110003.
    static constexpr const char* longTitle = "40311";
    static constexpr const char* singleSourceTitle = "40217";
    static constexpr const char* noSourceTitle = "40733";

    void SetUp() override
    {
        ScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        settlePresentations();
        SJRotationManager::resetForTesting();
        SJVideoPlayerConfigurations::shared().resetForTesting();
        SJDeviceVolumeAndBrightnessController::shared().resetForTesting();
        SJBaseVideoPlayer::setPlaybackControllerFactory([] { return SJScriptedPlaybackController::make(); });
        ASConfigration::setDefaultDB((AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
        ConfigSingleton::shared().advertConfigModel.reset();
        ConfigSingleton::shared().zv_configData.reset();
        std::string error;
        std::filesystem::path data = sourceDir() / "tools/testserver/data";
        std::uint16_t http = server().httpPort();
        std::uint16_t https = server().httpsPort();
        ASSERT_TRUE(testserver::SamplePlayer::install(api(), data, http, https, &error)) << error;
        ASSERT_TRUE(testserver::SampleMine::install(api(), data, http, https, &error)) << error;
        ASSERT_TRUE(testserver::SampleDetail::install(api(), data, http, https, &error)) << error;
    }

    void TearDown() override
    {
        settlePresentations();
        ScreenTest::TearDown();
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        SJScriptedPlaybackController::clearScripts();
        ConfigSingleton::shared().advertConfigModel.reset();
        ConfigSingleton::shared().zv_configData.reset();
    }

    // No sheet stays, none still on its way in or out.
    void settlePresentations()
    {
        for (int pass = 0; pass < 2; ++pass) {
            QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
            advance(1);
        }
    }

    // A title page as the lists open it, shown and loaded.
    std::shared_ptr<ZV_DetailVC> open(const std::string& id)
    {
        auto page = std::make_shared<ZV_DetailVC>();
        page->vod_id = id;
        show(page);
        EXPECT_TRUE(runUntil([&] { return page->model != nullptr; })) << "title " << id;
        drain();
        window->layoutIfNeeded();
        return page;
    }

    static std::shared_ptr<SJScriptedPlaybackController> engine(ZV_DetailVC& page)
    {
        return std::dynamic_pointer_cast<SJScriptedPlaybackController>(
            page.zv_playerView()->player()->playbackController());
    }

    // The episode ids of a source of the page's title.
    static std::size_t episodesOf(const ZV_DetailVC& page, std::size_t source)
    {
        const auto& list = (*page.model->playFrom)[source]->list;
        return list ? list->size() : 0;
    }
};

// A title page test that keeps the page's own log lines ("ZV_DetailVC: ..."), to count what a
// failure logs.
class DetailLogTest : public DetailTest {
protected:
    void SetUp() override
    {
        DetailTest::SetUp();
        Log::setSink([this](std::string_view line) {
            if (line.starts_with("ZV_DetailVC:")) {
                std::lock_guard lock(m_mutex);
                m_lines.emplace_back(line);
            }
        });
    }

    void TearDown() override
    {
        Log::setSink({});
        DetailTest::TearDown();
    }

    std::vector<std::string> lines()
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

}
