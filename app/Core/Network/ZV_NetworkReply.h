#pragma once

#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/net/HTTPResponse.h"

#include <optional>
#include <string_view>

// How a reply of the API is read. Pure functions: the client (ZV_Network) carries out what they
// decide (completions, sign-out, token refresh, notifications).
//
// The reply is an envelope {errorCode, msg, data}; with the header "x-app-data-encrypt: true"
// the whole body is AES-encrypted text, and a text `data` is always AES-encrypted JSON text.
struct ZV_NetworkReply {
    // "网络错误": the transfer failed (no connection, time-out, TLS, empty body).
    static NSError transportError();
    // "网络异常": a reply came but is unusable (no JSON, no envelope, does not decrypt).
    static NSError unusableReplyError();
    // The envelope's own error: the text of `msg` as domain, `errorCode` as code.
    static NSError serverError(const JSON& envelope);

    // The JSON of a completed transfer: the body is decrypted first when the reply says so.
    // None when there is no body or head, the body does not decrypt, or it is not JSON.
    static std::optional<JSON> decodeBody(const HTTPResponse& response);

    // Clear JSON of an encrypted text; none when it does not decrypt or is not JSON.
    static std::optional<JSON> decryptJSON(std::string_view encrypted);

    // The three list and profile paths whose sign-in codes do not end the sign-in.
    static bool isSignInExempt(std::string_view path);

    // `data` when it is a non-empty array or object, else `msg` (null when absent).
    static JSON dataOrMessage(const JSON& envelope);

    struct Outcome {
        enum class Kind {
            Deliver, // completion(value, none)
            Fail, // completion(none, error)
            EndSignIn, // token gone, login screen; the completion is not called
            RefreshToken, // the token must be refreshed; the completion is not called
        };
        Kind kind = Kind::Fail;
        JSON value;
        NSError error;
    };

    // The error dispatch of one reply to `path`:
    //  - no JSON, or JSON that is not an object: "网络异常";
    //  - errorCode 0 (also when missing; numeric text counts): a text `data` is decrypted (one
    //    that does not decrypt is "网络异常"); numbers and Booleans are delivered as they are, and
    //    with keepEmptyData an empty array or object too; otherwise dataOrMessage();
    //  - 2000 and 2002: dataOrMessage() on the exempt paths, else EndSignIn;
    //  - 2001: RefreshToken, except for the refresh itself, where it is EndSignIn;
    //  - any other code: an error with the text of `msg` as domain and the code.
    static Outcome dispatch(
        const std::optional<JSON>& envelope, std::string_view path, bool keepEmptyData = false);

    // The multipart upload has no dispatch: it gets the whole envelope (an encrypted `data`
    // decrypted), or "网络异常" when the reply has no body, yields no JSON or its `data` does not
    // decrypt, or "网络错误" when the transfer failed.
    static Outcome decodeUpload(const HTTPResponse& response);
};
