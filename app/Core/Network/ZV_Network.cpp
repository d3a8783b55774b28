#include "app/Core/Network/ZV_Network.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_NetworkEnvelope.h"
#include "app/Core/Network/ZV_NetworkReply.h"
#include "app/Core/Network/ZV_NetworkScreenUI.h"
#include "app/Core/Storage/DefaultsKey.h"
#include "app/Core/Storage/StoreData.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/AbsoluteURL.h"

#include <utility>

namespace {

constexpr std::string_view kCollectActionPath = "v1/movie/collect/action";
// Uploads keep the HTTP client framework's default time-out.
constexpr double uploadTimeout = 60;

std::size_t maxReplyBytes()
{
    return Bundle::main().infoByteCount(InfoKey::MaxAPIReplyBytes).value_or(ZV_Network::defaultMaxReplyBytes);
}

// Only an absolute address of the base URL's kind may replace it, from the file or the cache.
bool isUsableAddress(const std::string& value, std::string_view defaultsKey)
{
    if (defaultsKey == DefaultsKey::websocketURL)
        return isAbsoluteURL(value, { "ws", "wss" });
    return isAbsoluteURL(value, { "http", "https" });
}

void call(const ZV_Network::Completion& completion, std::optional<JSON> json, std::optional<NSError> error)
{
    if (completion)
        completion(std::move(json), std::move(error));
}

// The wrapper's adapter: never a value together with an error.
ZV_Network::Completion replyAdapter(ZV_Network::Completion completion)
{
    return [completion = std::move(completion)](std::optional<JSON> json, std::optional<NSError> error) {
        if (error)
            json.reset();
        call(completion, std::move(json), std::move(error));
    };
}

}

ZV_Network& ZV_Network::shared()
{
    static std::shared_ptr<ZV_Network>* const instance = new std::shared_ptr<ZV_Network>(create());
    return **instance;
}

std::shared_ptr<ZV_Network> ZV_Network::create(HTTPClient& client)
{
    return std::shared_ptr<ZV_Network>(new ZV_Network(client));
}

ZV_Network::ZV_Network(HTTPClient& client)
    : m_client(client)
    , m_ui(std::make_shared<ZV_NetworkScreenUI>())
{ }

void ZV_Network::setUI(std::shared_ptr<ZV_NetworkUI> ui)
{
    m_ui = ui ? std::move(ui) : std::make_shared<ZV_NetworkScreenUI>();
}

bool ZV_Network::isLoggedIn()
{
    return ::isLoggedIn();
}

void ZV_Network::request(HTTPMethod method, const std::string& baseURL, std::string_view path,
    const JSON& parameters, Completion completion, SignInReplies signInReplies, EmptyData emptyData)
{
    HTTPRequest request
        = ZV_NetworkEnvelope::makeRequest(method, baseURL, path, parameters, m_requestTimeout);
    request.maxBodySize = maxReplyBytes();
    std::weak_ptr<ZV_Network> weak = weak_from_this();
    m_client.send(std::move(request),
        [weak, completion = std::move(completion), path = std::string(path), parameters, signInReplies,
            emptyData](HTTPResponse response) {
            if (std::shared_ptr<ZV_Network> self = weak.lock())
                self->decodeResponse(response, completion, path, parameters, signInReplies, emptyData);
        });
}

void ZV_Network::request(HTTPMethod method, const std::string& baseURL, ZV_API api, const JSON& parameters,
    bool showLoading, Completion completion)
{
    if (showLoading)
        m_ui->showLoading();
    request(method, baseURL, path(api), parameters, replyAdapter(std::move(completion)));
}

void ZV_Network::decodeResponse(const HTTPResponse& response, const Completion& completion,
    const std::string& path, const JSON& parameters, SignInReplies signInReplies, EmptyData emptyData)
{
    m_ui->hideAllTips();
    // Whatever the refresh came to, a later 2001 may start a new one.
    if (path == ::path(ZV_API::refreshToken))
        m_refreshInFlight = false;
    if (response.error) {
        transportFailureHandler(completion);
        return;
    }
    handleResponse(
        ZV_NetworkReply::decodeBody(response), completion, path, parameters, signInReplies, emptyData);
}

