#pragma once

// A whole start of the app against the local test server with its sample data, on the virtual
// clock: the process-wide API client, the real AppDelegate and launch screen. Header only, so
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
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/keyboard/IQKeyboardManager.h"
#include "platform/ui/qmui/QMUIConsole.h"
#include "tests/support/MainLoopTest.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/SampleApi.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zvtest {

// The app's screen side, counting replies (each hides the tips once) and login screens.
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
    static void SetUpTestSuite()
    {
        if (s_server)
            return;
        ::testing::AddGlobalTestEnvironment(new ServerStop);
        std::string error;
        const auto& keys = testKeysDir();
        auto data = sourceDir() / "tools/testserver/data";
        s_server = testserver::TestServer::start({ keys, data }, &error);
        ASSERT_TRUE(s_server) << error;
        s_api = testserver::ApiServer::attach(*s_server, keys, &error);
        ASSERT_TRUE(s_api
            && testserver::SampleApi::install(
                *s_api, data, s_server->httpPort(), s_server->httpsPort(), &error))
            << error;
        std::ifstream keyFile(keys / "api_public.b64");
        std::string publicKey((std::istreambuf_iterator<char>(keyFile)), {});
        publicKey.erase(publicKey.find_last_not_of("\r\n") + 1);
        std::string base = s_server->httpsURL();
        ::setenv("ZV_INFO_APIPublicKey", publicKey.c_str(), 1);
        ::setenv("ZV_INFO_TrustedCAFile", (keys / "ca.pem").c_str(), 1);
        ::setenv("ZV_INFO_MainURL", (base + "/api/").c_str(), 1);
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
        UIApplication::shared().resetForTesting();
        IQKeyboardManager::shared().resetForTesting();
        QMUIConsole::resetForTesting();
        s_api->clearScripts();
        s_api->clearRecords();
        ZV_Network::shared().setUI(ui);
    }

    void TearDown() override
    {
        // Replies still on their way would land in the next test.
        allRepliesIn();
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
    bool allRepliesIn()
    {
        return runUntil([&] { return ui->hides >= int(s_api->records().size()); }, 5);
    }

    // Starts the app as the platform does.
    void launch()
    {
        delegate = std::make_shared<AppDelegate>();
        UIApplication::shared().launch(delegate);
    }
    std::shared_ptr<UIWindow> window() const { return delegate ? delegate->window() : nullptr; }
    std::shared_ptr<ZV_LaunchVC> launchScreen() const
    {
        return window() ? std::dynamic_pointer_cast<ZV_LaunchVC>(window()->rootViewController()) : nullptr;
    }
    // The root tab screen, when the window shows it inside the app's navigation stack.
    std::shared_ptr<ZVRootViewController> rootScreen() const
    {
        auto stack = window()
            ? std::dynamic_pointer_cast<ZVNavigationController>(window()->rootViewController())
            : nullptr;
        return stack ? std::dynamic_pointer_cast<ZVRootViewController>(stack->viewControllers().front())
                     : nullptr;
    }
    // Waits (real time) for the advert reply, which makes the skip button show.
    bool waitForCountdown(const std::shared_ptr<ZV_LaunchVC>& screen)
    {
        return screen && runUntil([&] { return !screen->skipBtn()->isHidden(); });
    }
    static std::string skipTitle(const std::shared_ptr<ZV_LaunchVC>& screen)
    {
        return screen->skipBtn()->title(UIControlStateNormal).value_or("");
    }

    TempDir home;
    std::shared_ptr<CountingScreenUI> ui = std::make_shared<CountingScreenUI>();
    std::shared_ptr<AppDelegate> delegate;
    TouchDriver driver;

private:
    // The server stays up for every suite of the program and stops after the last.
    struct ServerStop : ::testing::Environment {
        void TearDown() override
        {
            s_api.reset();
            s_server.reset();
        }
    };
    static inline std::unique_ptr<testserver::TestServer> s_server;
    static inline std::unique_ptr<testserver::ApiServer> s_api;
};

}
