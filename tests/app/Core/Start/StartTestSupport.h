#pragma once

// A whole start of the app against the local test server with its sample data, on the virtual
// clock: the process-wide API client, the real AppDelegate and the launch screen. Header only, so
// that the start and launch-screen test programs share it.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkScreenUI.h"
#include "app/Core/Start/AppDelegate.h"
#include "app/MainController/Launch/ZV_LaunchVC.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Keychain.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/SJRotationManager.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/keyboard/IQKeyboardManager.h"
#include "platform/ui/qmui/QMUIConsole.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/TestServer.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace zvtest {

// The app's screen side, counting what the client asked of it.
class CountingScreenUI : public ZV_NetworkScreenUI {
public:
    void hideAllTips() override
    {
        ++hides;
        ZV_NetworkScreenUI::hideAllTips();
    }
    void presentLogin() override
    {
        ++logins;
        ZV_NetworkScreenUI::presentLogin();
    }
    int hides = 0;
    int logins = 0;
};

class StartTest : public MainLoopTest {
protected:
    // The sample account's token, signed in on the server from the start.
    static constexpr const char* sampleToken = "tk-301877-first";

    static void SetUpTestSuite()
    {
        if (s_server)
            return;
        ::testing::AddGlobalTestEnvironment(new ServerStop);
        std::string error;
        std::filesystem::path keys = testKeysDir();
        std::filesystem::path data = sourceDir() / "tools/testserver/data";
        s_server = testserver::TestServer::start({ keys, data }, &error);
        ASSERT_TRUE(s_server) << error;
        s_api = testserver::ApiServer::attach(*s_server, keys, &error);
        ASSERT_TRUE(s_api) << error;
        ASSERT_TRUE(
            testserver::SampleApi::install(*s_api, data, s_server->httpPort(), s_server->httpsPort(), &error))
            << error;
        std::ifstream keyFile(keys / "api_public.b64");
        std::stringstream key;
        key << keyFile.rdbuf();
        std::string publicKey = key.str();
        while (!publicKey.empty() && (publicKey.back() == '\n' || publicKey.back() == '\r'))
            publicKey.pop_back();
        std::string base = s_server->httpsURL();
        ::setenv("ZV_INFO_APIPublicKey", publicKey.c_str(), 1);
        ::setenv("ZV_INFO_TrustedCAFile", (keys / "ca.pem").c_str(), 1);
        ::setenv("ZV_INFO_MainURL", (base + "/api/").c_str(), 1);
        ::setenv("ZV_INFO_ShortURL", (base + "/api/v1/video/display").c_str(), 1);
        ::setenv("ZV_INFO_DomainFileURL", (base + "/domain_v2.json").c_str(), 1);
    }

    void SetUp() override
    {
        MainLoopTest::SetUp();
        AppContainer::setHome(home.path());
        Keychain::setStoreFile(home / "keychain.json");
        Bundle::resetForTesting();
        UserDefaults::resetStandardForTesting();
        BaseURLs::resetToDefaults();
        ConfigSingleton::shared().zv_userInfoModel.reset();
        ConfigSingleton::shared().advertConfigModel.reset();
        ConfigSingleton::shared().zv_configData.reset();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIKeyboard::shared().resetForTesting();
        IQKeyboardManager::shared().resetForTesting();
        QMUIConsole::resetForTesting();
        SJRotationManager::resetForTesting();
        s_api->clearScripts();
        s_api->clearRecords();
        ui = std::make_shared<CountingScreenUI>();
        ZV_Network::shared().setUI(ui);
    }

    void TearDown() override
    {
        // Replies still on their way would land in the next test: let every call seen by the
        // server come back first (each reply hides the tips once).
        runUntil([&] { return ui->hides >= static_cast<int>(s_api->records().size()); }, 5.0);
        ZV_Network::shared().setUI(nullptr);
        UIApplication::shared().resetForTesting();
        IQKeyboardManager::shared().resetForTesting();
        drain();
        UserDefaults::resetStandardForTesting();
        Keychain::setStoreFile({});
        AppContainer::setHome({});
        MainLoopTest::TearDown();
    }

    static testserver::ApiServer& api() { return *s_api; }

    // Starts the app as the platform does.
    void launch()
    {
        delegate = std::make_shared<AppDelegate>();
        UIApplication::shared().launch(delegate);
    }
    std::shared_ptr<UIWindow> window() const { return delegate ? delegate->window() : nullptr; }
    std::shared_ptr<ZV_LaunchVC> launchScreen() const
    {
        auto w = window();
        return w ? std::dynamic_pointer_cast<ZV_LaunchVC>(w->rootViewController()) : nullptr;
    }
    // The root tab screen, when the window shows it inside the app's navigation stack.
    std::shared_ptr<ZVRootViewController> rootScreen() const
    {
        auto w = window();
        auto navigation
            = w ? std::dynamic_pointer_cast<ZVNavigationController>(w->rootViewController()) : nullptr;
        if (!navigation || navigation->viewControllers().empty())
            return nullptr;
        return std::dynamic_pointer_cast<ZVRootViewController>(navigation->viewControllers().front());
    }
    // Waits (real time) for the advert reply, which makes the skip button show.
    bool waitForCountdown(const std::shared_ptr<ZV_LaunchVC>& screen)
    {
        return runUntil([&] { return !screen->skipBtn()->isHidden(); });
    }
    static std::string skipTitle(const std::shared_ptr<ZV_LaunchVC>& screen)
    {
        return screen->skipBtn()->title(UIControlStateNormal).value_or("");
    }

    TempDir home;
    std::shared_ptr<CountingScreenUI> ui;
    std::shared_ptr<AppDelegate> delegate;
    TouchDriver driver { [](double seconds) { RunLoop::main().advance(seconds); } };

private:
    // The server stays up for every suite of the program and stops after the last.
    class ServerStop : public ::testing::Environment {
    public:
        void TearDown() override
        {
            s_api.reset();
            if (s_server)
                s_server->stop();
            s_server.reset();
        }
    };
    static inline std::unique_ptr<testserver::TestServer> s_server;
    static inline std::unique_ptr<testserver::ApiServer> s_api;
};

}