void ZV_Network::handleResponse(const std::optional<JSON>& envelope, const Completion& completion,
    const std::string& path, const JSON& parameters, SignInReplies signInReplies, EmptyData emptyData)
{
    ZV_NetworkReply::Outcome outcome
        = ZV_NetworkReply::dispatch(envelope, path, emptyData == EmptyData::AsIs);
    switch (outcome.kind) {
    case ZV_NetworkReply::Outcome::Kind::Deliver:
        call(completion, std::move(outcome.value), std::nullopt);
        if (path == kCollectActionPath) {
            JSON movieID = parameters["movie_id"];
            NotificationCenter::defaultCenter().post(
                "collect", movieID.exists() ? std::any(movieID) : std::any());
        }
        return;
    case ZV_NetworkReply::Outcome::Kind::Fail:
        call(completion, std::nullopt, std::move(outcome.error));
        return;
    case ZV_NetworkReply::Outcome::Kind::EndSignIn:
        endSignIn();
        break;
    case ZV_NetworkReply::Outcome::Kind::RefreshToken:
        refreshToken();
        break;
    }
    if (signInReplies == SignInReplies::Complete)
        call(completion, std::nullopt, ZV_NetworkReply::serverError(*envelope));
}

void ZV_Network::transportFailureHandler(const Completion& completion)
{
    call(completion, std::nullopt, ZV_NetworkReply::transportError());
}

void ZV_Network::endSignIn()
{
    StoreData::remove(StoreData::access_token);
    ConfigSingleton::shared().zv_userInfoModel.reset();
    // Several requests may be refused at once: one login screen is enough.
    if (!m_ui->isLoginPresented())
        m_ui->presentLogin();
}

void ZV_Network::refreshToken()
{
    // Requests refused together share one refresh.
    if (m_refreshInFlight)
        return;
    m_refreshInFlight = true;
    request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::refreshToken, JSON::object(), true,
        &ZV_Network::refreshTokenHandler);
}

void ZV_Network::refreshTokenHandler(std::optional<JSON> json, std::optional<NSError> error)
{
    if (!json)
        return;
    if (std::optional<std::string> token = (*json)["refresh_token"].string())
        StoreData::set(PropertyList(*token), StoreData::access_token);
    else
        StoreData::remove(StoreData::access_token);
}

ZV_Network::Completion ZV_Network::errorToastCompletion()
{
    std::weak_ptr<ZV_Network> weak = weak_from_this();
    return [weak](std::optional<JSON>, std::optional<NSError> error) {
        if (!error)
            return;
        if (std::shared_ptr<ZV_Network> self = weak.lock())
            self->m_ui->showToast(error->domain);
    };
}

void ZV_Network::playReportCompletion(std::optional<JSON> json, std::optional<NSError> error)
{
    if (!error && json)
        Log::write("播放记录上报成功");
}

void ZV_Network::loadDomainConfig()
{
    UserDefaults& defaults = UserDefaults::standard();
    // Only these two are restored: the other three wait for the file at every start.
    if (std::optional<PropertyList> cached = defaults.objectForKey(DefaultsKey::shortURL);
        cached && cached->asString() && isUsableAddress(*cached->asString(), DefaultsKey::shortURL))
        BaseURLs::short_url() = *cached->asString();
    if (std::optional<PropertyList> cached = defaults.objectForKey(DefaultsKey::mainURL);
        cached && cached->asString() && isUsableAddress(*cached->asString(), DefaultsKey::mainURL))
        BaseURLs::main_url() = *cached->asString();

    HTTPRequest request;
    request.method = HTTPMethod::GET;
    request.url = Bundle::main().infoString(InfoKey::DomainFileURL).value_or("");
    request.maxBodySize = maxReplyBytes();
    m_client.send(std::move(request), [](HTTPResponse response) { applyDomainConfig(response); });
}

void ZV_Network::applyDomainConfig(const HTTPResponse& response)
{
    if (response.error)
        return;
    std::optional<std::string> text = response.text();
    if (!text)
        return;
    JSON file = JSON::parse(*text);

    struct Entry {
        std::string_view fileKey;
        std::string_view defaultsKey;
        std::string& (*variable)();
    };
    const Entry entries[] = {
        { "api_service", DefaultsKey::mainURL, &BaseURLs::main_url },
        { "captcha_url", DefaultsKey::captchaURL, &BaseURLs::captcha_url },
        { "short_video_service", DefaultsKey::shortURL, &BaseURLs::short_url },
        { "help_url", DefaultsKey::helpURL, &BaseURLs::help_url },
        { "room_gateway_websocket_url", DefaultsKey::websocketURL, &BaseURLs::websocket_url },
    };
    // One write of the defaults for all of them: the reply lands while the first screen is drawn.
    PropertyList::Dictionary stored;
    for (const Entry& entry : entries) {
        std::optional<std::string> value = file[entry.fileKey].string();
        if (!value || !isUsableAddress(*value, entry.defaultsKey))
            continue;
        stored.insert_or_assign(std::string(entry.defaultsKey), PropertyList(*value));
        entry.variable() = *value;
    }
    if (!stored.empty())
        UserDefaults::standard().setValues(stored);
}

