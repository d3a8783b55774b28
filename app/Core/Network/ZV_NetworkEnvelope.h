#pragma once

#include "platform/json/JSON.h"
#include "platform/net/HTTPRequest.h"
#include "platform/net/URLEncodedFormEncoder.h"

#include <optional>
#include <string>
#include <string_view>

// The signed and encrypted request of the API: the parameters (with a text `timestamp`) travel
// only inside `pack`, the RSA encryption of their JSON text, and `signature`, the HMAC-MD5 of
// `pack`. The RSA public key is the information key APIPublicKey (base64 PKCS#1 DER).
struct ZV_NetworkEnvelope {
    // The signing key: its 32 characters are the key bytes (not decoded from hex).
    static constexpr std::string_view hmacKey = "4f7d2a9c81e6b03d5a7c9e2f1b8d6043";
    static constexpr std::string_view acceptValue = "application/prs.Morvik.v2+json";
    static constexpr std::string_view clientVersion = "308";

    // Compact JSON text of any value (fragments allowed); empty text when it cannot be written.
    static std::string jsonString(const JSON& value);
    // The same with the keys in ascending order, as the server compares header bytes. A value
    // that cannot be written gives empty text and a log line.
    static std::string jsonHeaderString(const JSON& value);

    // Standard base64 of the PKCS#1 v1.5 encryption of the parameters' JSON text, in 245-byte
    // pieces of one 256-byte block each. Empty text (and a log line) when the key is missing or
    // bad, or the parameters give no JSON text: the request still goes out and the server decides.
    static std::string rsaEncryptedPack(const JSON& parameters);

    // Lowercase hex HMAC-MD5 of the message's UTF-8 bytes under the key's UTF-8 bytes; empty
    // text when there is no message.
    static std::string hmacSignature(std::string_view key, std::optional<std::string_view> message);

    // A copy of the parameters with `timestamp` set to the decimal text of the current whole
    // seconds since 1970 (a caller's own `timestamp` is replaced).
    static JSON stampedParameters(const JSON& parameters);

    // Exactly the two fields `pack` and `signature` of the stamped parameters.
    static URLEncodedForm form(const JSON& stampedParameters);

    // Accept, X-Client-Setting, Authorization (only with a text token), X-Client-Device and
    // X-Client-Version, in this order.
    static HTTPHeaders clientHeaders();

    // The device model as the server knows it ("iPhone X" with a small-capital R reads
    // "iPhone Xr").
    static std::string deviceModelName();

    // The whole request: URL is baseURL followed by path, form in the query for GET and in the
    // body for POST.
    static HTTPRequest makeRequest(HTTPMethod method, const std::string& baseURL, std::string_view path,
        const JSON& parameters, double timeout);
};
