#include "tests/app/support/ApiTestSupport.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Storage/StoreData.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Keychain.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/HTTPClient.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/SampleMine.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

namespace zvtest {

namespace {

std::unique_ptr<testserver::TestServer> g_server;
std::unique_ptr<testserver::ApiServer> g_api;
std::unique_ptr<testserver::ChatRoom> g_chatRoom;
std::string g_deadURL;
std::string g_publicKey;
std::string g_caFile;

std::string readFile(const std::filesystem::path& file)
{
    std::ifstream stream(file);
    std::stringstream text;
    text << stream.rdbuf();
    std::string content = text.str();
    while (!content.empty() && (content.back() == '\n' || content.back() == '\r'))
        content.pop_back();
    return content;
}

void setInfo(const char* key, const std::string& value)
{
    ::setenv((std::string("ZV_INFO_") + key).c_str(), value.c_str(), 1);
}

}

// Stops the server once every suite of the program has run.
class ServerEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        g_chatRoom.reset();
        g_api.reset();
        if (g_server)
            g_server->stop();
        g_server.reset();
    }
};

void ApiServerTest::SetUpTestSuite()
{
    if (g_server)
        return;
    static bool registered = false;
    if (!registered) {
        registered = true;
        ::testing::AddGlobalTestEnvironment(new ServerEnvironment);
    }
    std::string error;
    std::filesystem::path keys = testKeysDir();
    std::filesystem::path data = sourceDir() / "tools/testserver/data";
    g_server = testserver::TestServer::start({ keys, data }, &error);
    ASSERT_TRUE(g_server) << error;
    g_api = testserver::ApiServer::attach(*g_server, keys, &error);
    ASSERT_TRUE(g_api) << error;
    // The title pages and the search sample are built by the first test that asks for them: most
    // programs run one test, and most tests do not.
    ASSERT_TRUE(testserver::SampleApi::install(*g_api, data, g_server->httpPort(), g_server->httpsPort(),
        &error, testserver::SamplePreparation::AtFirstUse))
        << error;
    g_chatRoom = testserver::ChatRoom::install(*g_server, *g_api, data, &error);
    ASSERT_TRUE(g_chatRoom) << error;

    // A port that was just free: nothing listens there any more.
    auto dead = testserver::TestServer::start({ keys, {} }, &error);
    ASSERT_TRUE(dead) << error;
    g_deadURL = dead->httpsURL();
    dead->stop();

    g_publicKey = readFile(keys / "api_public.b64");
    g_caFile = (keys / "ca.pem").string();
}

void ApiServerTest::TearDownTestSuite()
{
    // The server stays up for the other suites of the program (see ServerEnvironment).
}

void ApiServerTest::SetUp()
{
    MainLoopTest::SetUp();
    ASSERT_TRUE(g_server);
    AppContainer::setHome(home.path());
    Keychain::setStoreFile(home / "keychain.json");
    std::string base = serverURL();
    setInfo("APIPublicKey", g_publicKey);
    setInfo("TrustedCAFile", g_caFile);
    setInfo("MainURL", base + "/api/");
    setInfo("ShortURL", base + "/api/v1/video/display");
    setInfo("CaptchaURL", base + "/captcha.html");
    setInfo("HelpURL", base + "/help.html");
    setInfo("WebSocketURL", "wss://127.0.0.1:" + std::to_string(server().httpsPort()) + "/ws");
    setInfo("DomainFileURL", base + "/domain_v2.json");
    Bundle::resetForTesting();
    UserDefaults::resetStandardForTesting();
    BaseURLs::resetToDefaults();
    ConfigSingleton::shared().zv_userInfoModel.reset();
    ConfigSingleton::shared().advertConfigModel.reset();
    ConfigSingleton::shared().zv_configData.reset();

    api().clearScripts();
    api().clearRecords();
    server().clearScripts();
    server().clearRequests();
    chatRoom().reset();
    // The viewer's lists as the sample has them, whatever an earlier test added or deleted: title
    // pages and search results say what its favourites hold.
    std::string error;
    ASSERT_TRUE(testserver::SampleMine::install(api(), sourceDir() / "tools/testserver/data",
        server().httpPort(), server().httpsPort(), &error, testserver::SamplePreparation::AtFirstUse))
        << error;
}

