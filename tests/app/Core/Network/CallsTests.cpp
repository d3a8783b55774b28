// Account, upload, room-sequence, advert and profile calls against the sample API.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Storage/StoreData.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/app/support/ApiTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace zvtest;
using testserver::ApiReply;

namespace {

class CallsTest : public ApiTest {
protected:
    std::optional<Reply> upload(ZV_API endpoint, const Data& image, const std::string& field)
    {
        auto got = std::make_shared<std::optional<Reply>>();
        network->uploadImage(
            endpoint, image, field, [got](std::optional<JSON> json, std::optional<NSError> error) {
                *got = Reply { json, error };
            });
        runUntil([&] { return got->has_value(); });
        return *got;
    }

    static Data samplePNG()
    {
        std::ifstream file(sourceDir() / "tools/testserver/data/images/avatar-301877.png", std::ios::binary);
        return Data(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
};

}

TEST_F(CallsTest, LoginAndPhoneRegistrationPostTheirParameters)
{
    auto got = std::make_shared<std::optional<Reply>>();
    auto keep = [got](std::optional<JSON> json, std::optional<NSError> error) {
        *got = Reply { json, error };
    };
    network->login("xiaoyu2023", "wrong", captchaResult(), keep);
    ASSERT_TRUE(runUntil([&] { return got->has_value(); }));
    ASSERT_TRUE((*got)->error);
    EXPECT_FALSE((*got)->json);
    EXPECT_EQ((*got)->error->domain, "用户名或密码错误");
    EXPECT_EQ((*got)->error->code, 1002);

    got->reset();
    const std::string captcha = captchaResult();
    network->login("xiaoyu2023", "rain-over-2023", captcha, keep);
    ASSERT_TRUE(runUntil([&] { return got->has_value(); }));
    ASSERT_TRUE((*got)->json);
    EXPECT_EQ((*(*got)->json)["access_token"].stringValue(), "tk-301877-first");

    auto logins = api().recordsTo("v1/user/login");
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(logins[1].request.method, "POST");
    EXPECT_EQ((*logins[1].parameters)["username"], "xiaoyu2023");
    EXPECT_EQ((*logins[1].parameters)["password"], "rain-over-2023");
    EXPECT_EQ((*logins[1].parameters)["captcha"], captcha);

    got->reset();
    network->registerByPhone("13800005621", "pw-1", "482913", keep);
    ASSERT_TRUE(runUntil([&] { return got->has_value(); }));
    auto registrations = api().recordsTo("v1/user/register/phone");
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].request.method, "POST");
    const nlohmann::json& p = *registrations[0].parameters;
    EXPECT_EQ(p["phone"], "13800005621");
    EXPECT_EQ(p["password"], "pw-1");
    EXPECT_EQ(p["sms_code"], "482913");
    // The number is the sample account's: the refusal reaches the caller as an error.
    ASSERT_TRUE((*got)->error);
    EXPECT_EQ((*got)->error->code, 1007);
}