void ZV_Network::login(const std::string& username, const std::string& password, const std::string& captcha,
    Completion completion)
{
    JSON parameters = JSON::object(
        { { "username", JSON(username) }, { "password", JSON(password) }, { "captcha", JSON(captcha) } });
    request(HTTPMethod::POST, BaseURLs::main_url(), "v1/user/login", parameters, std::move(completion));
}

void ZV_Network::registerByPhone(
    const std::string& phone, const std::string& password, const std::string& smsCode, Completion completion)
{
    JSON parameters = JSON::object(
        { { "phone", JSON(phone) }, { "password", JSON(password) }, { "sms_code", JSON(smsCode) } });
    request(
        HTTPMethod::POST, BaseURLs::main_url(), "v1/user/register/phone", parameters, std::move(completion));
}

void ZV_Network::uploadImage(ZV_API api, Data imageData, const std::string& name, Completion completion)
{
    uploadImage(api, std::move(imageData), name, "image.png", "image/png", std::move(completion));
}

void ZV_Network::uploadImage(ZV_API api, Data imageData, const std::string& name, const std::string& fileName,
    const std::string& mimeType, Completion completion)
{
    HTTPHeaders headers;
    headers.emplace_back("Accept", std::string(ZV_NetworkEnvelope::acceptValue));
    if (std::optional<PropertyList> token = StoreData::value(StoreData::access_token)) {
        if (const std::string* text = token->asString())
            headers.emplace_back("Authorization", "Bearer " + *text);
    }
    std::string url = BaseURLs::main_url();
    url += path(api);

    MultipartFormData form;
    form.append(std::move(imageData), name, fileName, mimeType);

    m_ui->showLoading();
    std::weak_ptr<ZV_Network> weak = weak_from_this();
    // The reply is an API reply like any other, and as bounded.
    m_client.upload(
        std::move(url), std::move(headers), form,
        [weak, completion = std::move(completion)](HTTPResponse response) {
            std::shared_ptr<ZV_Network> self = weak.lock();
            if (!self)
                return;
            self->m_ui->hideAllTips();
            ZV_NetworkReply::Outcome outcome = ZV_NetworkReply::decodeUpload(response);
            if (outcome.kind == ZV_NetworkReply::Outcome::Kind::Deliver)
                call(completion, std::move(outcome.value), std::nullopt);
            else
                call(completion, std::nullopt, std::move(outcome.error));
        },
        uploadTimeout, maxReplyBytes());
}

void ZV_Network::roomMaxSeq(std::function<void(std::int64_t)> completion)
{
    constexpr std::int64_t room = 1;
    request(HTTPMethod::GET, BaseURLs::main_url(), "v1/room/maxseq",
        JSON::object({ { "room_id", JSON(room) } }),
        [completion = std::move(completion)](std::optional<JSON> json, std::optional<NSError>) {
            if (!json || !completion)
                return;
            for (const JSON& entry : json->arrayValue()) {
                if (entry["room_id"].intValue() == room) {
                    completion(entry["max_seq"].intValue());
                    return;
                }
            }
        });
}

void ZV_Network::storeAdvertConfig(const std::optional<JSON>& json, const std::function<void()>& completion)
{
    if (json && !UserDefaults::standard().boolForKey(DefaultsKey::cleanAD))
        ConfigSingleton::shared().advertConfigModel = std::make_shared<const ZV_AdvertConfigModel>(*json);
    if (completion)
        completion();
}

void ZV_Network::userInfoHandler(std::optional<JSON> json, std::optional<NSError> error)
{
    std::shared_ptr<const ZV_UserInfoModel>& profile = ConfigSingleton::shared().zv_userInfoModel;
    if (!error && json && json->type() == JSON::Type::Object && !json->isEmpty())
        profile = std::make_shared<const ZV_UserInfoModel>(*json);
    else
        profile.reset();
}