void ApiServerTest::TearDown()
{
    // A request still on its way would reach the server during the next test and count there.
    // Waited for without running the main loop: its reply is dropped with the loop's work.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (HTTPClient::shared().requestsUnderWay() > 0 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    UserDefaults::resetStandardForTesting();
    Keychain::setStoreFile({});
    AppContainer::setHome({});
    MainLoopTest::TearDown();
}

void ApiTest::SetUp()
{
    ApiServerTest::SetUp();
    if (HasFatalFailure())
        return;
    network = ZV_Network::create();
    ui = std::make_shared<FakeNetworkUI>();
    network->setUI(ui);
}

void ApiTest::TearDown()
{
    network.reset();
    ApiServerTest::TearDown();
}

testserver::TestServer& ApiServerTest::server()
{
    return *g_server;
}

testserver::ApiServer& ApiServerTest::api()
{
    return *g_api;
}

testserver::ChatRoom& ApiServerTest::chatRoom()
{
    return *g_chatRoom;
}

std::string ApiServerTest::serverURL()
{
    return g_server->httpsURL();
}

std::string ApiServerTest::deadURL()
{
    return g_deadURL;
}

std::optional<Reply> ApiTest::send(HTTPMethod method, std::string_view path, const JSON& parameters)
{
    // Shared, so that a completion arriving after the wait has nothing dangling to write to.
    auto got = std::make_shared<std::optional<Reply>>();
    network->request(method, BaseURLs::main_url(), path, parameters,
        [got](std::optional<JSON> json, std::optional<NSError> error) {
            *got = Reply { json, error };
        });
    runUntil([&] { return got->has_value(); });
    return *got;
}

std::optional<Reply> ApiTest::send(
    HTTPMethod method, ZV_API endpoint, const JSON& parameters, bool showLoading)
{
    auto got = std::make_shared<std::optional<Reply>>();
    network->request(method, BaseURLs::main_url(), endpoint, parameters, showLoading,
        [got](std::optional<JSON> json, std::optional<NSError> error) {
            *got = Reply { json, error };
        });
    runUntil([&] { return got->has_value(); });
    return *got;
}

bool ApiTest::waitForReplies(int before, int count)
{
    return runUntil([&] { return ui->hides >= before + count; });
}

std::string ApiServerTest::captchaResult()
{
    HTTPRequest request;
    request.method = HTTPMethod::POST;
    request.url = serverURL() + "/captcha/ticket";
    auto got = std::make_shared<std::optional<HTTPResponse>>();
    HTTPClient::shared().send(
        std::move(request), [got](HTTPResponse response) { *got = std::move(response); });
    if (!runUntil([&] { return got->has_value(); }) || (*got)->statusCode != 200)
        return {};
    nlohmann::json issued = nlohmann::json::parse((*got)->text().value_or(""), nullptr, false);
    if (!issued.is_object() || !issued.value("ticket", nlohmann::json()).is_string()
        || !issued.value("randstr", nlohmann::json()).is_string())
        return {};
    // In the page's own order of the keys.
    return nlohmann::ordered_json { { "ticket", issued["ticket"] }, { "randstr", issued["randstr"] } }.dump();
}

void ApiServerTest::setToken(const std::string& token)
{
    StoreData::set(PropertyList(token), StoreData::access_token);
}

std::optional<std::string> ApiServerTest::storedToken()
{
    std::optional<PropertyList> value = StoreData::value(StoreData::access_token);
    if (!value || !value->asString())
        return std::nullopt;
    return *value->asString();
}

}
