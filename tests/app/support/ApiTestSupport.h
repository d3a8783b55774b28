#pragma once

#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkUI.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/TestServer.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zvtest {

// Counts what the client asked the screen to do.
class FakeNetworkUI : public ZV_NetworkUI {
public:
    void hideAllTips() override { ++hides; }
    void showLoading() override { ++loadings; }
    void showToast(const std::string& text) override { toasts.push_back(text); }
    bool isLoginPresented() const override { return loginUp; }
    void presentLogin() override
    {
        ++logins;
        loginUp = true;
    }

    int hides = 0;
    int loadings = 0;
    int logins = 0;
    bool loginUp = false;
    std::vector<std::string> toasts;
};

// What one completion got.
struct Reply {
    std::optional<JSON> json;
    std::optional<NSError> error;
};

// The local test server with the sample API and the chat rooms, up for the whole test program, and a fresh
// app for each test: container, keychain, defaults, bundle pointing at the server, base URLs and
// configuration. Screens that use the process-wide client derive from this.
class ApiServerTest : public MainLoopTest {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static testserver::TestServer& server();
    static testserver::ApiServer& api();
    // The chat rooms, back to their data at the start of each test.
    static testserver::ChatRoom& chatRoom();
    // "https://127.0.0.1:<port>" of the server.
    static std::string serverURL();
    // A loopback address where nothing listens.
    static std::string deadURL();

    // What the captcha page hands the app once its challenge is passed: the JSON text of a
    // one-time ticket that the server issued to it (POST /captcha/ticket on the page's origin).
    // Empty when the server gave none.
    static std::string captchaResult();

    static void setToken(const std::string& token);
    static std::optional<std::string> storedToken();

    TempDir home;
};

// A fresh client of its own with a fake screen, on top of the server and the fresh app.
class ApiTest : public ApiServerTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sends and waits for the completion; none when it did not come within the wait.
    std::optional<Reply> send(
        HTTPMethod method, std::string_view path, const JSON& parameters = JSON::object());
    std::optional<Reply> send(
        HTTPMethod method, ZV_API api, const JSON& parameters = JSON::object(), bool showLoading = false);
    // Waits until the client has handled `count` more replies than `before` (it hides the tips on
    // each), for replies that call no completion.
    bool waitForReplies(int before, int count = 1);

    std::shared_ptr<ZV_Network> network;
    std::shared_ptr<FakeNetworkUI> ui;
};

}
