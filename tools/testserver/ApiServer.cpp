#include "tools/testserver/ApiServer.h"

#include <algorithm>
#include <charconv>
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

bool isFormBody(const Request& request)
{
    std::optional<std::string> type = request.header("Content-Type");
    return type && type->starts_with("application/x-www-form-urlencoded");
}

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
    std::vector<ApiRecord> records;
    std::chrono::seconds window { 300 };

    explicit State(apicrypto::PrivateKey key)
        : key(std::move(key))
    { }

    Reply answer(const Request& request);
    Reply answerUpload(const Request& request, ApiRecord& record, const UploadEndpoint& endpoint);
    // The refusal code of an envelope, 0 when it is good; fills the record's parameters.
    int openEnvelope(const Request& request, ApiRecord& record);
    Reply finish(ApiRecord record, const ApiCall& call, const ApiHandler* handler);
};

Reply ApiServer::State::answer(const Request& request)
{
    ApiRecord record;
    record.request = request;
    record.path = request.path.substr(kPrefix.size());

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
        records.push_back(std::move(record));
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
        records.push_back(std::move(record));
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
    Items fields;
    if (request.method == "GET") {
        fields = request.queryItems();
        record.fieldsWhere = "query";
        if (!request.body.empty())
            return badFields;
    } else if (request.method == "POST") {
        if (!request.query.empty() || !isFormBody(request))
            return badFields;
        fields = request.formItems();
        record.fieldsWhere = "body";
    } else {
        return badFields;
    }

    std::optional<std::string> pack;
    std::optional<std::string> signature;
    for (const auto& [name, value] : fields) {
        if (name == "pack" && !pack)
            pack = value;
        else if (name == "signature" && !signature)
            signature = value;
        else
            return badFields;
    }
    if (!pack || !signature)
        return badFields;
    if (*signature != apicrypto::hmacMD5Hex(apicrypto::hmacKey, *pack))
        return badSignature;

    std::optional<std::string> cipher = apicrypto::base64Decode(*pack);
    std::optional<std::string> clear = cipher ? key.decrypt(*cipher) : std::nullopt;
    if (!clear)
        return badPack;
    nlohmann::json parameters = nlohmann::json::parse(*clear, nullptr, false);
    if (!parameters.is_object())
        return badPack;
    record.parameters = parameters;

    const nlohmann::json& stamp = parameters["timestamp"];
    if (!stamp.is_string())
        return badTimestamp;
    const std::string& text = stamp.get_ref<const std::string&>();
    long long seconds = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || text.front() == '-')
        return badTimestamp;
    auto now = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch())
                   .count();
    std::chrono::seconds window;
    {
        std::lock_guard lock(mutex);
        window = this->window;
    }
    if (std::llabs(now - seconds) > window.count())
        return badTimestamp;
    return 0;
}

Reply ApiServer::State::finish(ApiRecord record, const ApiCall& call, const ApiHandler* handler)
{
    std::optional<ApiReply> scripted;
    {
        std::lock_guard lock(mutex);
        if (auto it = scripts.find(call.path); it != scripts.end())
            scripted = it->second;
        records.push_back(std::move(record));
    }
    if (scripted)
        return scripted->toReply();
    if (!handler)
        return ApiReply::error(404, "接口不存在").toReply();
    try {
        return (*handler)(call).toReply();
    } catch (const std::exception& error) {
        return ApiReply::error(500, std::string("服务器错误: ") + error.what()).toReply();
    }
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

void ApiServer::clearScripts()
{
    std::lock_guard lock(m_state->mutex);
    m_state->scripts.clear();
}

std::vector<ApiRecord> ApiServer::records() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->records;
}

std::vector<ApiRecord> ApiServer::recordsTo(std::string_view path) const
{
    std::lock_guard lock(m_state->mutex);
    std::vector<ApiRecord> matching;
    std::copy_if(m_state->records.begin(), m_state->records.end(), std::back_inserter(matching),
        [path](const ApiRecord& record) { return record.path == path; });
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

}