TEST_F(CallsTest, UploadSendsOneImagePartAndHandsBackTheWholeEnvelope)
{
    setToken("tk-301877-first");
    Data image = samplePNG();
    ASSERT_GT(image.size(), 100u);
    std::optional<Reply> reply = upload(ZV_API::changeAvatar, image, "avatar_file");
    ASSERT_TRUE(reply && reply->json);
    EXPECT_FALSE(reply->error);
    EXPECT_EQ((*reply->json)["errorCode"].intValue(), 0);
    EXPECT_NE((*reply->json)["data"]["url"].stringValue().find("/uploads/avatar-301877-"), std::string::npos);
    EXPECT_EQ(ui->loadings, 1);
    EXPECT_EQ(ui->hides, 1);

    auto records = api().recordsTo("v1/user/change/avatar");
    ASSERT_EQ(records.size(), 1u);
    const testserver::Request& request = records[0].request;
    EXPECT_EQ(request.method, "POST");
    EXPECT_TRUE(request.query.empty());
    ASSERT_TRUE(request.multipart);
    EXPECT_TRUE(request.multipart->fields.empty());
    ASSERT_EQ(request.multipart->files.size(), 1u);
    const testserver::FilePart& part = request.multipart->files[0];
    EXPECT_EQ(part.name, "avatar_file");
    EXPECT_EQ(part.filename, "image.png");
    EXPECT_EQ(part.contentType, "image/png");
    EXPECT_EQ(part.data, std::string(image.begin(), image.end()));
    EXPECT_EQ(request.header("Accept"), "application/prs.Morvik.v2+json");
    EXPECT_EQ(request.header("Authorization"), "Bearer tk-301877-first");
    for (const char* absent : { "X-Client-Setting", "X-Client-Device", "X-Client-Version" })
        EXPECT_FALSE(request.header(absent)) << absent;

    // Signed out: no Authorization, and a 2000 reaches the caller as an envelope, nothing more.
    StoreData::remove(StoreData::access_token);
    reply = upload(ZV_API::changeAvatar, image, "avatar_file");
    ASSERT_TRUE(reply && reply->json);
    EXPECT_EQ((*reply->json)["errorCode"].intValue(), 2000);
    EXPECT_EQ(ui->logins, 0);
    EXPECT_FALSE(api().recordsTo("v1/user/change/avatar")[1].request.header("Authorization"));

    // The chat's image upload, and an encrypted reply.
    ApiReply encryptedReply = ApiReply::success({ { "url", "https://127.0.0.1/x.png" } });
    encryptedReply.encryption = ApiReply::Encryption::Body;
    api().script("v1/user/upload_image", encryptedReply);
    reply = upload(ZV_API::uploadImage, image, "image");
    ASSERT_TRUE(reply && reply->json);
    EXPECT_EQ((*reply->json)["data"]["url"].stringValue(), "https://127.0.0.1/x.png");
    encryptedReply.encryption = ApiReply::Encryption::Data;
    api().script("v1/user/upload_image", encryptedReply);
    reply = upload(ZV_API::uploadImage, image, "image");
    ASSERT_TRUE(reply && reply->json);
    EXPECT_EQ((*reply->json)["data"]["url"].stringValue(), "https://127.0.0.1/x.png");
}

TEST_F(CallsTest, UnusableUploadRepliesAreAnomaliesAndFailuresAreNetworkErrors)
{
    Data image = samplePNG();
    for (std::string body : { std::string(), std::string("<html>busy</html>") }) {
        server().script("/api/v1/user/upload_image", testserver::Reply::text(200, body));
        std::optional<Reply> reply = upload(ZV_API::uploadImage, image, "image");
        ASSERT_TRUE(reply && reply->error) << body;
        EXPECT_FALSE(reply->json);
        EXPECT_EQ(reply->error->domain, "网络异常");
        EXPECT_EQ(reply->error->code, 404);
    }
    EXPECT_EQ(ui->hides, 2);

    BaseURLs::main_url() = deadURL() + "/api/";
    std::optional<Reply> reply = upload(ZV_API::uploadImage, image, "image");
    ASSERT_TRUE(reply && reply->error);
    EXPECT_EQ(reply->error->domain, "网络错误");
}

// An upload's reply is an API reply: bounded by the configured limit like the others.
TEST_F(CallsTest, UploadRepliesPastTheAPILimitAreNetworkErrors)
{
    Data image = samplePNG();
    auto sized = [](std::size_t bytes) { return ApiReply::success({ { "url", std::string(bytes, 'x') } }); };
    api().script("v1/user/upload_image", sized(ZV_Network::defaultMaxReplyBytes));
    std::optional<Reply> large = upload(ZV_API::uploadImage, image, "image");
    ASSERT_TRUE(large && large->error);
    EXPECT_EQ(large->error->domain, "网络错误");

    ::setenv("ZV_INFO_MaxAPIReplyBytes", "1000", 1);
    Bundle::resetForTesting();
    api().script("v1/user/upload_image", sized(1000));
    std::optional<Reply> configured = upload(ZV_API::uploadImage, image, "image");
    api().script("v1/user/upload_image", sized(900));
    std::optional<Reply> within = upload(ZV_API::uploadImage, image, "image");
    ::unsetenv("ZV_INFO_MaxAPIReplyBytes");
    Bundle::resetForTesting();
    ASSERT_TRUE(configured && configured->error);
    EXPECT_EQ(configured->error->domain, "网络错误");
    ASSERT_TRUE(within && within->json);
    EXPECT_EQ((*within->json)["data"]["url"].stringValue().size(), 900u);
}

