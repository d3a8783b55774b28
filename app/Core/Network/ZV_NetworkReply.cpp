#include "app/Core/Network/ZV_NetworkReply.h"

#include "app/Core/Codec/NrvAES.h"
#include "app/Core/Codec/NrvGTMBase64.h"
#include "app/Core/Network/ZV_API.h"
#include "platform/foundation/PropertyList.h"
#include "platform/json/JSONSerialization.h"

#include <array>
#include <string>

namespace {

constexpr std::array<std::string_view, 3> kSignInExemptPaths = {
    "v1/user/movie_collect/list",
    "v1/user/playback/list",
    "v1/user/info",
};

bool saysEncrypted(const HTTPResponse& response)
{
    // HTTP field names carry no case; a proxy may well have folded this one.
    std::optional<std::string> flag = headerValueIgnoringCase(response.headers, "x-app-data-encrypt");
    return flag && PropertyList(*flag).boolValue();
}

ZV_NetworkReply::Outcome deliver(JSON value)
{
    return { ZV_NetworkReply::Outcome::Kind::Deliver, std::move(value), {} };
}

ZV_NetworkReply::Outcome fail(NSError error)
{
    return { ZV_NetworkReply::Outcome::Kind::Fail, JSON(), std::move(error) };
}

ZV_NetworkReply::Outcome outcome(ZV_NetworkReply::Outcome::Kind kind)
{
    return { kind, JSON(), {} };
}

ZV_NetworkReply::Outcome successOutcome(const JSON& envelope, bool keepEmptyData)
{
    JSON data = envelope["data"];
    switch (data.type()) {
    case JSON::Type::String: {
        std::string text = data.stringValue();
        if (text.empty())
            return deliver(ZV_NetworkReply::dataOrMessage(envelope));
        std::optional<JSON> clear = ZV_NetworkReply::decryptJSON(text);
        if (!clear)
            return fail(ZV_NetworkReply::unusableReplyError());
        return deliver(std::move(*clear));
    }
    case JSON::Type::Number:
    case JSON::Type::Bool:
        return deliver(data);
    case JSON::Type::Array:
    case JSON::Type::Object:
        return deliver(keepEmptyData ? data : ZV_NetworkReply::dataOrMessage(envelope));
    default:
        return deliver(ZV_NetworkReply::dataOrMessage(envelope));
    }
}

}

NSError ZV_NetworkReply::transportError()
{
    return NSError { "网络错误", 404, {} };
}

NSError ZV_NetworkReply::unusableReplyError()
{
    return NSError { "网络异常", 404, {} };
}

NSError ZV_NetworkReply::serverError(const JSON& envelope)
{
    return NSError { envelope["msg"].stringValue(), static_cast<long>(envelope["errorCode"].intValue()), {} };
}

std::optional<JSON> ZV_NetworkReply::decryptJSON(std::string_view encrypted)
{
    // The clear bytes go to the reader as they are: it checks their UTF-8 itself (bytes of
    // 0x80 and above are only allowed inside strings, where they are checked), so the text is
    // neither checked twice nor copied.
    std::optional<Data> clear = nrv_detail::replyClearBytes(encrypted);
    if (!clear)
        return std::nullopt;
    return JSONSerialization::jsonObject(*clear, true);
}

std::optional<JSON> ZV_NetworkReply::decodeBody(const HTTPResponse& response)
{
    if (!response.statusCode || !response.body)
        return std::nullopt;
    std::string_view body(reinterpret_cast<const char*>(response.body->data()), response.body->size());
    // No UTF-8 check of the encrypted body first: the base64 reader refuses every byte that is
    // not ASCII, and a body that is not UTF-8 would not have been JSON either.
    if (saysEncrypted(response))
        return decryptJSON(body);
    return JSONSerialization::jsonObject(*response.body, true);
}

bool ZV_NetworkReply::isSignInExempt(std::string_view path)
{
    for (std::string_view exempt : kSignInExemptPaths) {
        if (path == exempt)
            return true;
    }
    return false;
}

JSON ZV_NetworkReply::dataOrMessage(const JSON& envelope)
{
    JSON data = envelope["data"];
    if ((data.type() == JSON::Type::Array || data.type() == JSON::Type::Object) && !data.isEmpty())
        return data;
    JSON message = envelope["msg"];
    return message.exists() ? message : JSON(nullptr);
}

ZV_NetworkReply::Outcome ZV_NetworkReply::dispatch(
    const std::optional<JSON>& envelope, std::string_view path, bool keepEmptyData)
{
    // Only an object is an envelope; anything else would reach the caller as a null success.
    if (!envelope || envelope->type() != JSON::Type::Object)
        return fail(unusableReplyError());

    std::int64_t code = (*envelope)["errorCode"].intValue();
    switch (code) {
    case 0:
        return successOutcome(*envelope, keepEmptyData);
    case 2000:
    case 2002:
        if (isSignInExempt(path))
            return deliver(dataOrMessage(*envelope));
        return outcome(Outcome::Kind::EndSignIn);
    case 2001:
        // A refresh that is itself refused cannot be refreshed again: the sign-in is over.
        if (path == ::path(ZV_API::refreshToken))
            return outcome(Outcome::Kind::EndSignIn);
        return outcome(Outcome::Kind::RefreshToken);
    default:
        return fail(serverError(*envelope));
    }
}

ZV_NetworkReply::Outcome ZV_NetworkReply::decodeUpload(const HTTPResponse& response)
{
    if (response.error) {
        NSError error = transportError();
        error.userInfo["NSLocalizedDescription"] = response.error->message;
        return fail(std::move(error));
    }
    std::optional<JSON> envelope = decodeBody(response);
    if (!envelope)
        return fail(unusableReplyError());
    // A text `data` is encrypted JSON here as in every reply: the caller reads its fields.
    if (std::optional<std::string> text = (*envelope)["data"].string(); text && !text->empty()) {
        std::optional<JSON> clear = decryptJSON(*text);
        if (!clear)
            return fail(unusableReplyError());
        envelope->set("data", std::move(*clear));
    }
    return deliver(std::move(*envelope));
}
