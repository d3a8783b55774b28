#include "tools/testserver/Envelope.h"

#include "tools/testserver/ApiServer.h"

#include <charconv>
#include <cstdlib>

namespace testserver {

namespace {

bool isFormBody(const Request& request)
{
    std::optional<std::string> type = request.header("Content-Type");
    return type && type->starts_with("application/x-www-form-urlencoded");
}

OpenedEnvelope refused(OpenedEnvelope opened, int refusal)
{
    opened.refusal = refusal;
    return opened;
}

}

OpenedEnvelope openEnvelope(
    const Request& request, const apicrypto::PrivateKey& key, std::chrono::seconds window)
{
    OpenedEnvelope opened;
    Items fields;
    if (request.method == "GET") {
        fields = request.queryItems();
        opened.fieldsWhere = "query";
        if (!request.body.empty())
            return refused(std::move(opened), ApiServer::badFields);
    } else if (request.method == "POST") {
        if (!request.query.empty() || !isFormBody(request))
            return refused(std::move(opened), ApiServer::badFields);
        fields = request.formItems();
        opened.fieldsWhere = "body";
    } else {
        return refused(std::move(opened), ApiServer::badFields);
    }

    std::optional<std::string> pack;
    std::optional<std::string> signature;
    for (const auto& [name, value] : fields) {
        if (name == "pack" && !pack)
            pack = value;
        else if (name == "signature" && !signature)
            signature = value;
        else
            return refused(std::move(opened), ApiServer::badFields);
    }
    if (!pack || !signature)
        return refused(std::move(opened), ApiServer::badFields);
    if (*signature != apicrypto::hmacMD5Hex(apicrypto::hmacKey, *pack))
        return refused(std::move(opened), ApiServer::badSignature);

    std::optional<std::string> cipher = apicrypto::base64Decode(*pack);
    std::optional<std::string> clear = cipher ? key.decrypt(*cipher) : std::nullopt;
    if (!clear)
        return refused(std::move(opened), ApiServer::badPack);
    nlohmann::json parameters = nlohmann::json::parse(*clear, nullptr, false);
    if (!parameters.is_object())
        return refused(std::move(opened), ApiServer::badPack);
    opened.parameters = parameters;

    const nlohmann::json& stamp = parameters["timestamp"];
    if (!stamp.is_string())
        return refused(std::move(opened), ApiServer::badTimestamp);
    const std::string& text = stamp.get_ref<const std::string&>();
    long long seconds = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || text.front() == '-')
        return refused(std::move(opened), ApiServer::badTimestamp);
    auto now = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch())
                   .count();
    if (std::llabs(now - seconds) > window.count())
        return refused(std::move(opened), ApiServer::badTimestamp);
    return opened;
}

}
