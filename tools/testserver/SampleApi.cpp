#include "tools/testserver/SampleApi.h"

#include "tools/testserver/JsonText.h"
#include "tools/testserver/SampleAccounts.h"
#include "tools/testserver/SampleDetail.h"
#include "tools/testserver/SampleFeed.h"
#include "tools/testserver/SampleHome.h"
#include "tools/testserver/SampleMine.h"
#include "tools/testserver/SamplePlayer.h"
#include "tools/testserver/SampleSearch.h"
#include "tools/testserver/SampleShortVideo.h"
#include "tools/testserver/StaticFiles.h"

#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>

namespace testserver {

namespace {

constexpr std::string_view kPlaceholderHost = "://127.0.0.1:0/";

// The sample's addresses, pointed at the server's own ports.
void pointAtServer(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (text.find(kPlaceholderHost) != std::string::npos)
            value = pointAtLoopback(text, httpPort, httpsPort);
        return;
    }
    if (value.is_structured()) {
        for (auto& element : value)
            pointAtServer(element, httpPort, httpsPort);
    }
}

std::optional<nlohmann::json> readJSON(const std::filesystem::path& file, std::string* error)
{
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    nlohmann::json json = nlohmann::json::parse(text.str(), nullptr, false);
    if (!stream || json.is_discarded()) {
        if (error)
            *error = "not a JSON file: " + file.string();
        return std::nullopt;
    }
    return json;
}

struct Account {
    std::string username;
    std::string password;
    std::string accessToken;
    std::string refreshedToken;
    nlohmann::json user;

    std::mutex mutex;
    std::set<std::string> signedIn;

    bool isSignedIn(const std::optional<std::string>& token)
    {
        std::lock_guard lock(mutex);
        return token && signedIn.contains(*token);
    }
    void signIn(const std::string& token)
    {
        std::lock_guard lock(mutex);
        signedIn.insert(token);
    }
};

ApiReply signInRequired()
{
    return ApiReply::error(2000, "请先登录");
}

}

bool SampleApi::install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
    std::uint16_t httpsPort, std::string* error, SamplePreparation preparation)
{
    std::filesystem::path dir = dataDir / "api";
    std::map<std::string, nlohmann::json> files;
    for (const char* name :
        { "account", "advert_config", "app_config", "catalogue", "index_recommend", "room_maxseq" }) {
        std::optional<nlohmann::json> json = readJSON(dir / (std::string(name) + ".json"), error);
        if (!json)
            return false;
        pointAtServer(*json, httpPort, httpsPort);
        files[name] = std::move(*json);
    }

    auto account = std::make_shared<Account>();
    const nlohmann::json& accountFile = files["account"];
    account->username = accountFile.value("username", "");
    account->password = accountFile.value("password", "");
    account->accessToken = accountFile.value("access_token", "");
    account->refreshedToken = accountFile.value("refreshed_token", "");
    account->user = accountFile.value("user", nlohmann::json::object());
    if (account->username.empty() || account->accessToken.empty()) {
        if (error)
            *error = "account.json needs username and access_token";
        return false;
    }
    // The account's token counts as issued by an earlier login.
    account->signIn(account->accessToken);

    api.handle("v1/user/login", [account](const ApiCall& call) {
        const nlohmann::json& p = call.parameters;
        if (textOf(p.value("captcha", nlohmann::json())).empty())
            return ApiReply::error(1003, "请完成验证");
        if (textOf(p.value("username", nlohmann::json())) != account->username
            || textOf(p.value("password", nlohmann::json())) != account->password)
            return ApiReply::error(1002, "用户名或密码错误");
        account->signIn(account->accessToken);
        return ApiReply::success({ { "access_token", account->accessToken } }, "登录成功");
    });
    api.handle("v1/user/refresh_token", [account](const ApiCall& call) {
        if (!call.token || (*call.token != account->accessToken && *call.token != account->refreshedToken))
            return signInRequired();
        account->signIn(account->refreshedToken);
        return ApiReply::success({ { "refresh_token", account->refreshedToken } });
    });
    api.handle("v1/user/info", [account](const ApiCall& call) {
        if (!account->isSignedIn(call.token))
            return signInRequired();
        return ApiReply::success(account->user);
    });

    auto fixed = [&api](std::string path, nlohmann::json data) {
        api.handle(
            std::move(path), [data = std::move(data)](const ApiCall&) { return ApiReply::success(data); });
    };
    fixed("v1/advert/config", files["advert_config"]);
    fixed("v1/app/config", files["app_config"]);
    fixed("v1/room/maxseq", files["room_maxseq"]);

    auto titles
        = std::make_shared<const nlohmann::json>(files["catalogue"].value("titles", nlohmann::json::array()));
    api.handle("v1/movie/detail", [titles](const ApiCall& call) {
        std::string id = textOf(call.parameters.value("id", nlohmann::json()));
        for (const nlohmann::json& title : *titles) {
            if (!id.empty() && textOf(title.value("id", nlohmann::json())) == id)
                return ApiReply::success(title);
        }
        return ApiReply::error(1001, "影片不存在");
    });

    std::string imageBase = pointAtLoopback("https://127.0.0.1:0/images/", httpPort, httpsPort);
    api.handleUpload("v1/user/change/avatar", "avatar_file", [account, imageBase](const ApiCall& call) {
        if (!account->isSignedIn(call.token))
            return signInRequired();
        return ApiReply::success({ { "avatar", imageBase + "avatar-301877.png" } }, "修改成功");
    });
    api.handleUpload("v1/user/upload_image", "image", [imageBase](const ApiCall& call) {
        return ApiReply::success(
            { { "url", imageBase + "cover.png" }, { "size", call.upload ? call.upload->data.size() : 0 } });
    });
    if (!SampleSearch::install(api, dataDir, httpPort, httpsPort, error, preparation))
        return false;
    // The accounts with their state take over the account endpoints above.
    if (!SampleAccounts::install(api, files["account"], httpPort, httpsPort, error))
        return false;
    // The home tab's update offer and the filter pages' catalogue.
    if (!SampleHome::install(api, dataDir, httpPort, httpsPort, error))
        return false;
    // The feed, whose strips of titles being watched are the caller's lists.
    SampleFeed::install(api, files["index_recommend"], httpPort, httpsPort);
    // The viewer's lists (history, favourites and their action, notices) after the accounts,
    // whose sign-ins they check.
    return SamplePlayer::install(api, dataDir, httpPort, httpsPort, error)
        && SampleShortVideo::install(api, dataDir, httpPort, httpsPort, error)
        && SampleMine::install(api, dataDir, httpPort, httpsPort, error, preparation)
        && SampleDetail::install(api, dataDir, httpPort, httpsPort, error, preparation);
}

}
