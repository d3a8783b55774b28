#include "tools/testserver/ApiServer.h"

#include "tools/testserver/ApiEndpoints.h"
#include "tools/testserver/Envelope.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace testserver {

namespace {

constexpr std::string_view kPrefix = "/api/";

std::optional<std::string> bearerToken(const Request& request)
{
    std::optional<std::string> authorization = request.header("Authorization");
    constexpr std::string_view scheme = "Bearer ";
    if (!authorization || !authorization->starts_with(scheme))
        return std::nullopt;
    return authorization->substr(scheme.size());
}

// The reply broken as the fault says; every fault goes out unencrypted, but for a cut one.
Reply broken(const ApiReply& reply, ApiFault fault)
{
    switch (fault) {
    case ApiFault::ServerError:
        return Reply::text(500, "500 Internal Server Error");
    case ApiFault::Cut: {
        Reply cut = reply.toReply();
        cut.action = ReplyAction::TruncateBody;
        return cut;
    }
    case ApiFault::NotJSON:
        return Reply::text(
            200, "<!DOCTYPE html><html><body>服务维护中</body></html>", "text/html; charset=utf-8");
    case ApiFault::BadUTF8: {
        // Written by hand: the JSON library would refuse to write these bytes.
        std::string text
            = R"({"errorCode":)" + std::to_string(reply.errorCode) + R"(,"msg":")" + "\xff\xfe\xc3" + R"(")";
        if (reply.data)
            text += R"(,"data":)" + reply.data->dump();
        return Reply::json(text + "}");
    }
    case ApiFault::TooLarge: {
        ApiReply plain = reply;
        plain.encryption = ApiReply::Encryption::None;
        std::string envelope = plain.envelopeText();
        std::string padding(ApiServer::tooLargeBytes, 'x');
        return Reply::json(R"({"padding":")" + padding + R"(",)" + envelope.substr(1));
    }
    }
    return reply.toReply();
}

}

std::optional<ApiFault> parseApiFault(std::string_view text)
{
    if (text == "500")
        return ApiFault::ServerError;
    if (text == "cut")
        return ApiFault::Cut;
    if (text == "not-json")
        return ApiFault::NotJSON;
    if (text == "bad-utf8")
        return ApiFault::BadUTF8;
    if (text == "too-large")
        return ApiFault::TooLarge;
    return std::nullopt;
}

struct UploadEndpoint {
    std::string field;
    ApiHandler handler;
};

struct ApiServer::State {
    apicrypto::PrivateKey key;
    TestServer* server = nullptr;
    mutable std::mutex mutex;
    std::map<std::string, ApiHandler> handlers;
    std::map<std::string, UploadEndpoint> uploads;
    std::map<std::string, ApiReply> scripts;
    ApiReply::Encryption encryption = ApiReply::Encryption::None;
    std::map<std::string, ApiReply::Encryption> routeEncryption;
    std::map<std::string, std::chrono::milliseconds> routeDelay;
    std::map<std::string, ApiFault> routeFault;
    RequestLog<ApiRecord> records;
    std::chrono::seconds window { 300 };
    std::shared_ptr<const StateFolder> stateFolder;

    explicit State(apicrypto::PrivateKey key)
        : key(std::move(key))
    { }

    Reply answer(const Request& request);
    Reply answerUpload(const Request& request, ApiRecord& record, const UploadEndpoint& endpoint);
    // The refusal code of an envelope, 0 when it is good; fills the record's parameters.
    int openEnvelope(const Request& request, ApiRecord& record);
    Reply finish(ApiRecord record, const ApiCall& call, const ApiHandler* handler);
    void keep(ApiRecord record); // with the lock held
    // The run's and the path's encryption and delay over a handler's reply.
    ApiReply styled(ApiReply reply, const std::string& path) const;
};

void ApiServer::State::keep(ApiRecord record)
{
    std::size_t bytes = record.request.body.size() + record.request.target.size();
    records.add(std::move(record), bytes);
}

ApiReply ApiServer::State::styled(ApiReply reply, const std::string& path) const
{
    std::lock_guard lock(mutex);
    if (reply.encryption == ApiReply::Encryption::None) {
        auto it = routeEncryption.find(path);
        reply.encryption = it != routeEncryption.end() ? it->second : encryption;
    }
    if (auto it = routeDelay.find(path); it != routeDelay.end())
        reply.delay = it->second;
    return reply;
}

