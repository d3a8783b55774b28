#include "app/Core/Network/ZV_NetworkEnvelope.h"

#include "app/Core/Helpers/DeviceIdentity.h"
#include "app/Core/Storage/StoreData.h"
#include "platform/crypto/Digest.h"
#include "platform/crypto/RSAKey.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/Log.h"
#include "platform/json/JSONSerialization.h"

#include <cmath>
#include <mutex>

namespace {

Data bytesOf(std::string_view text)
{
    return Data(text.begin(), text.end());
}

// The key of the information file, parsed once; parsed again only if the text changes (tests
// swap bundles).
std::optional<RSAPublicKey> apiPublicKey()
{
    static std::mutex mutex;
    static std::string parsedText;
    static std::optional<RSAPublicKey> parsed;

    std::string text = Bundle::main().infoString(InfoKey::APIPublicKey).value_or("");
    std::lock_guard lock(mutex);
    if (text != parsedText || (!parsed && !text.empty())) {
        parsedText = text;
        parsed = text.empty() ? std::nullopt : RSAPublicKey::fromBase64DER(text);
    }
    return parsed;
}

}

std::string ZV_NetworkEnvelope::jsonString(const JSON& value)
{
    return JSONSerialization::string(value, false, true).value_or("");
}

std::string ZV_NetworkEnvelope::jsonHeaderString(const JSON& value)
{
    std::optional<std::string> text = JSONSerialization::string(value, true, true);
    if (!text) {
        Log::write("JSON header value could not be written");
        return {};
    }
    return *text;
}

std::string ZV_NetworkEnvelope::rsaEncryptedPack(const JSON& parameters)
{
    std::optional<RSAPublicKey> key = apiPublicKey();
    if (!key) {
        bool empty = Bundle::main().infoString(InfoKey::APIPublicKey).value_or("").empty();
        Log::write(empty
                ? "RSA: the information key APIPublicKey is empty; the request goes out with an empty pack"
                : "RSA: the information key APIPublicKey is not a base64 PKCS#1 RSA public key; the "
                  "request goes out with an empty pack");
        return {};
    }
    std::string clear = jsonString(parameters);
    if (clear.empty())
        return {};
    std::optional<Data> cipher = key->encryptPKCS1v15(bytesOf(clear));
    if (!cipher) {
        Log::write("RSA: encryption failed");
        return {};
    }
    return Base64::encode(*cipher);
}

std::string ZV_NetworkEnvelope::hmacSignature(std::string_view key, std::optional<std::string_view> message)
{
    if (!message)
        return {};
    return Digest::hex(HMAC::md5(bytesOf(key), bytesOf(*message)));
}

JSON ZV_NetworkEnvelope::stampedParameters(const JSON& parameters)
{
    JSON stamped = parameters.type() == JSON::Type::Object ? parameters : JSON::object();
    auto seconds = static_cast<long long>(std::floor(Date::now().timeIntervalSince1970()));
    stamped.set("timestamp", JSON(std::to_string(seconds)));
    return stamped;
}

URLEncodedForm ZV_NetworkEnvelope::form(const JSON& stampedParameters)
{
    std::string pack = rsaEncryptedPack(stampedParameters);
    std::string signature = hmacSignature(hmacKey, pack);
    return { { "pack", std::move(pack) }, { "signature", std::move(signature) } };
}

std::string ZV_NetworkEnvelope::deviceModelName()
{
    std::string model = DeviceInfo::model();
    // The model database spells the Xr with U+0280; the server knows it as "iPhone Xr".
    if (model == "iPhone X\u0280")
        return "iPhone Xr";
    return model;
}

HTTPHeaders ZV_NetworkEnvelope::clientHeaders()
{
    HTTPHeaders headers;
    headers.emplace_back("Accept", std::string(acceptValue));

    JSON setting = JSON::object({ { "pure-mode", JSON(StoreData::boolValue(StoreData::pureMode)) } });
    headers.emplace_back("X-Client-Setting", jsonHeaderString(setting));

    if (std::optional<PropertyList> token = StoreData::value(StoreData::access_token)) {
        if (const std::string* text = token->asString())
            headers.emplace_back("Authorization", "Bearer " + *text);
    }

    JSON device = JSON::object({
        { "brand", JSON("Apple") },
        { "device_id", JSON(deviceUUID().value_or("")) },
        { "model", JSON(deviceModelName()) },
        { "sdk_version", JSON(clientVersion) },
        { "system_version", JSON(DeviceInfo::systemVersion()) },
        { "type", JSON(2) },
    });
    headers.emplace_back("X-Client-Device", jsonHeaderString(device));
    headers.emplace_back("X-Client-Version", std::string(clientVersion));
    return headers;
}

HTTPRequest ZV_NetworkEnvelope::makeRequest(HTTPMethod method, const std::string& baseURL,
    std::string_view path, const JSON& parameters, double timeout)
{
    std::string url = baseURL;
    url += path;
    return URLEncodedFormEncoder::makeRequest(
        method, std::move(url), form(stampedParameters(parameters)), clientHeaders(), timeout);
}