TEST_F(CallsTest, RoomSequenceComesFromTheEntryOfRoomOne)
{
    std::vector<std::int64_t> delivered;
    network->roomMaxSeq([&](std::int64_t seq) { delivered.push_back(seq); });
    ASSERT_TRUE(runUntil([&] { return !delivered.empty(); }));
    EXPECT_EQ(delivered, std::vector<std::int64_t> { 4387 });
    auto records = api().recordsTo("v1/room/maxseq");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].request.method, "GET");
    EXPECT_EQ((*records[0].parameters)["room_id"], 1);

    for (nlohmann::json data : { nlohmann::json::parse(R"([{"room_id":2,"max_seq":9}])"),
             nlohmann::json::array(), nlohmann::json::parse(R"({"room_id":1,"max_seq":9})") }) {
        api().script("v1/room/maxseq", ApiReply::success(data));
        int before = ui->hides;
        network->roomMaxSeq([&](std::int64_t seq) { delivered.push_back(seq); });
        ASSERT_TRUE(waitForReplies(before));
    }
    api().script("v1/room/maxseq", ApiReply::success(nlohmann::json::parse(R"([{"room_id":"1"}])")));
    network->roomMaxSeq([&](std::int64_t seq) { delivered.push_back(seq); });
    ASSERT_TRUE(runUntil([&] { return delivered.size() == 2; }));
    EXPECT_EQ(delivered, (std::vector<std::int64_t> { 4387, 0 }));
}

TEST_F(CallsTest, AdvertConfigurationIsKeptUnlessAdvertsAreCleaned)
{
    std::optional<Reply> reply = send(HTTPMethod::GET, "v1/advert/config");
    ASSERT_TRUE(reply && reply->json);

    int completions = 0;
    UserDefaults::standard().setBool(true, "cleanAD");
    ZV_Network::storeAdvertConfig(reply->json, [&] { ++completions; });
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(ConfigSingleton::shared().advertConfigModel);

    UserDefaults::standard().setBool(false, "cleanAD");
    ZV_Network::storeAdvertConfig(reply->json, [&] { ++completions; });
    EXPECT_EQ(completions, 2);
    ASSERT_TRUE(ConfigSingleton::shared().advertConfigModel);
    EXPECT_EQ(ConfigSingleton::shared().advertConfigModel->start.data.image,
        serverURL() + "/images/advert-start.jpg");

    // No reply: the model stays, the completion still runs once.
    ZV_Network::storeAdvertConfig(std::nullopt, [&] { ++completions; });
    EXPECT_EQ(completions, 3);
    EXPECT_TRUE(ConfigSingleton::shared().advertConfigModel);
}

TEST_F(CallsTest, ProfileIsBuiltOnlyFromANonEmptyObject)
{
    setToken("tk-301877-first");
    std::optional<Reply> reply = send(HTTPMethod::GET, "v1/user/info");
    ASSERT_TRUE(reply);
    ZV_Network::userInfoHandler(reply->json, reply->error);
    ASSERT_TRUE(ConfigSingleton::shared().zv_userInfoModel);
    EXPECT_EQ(ConfigSingleton::shared().zv_userInfoModel->id, "301877");
    EXPECT_EQ(ConfigSingleton::shared().zv_userInfoModel->nickname, "听雨的小鱼");

    // An unknown token: the exempt path hands over the message text, which is no profile.
    setToken("tk-unknown");
    reply = send(HTTPMethod::GET, "v1/user/info");
    ASSERT_TRUE(reply && reply->json);
    EXPECT_EQ(*reply->json, JSON("请先登录"));
    EXPECT_EQ(ui->logins, 0);
    ZV_Network::userInfoHandler(reply->json, reply->error);
    EXPECT_FALSE(ConfigSingleton::shared().zv_userInfoModel);

    for (const JSON& value : { JSON::object(), JSON::array({ JSON(1) }), JSON(nullptr) }) {
        ConfigSingleton::shared().zv_userInfoModel = std::make_shared<const ZV_UserInfoModel>();
        ZV_Network::userInfoHandler(value, std::nullopt);
        EXPECT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
    }
    ConfigSingleton::shared().zv_userInfoModel = std::make_shared<const ZV_UserInfoModel>();
    ZV_Network::userInfoHandler(JSON::object({ { "id", JSON(1) } }), NSError { "网络错误", 404, {} });
    EXPECT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
}

TEST_F(CallsTest, ReadyMadeCompletionsToastErrorsAndLogReports)
{
    ZV_Network::Completion toast = network->errorToastCompletion();
    toast(JSON("ok"), std::nullopt);
    toast(std::nullopt, NSError { "撤回失败", 3, {} });
    EXPECT_EQ(ui->toasts, std::vector<std::string> { "撤回失败" });

    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    ZV_Network::playReportCompletion(JSON("ok"), std::nullopt);
    ZV_Network::playReportCompletion(std::nullopt, NSError { "网络错误", 404, {} });
    Log::setSink({});
    EXPECT_EQ(lines, std::vector<std::string> { "播放记录上报成功" });
}