Reply ApiServer::State::answer(const Request& request)
{
    ApiRecord record;
    record.request = request;
    record.path = request.path.substr(kPrefix.size());

    if (std::optional<std::string_view> method = endpointMethod(record.path);
        method && request.method != *method) {
        record.rejectedWith = badMethod;
        {
            std::lock_guard lock(mutex);
            keep(std::move(record));
        }
        Reply refused = ApiReply::error(badMethod, "请求方法错误").toReply();
        refused.status = 405;
        refused.headers.emplace_back("Allow", std::string(*method));
        return refused;
    }

    std::optional<UploadEndpoint> upload;
    {
        std::lock_guard lock(mutex);
        if (auto it = uploads.find(record.path); it != uploads.end())
            upload = it->second;
    }
    if (upload)
        return answerUpload(request, record, *upload);

    if (int refusal = openEnvelope(request, record)) {
        static const std::map<int, std::string> messages = {
            { badSignature, "签名错误" },
            { badPack, "解密失败" },
            { badTimestamp, "时间戳无效" },
            { badFields, "参数错误" },
        };
        record.rejectedWith = refusal;
        std::lock_guard lock(mutex);
        keep(std::move(record));
        return ApiReply::error(refusal, messages.at(refusal)).toReply();
    }

    ApiCall call;
    call.method = request.method;
    call.path = record.path;
    call.parameters = *record.parameters;
    call.token = bearerToken(request);
    ApiHandler handler;
    {
        std::lock_guard lock(mutex);
        if (auto it = handlers.find(record.path); it != handlers.end())
            handler = it->second;
    }
    return finish(std::move(record), call, handler ? &handler : nullptr);
}

Reply ApiServer::State::answerUpload(
    const Request& request, ApiRecord& record, const UploadEndpoint& endpoint)
{
    record.fieldsWhere = "multipart";
    const FilePart* part = nullptr;
    if (request.method == "POST" && request.multipart && request.multipart->files.size() == 1
        && request.multipart->fields.empty()) {
        const FilePart& file = request.multipart->files.front();
        if (file.name == endpoint.field && !file.data.empty())
            part = &file;
    }
    if (!part) {
        record.rejectedWith = badUpload;
        std::lock_guard lock(mutex);
        keep(std::move(record));
        return ApiReply::error(badUpload, "上传失败").toReply();
    }
    ApiCall call;
    call.method = request.method;
    call.path = record.path;
    call.parameters = nlohmann::json::object();
    call.token = bearerToken(request);
    call.upload = part;
    return finish(std::move(record), call, &endpoint.handler);
}

int ApiServer::State::openEnvelope(const Request& request, ApiRecord& record)
{
    std::chrono::seconds window;
    {
        std::lock_guard lock(mutex);
        window = this->window;
    }
    OpenedEnvelope opened = testserver::openEnvelope(request, key, window);
    record.fieldsWhere = std::move(opened.fieldsWhere);
    record.parameters = std::move(opened.parameters);
    return opened.refusal;
}

Reply ApiServer::State::finish(ApiRecord record, const ApiCall& call, const ApiHandler* handler)
{
    std::optional<ApiReply> scripted;
    std::optional<ApiFault> fault;
    {
        std::lock_guard lock(mutex);
        if (auto it = scripts.find(call.path); it != scripts.end())
            scripted = it->second;
        if (auto it = routeFault.find(call.path); it != routeFault.end())
            fault = it->second;
        keep(std::move(record));
    }
    ApiReply reply;
    if (scripted) {
        reply = std::move(*scripted);
    } else if (!handler) {
        reply = ApiReply::error(404, "接口不存在");
    } else {
        try {
            reply = styled((*handler)(call), call.path);
        } catch (const std::exception& error) {
            reply = ApiReply::error(500, std::string("服务器错误: ") + error.what());
        }
    }
    if (!fault)
        return reply.toReply();
    Reply wire = broken(reply, *fault);
    wire.delay = reply.delay;
    return wire;
}

ApiReply ApiReply::success(nlohmann::json data, std::string msg)
{
    ApiReply reply;
    reply.data = std::move(data);
    reply.msg = std::move(msg);
    return reply;
}

ApiReply ApiReply::error(int errorCode, std::string msg)
{
    ApiReply reply;
    reply.errorCode = errorCode;
    reply.msg = std::move(msg);
    return reply;
}

std::string ApiReply::envelopeText() const
{
    nlohmann::json envelope = { { "errorCode", errorCode }, { "msg", msg } };
    if (data) {
        if (encryption == Encryption::Data || encryption == Encryption::DataWrongKey) {
            std::string_view key
                = encryption == Encryption::Data ? apicrypto::replyKey : apicrypto::wrongReplyKey;
            envelope["data"] = apicrypto::encryptReply(data->dump(), key);
        } else {
            envelope["data"] = *data;
        }
    }
    return envelope.dump();
}

Reply ApiReply::toReply() const
{
    Reply reply;
    if (encryption == Encryption::Body || encryption == Encryption::BodyWrongKey) {
        std::string_view key
            = encryption == Encryption::Body ? apicrypto::replyKey : apicrypto::wrongReplyKey;
        reply = Reply::text(200, apicrypto::encryptReply(envelopeText(), key));
        reply.headers.emplace_back("x-app-data-encrypt", "true");
    } else {
        reply = Reply::json(envelopeText());
    }
    reply.delay = delay;
    return reply;
}

std::unique_ptr<ApiServer> ApiServer::attach(
    TestServer& server, const std::filesystem::path& keysDir, std::string* error)
{
    std::optional<apicrypto::PrivateKey> key
        = apicrypto::PrivateKey::load(keysDir / "api_private.pem", error);
    if (!key)
        return nullptr;
    auto state = std::make_shared<State>(std::move(*key));
    state->records.setLimits(server.recordLimits());
    state->server = &server;
    server.routePrefix(
        std::string(kPrefix), [state](const Request& request) { return state->answer(request); });
    return std::unique_ptr<ApiServer>(new ApiServer(std::move(state)));
}

ApiServer::ApiServer(std::shared_ptr<State> state)
    : m_state(std::move(state))
{ }

ApiServer::~ApiServer() = default;

void ApiServer::handle(std::string path, ApiHandler handler)
{
    std::lock_guard lock(m_state->mutex);
    m_state->handlers[std::move(path)] = std::move(handler);
}

ApiHandler ApiServer::handler(const std::string& path) const
{
    std::lock_guard lock(m_state->mutex);
    auto it = m_state->handlers.find(path);
    return it == m_state->handlers.end() ? ApiHandler() : it->second;
}

void ApiServer::handleUpload(std::string path, std::string field, ApiHandler handler)
{
    std::lock_guard lock(m_state->mutex);
    m_state->uploads[std::move(path)] = UploadEndpoint { std::move(field), std::move(handler) };
}

void ApiServer::script(std::string path, ApiReply reply)
{
    std::lock_guard lock(m_state->mutex);
    m_state->scripts[std::move(path)] = std::move(reply);
}

void ApiServer::setEncryption(ApiReply::Encryption encryption)
{
    std::lock_guard lock(m_state->mutex);
    m_state->encryption = encryption;
}

void ApiServer::setEncryption(std::string path, ApiReply::Encryption encryption)
{
    std::lock_guard lock(m_state->mutex);
    m_state->routeEncryption[std::move(path)] = encryption;
}

void ApiServer::setDelay(std::string path, std::chrono::milliseconds delay)
{
    std::lock_guard lock(m_state->mutex);
    m_state->routeDelay[std::move(path)] = delay;
}

void ApiServer::setFault(std::string path, ApiFault fault)
{
    std::lock_guard lock(m_state->mutex);
    m_state->routeFault[std::move(path)] = fault;
}

void ApiServer::clearScripts()
{
    std::lock_guard lock(m_state->mutex);
    m_state->routeFault.clear();
    m_state->scripts.clear();
    m_state->encryption = ApiReply::Encryption::None;
    m_state->routeEncryption.clear();
    m_state->routeDelay.clear();
}

std::vector<ApiRecord> ApiServer::records() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->records.entries();
}

std::vector<ApiRecord> ApiServer::recordsTo(std::string_view path) const
{
    std::vector<ApiRecord> matching = records();
    std::erase_if(matching, [path](const ApiRecord& record) { return record.path != path; });
    return matching;
}

void ApiServer::clearRecords()
{
    std::lock_guard lock(m_state->mutex);
    m_state->records.clear();
}

void ApiServer::setTimestampWindow(std::chrono::seconds window)
{
    std::lock_guard lock(m_state->mutex);
    m_state->window = window;
}

const apicrypto::PrivateKey& ApiServer::key() const
{
    return m_state->key;
}

TestServer& ApiServer::server() const
{
    return *m_state->server;
}

void ApiServer::setStateFolder(std::shared_ptr<const StateFolder> folder)
{
    std::lock_guard lock(m_state->mutex);
    m_state->stateFolder = std::move(folder);
}

std::shared_ptr<const StateFolder> ApiServer::stateFolder() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->stateFolder;
}

}
