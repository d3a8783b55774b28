#pragma once

#include "app/Core/Network/ZV_API.h"
#include "app/Core/Network/ZV_NetworkUI.h"
#include "platform/foundation/Data.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/net/HTTPClient.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The app's one client of its JSON API. Every request goes out as the signed, encrypted envelope
// of ZV_NetworkEnvelope; every reply passes the decoding and error dispatch of ZV_NetworkReply,
// so a caller never sees the envelope: its completion gets the unwrapped `data` (or `msg`), or
// no value and an error whose domain is the text to show.
//
// Threads: call on the main thread; completions run on the main queue, at most once. A
// completion is kept until its reply is delivered, so a screen's completion must capture the
// screen weakly (std::weak_ptr) and check it: the client does not know the screen has gone.
//
// Codes that end the sign-in (2000, 2002) and the token refresh (2001) do not call the
// completion of the request they answer, unless the caller asks for it (SignInReplies). A
// delivered reply to "v1/movie/collect/action" is followed, after its completion, by the
// notification "collect" whose object is the request's `movie_id` as a JSON value (no object
// without one).
//
// Replies are bounded by the information key MaxAPIReplyBytes; a larger one, like a request that
// does not end within the time-out, is a transport failure ("网络错误").
class ZV_Network : public std::enable_shared_from_this<ZV_Network> {
public:
    using Completion = std::function<void(std::optional<JSON>, std::optional<NSError>)>;

    // What the sign-in codes (2000, 2001, 2002) do to the completion of the request they answer.
    enum class SignInReplies {
        // Not called: the screen waits, the client ends the sign-in or refreshes the token.
        Silent,
        // Called as well, after the client has acted, with no value and the server's `msg` and
        // code: for a screen that must go on whatever the reply.
        Complete,
    };
    // What a success whose `data` is an empty array or object hands the completion.
    enum class EmptyData {
        // The reply's `msg`, as for every other empty `data`.
        Message,
        // The empty value itself: for a screen to which an empty list is an answer of its own.
        AsIs,
    };

    static constexpr double defaultRequestTimeout = 15.0;
    static constexpr std::size_t defaultMaxReplyBytes = 4 * 1024 * 1024;

    // The process-wide client, made on first use and never released.
    static ZV_Network& shared();
    // A separate client (tests); replies that arrive after it is gone are dropped.
    static std::shared_ptr<ZV_Network> create(HTTPClient& client = HTTPClient::shared());

    ZV_Network(const ZV_Network&) = delete;
    ZV_Network& operator=(const ZV_Network&) = delete;

    // One enveloped request to baseURL followed by path. Parameters: a JSON object whose values
    // are texts, integers, Booleans or arrays of these; `timestamp` is added (and replaces one
    // given). GET carries the envelope in the query, POST in a form body.
    void request(HTTPMethod method, const std::string& baseURL, std::string_view path, const JSON& parameters,
        Completion completion, SignInReplies signInReplies = SignInReplies::Silent,
        EmptyData emptyData = EmptyData::Message);
    // The same by endpoint, with a loading tip while it runs when showLoading is set.
    void request(HTTPMethod method, const std::string& baseURL, ZV_API api, const JSON& parameters,
        bool showLoading, Completion completion);

    // Anything stored under the access-token key counts as signed in.
    static bool isLoggedIn();

    // Reply handling, as installed by request(); public for the calls that reuse it.
    // decodeResponse hides the tips, turns a transfer failure into "网络错误" and otherwise hands
    // the decoded body to handleResponse, which dispatches on `errorCode`.
    void decodeResponse(const HTTPResponse& response, const Completion& completion, const std::string& path,
        const JSON& parameters, SignInReplies signInReplies = SignInReplies::Silent,
        EmptyData emptyData = EmptyData::Message);
    void handleResponse(const std::optional<JSON>& envelope, const Completion& completion,
        const std::string& path, const JSON& parameters, SignInReplies signInReplies = SignInReplies::Silent,
        EmptyData emptyData = EmptyData::Message);
    static void transportFailureHandler(const Completion& completion);
    // Stores the refreshed token (`refresh_token` of the delivered data); a delivered value
    // without a text token removes the stored one; no value changes nothing.
    static void refreshTokenHandler(std::optional<JSON> json, std::optional<NSError> error);
    // For calls whose result matters only when it fails: shows the error's domain as a toast.
    Completion errorToastCompletion();
    // The play report's completion: a log line on success, nothing else.
    static void playReportCompletion(std::optional<JSON> json, std::optional<NSError> error);

    // Server-address bootstrap: restores the cached "main_url" and "short_url", then fetches the
    // server-address file (information key DomainFileURL) and applies it when it arrives.
    void loadDomainConfig();
    // Each value of the file's keys that is an absolute URL of its kind (http or https; ws or wss
    // for the chat socket) is cached and replaces its base URL; anything else is ignored, and a
    // failed fetch or a file that is not JSON changes nothing.
    static void applyDomainConfig(const HTTPResponse& response);

    void login(const std::string& username, const std::string& password, const std::string& captcha,
        Completion completion);
    void registerByPhone(const std::string& phone, const std::string& password, const std::string& smsCode,
        Completion completion);
    // Multipart POST of one image part ("image.png", image/png) under the field `name` to main_url
    // and the endpoint's path, with only Accept and Authorization. No envelope and no dispatch:
    // the completion gets the whole reply envelope, or "网络异常" when the reply is unusable.
    void uploadImage(ZV_API api, Data imageData, const std::string& name, Completion completion);
    // The same with the part's file name and type given, for uploads that declare what they send
    // (the avatar goes up as "image.jpg", image/jpeg).
    void uploadImage(ZV_API api, Data imageData, const std::string& name, const std::string& fileName,
        const std::string& mimeType, Completion completion);
    // The highest message sequence of chat room 1; the completion is not called when the reply
    // has no entry for that room.
    void roomMaxSeq(std::function<void(std::int64_t)> completion);

    // The advert configuration replaces ConfigSingleton's unless the ad-free flag "cleanAD" is
    // set; the completion runs once in every case.
    static void storeAdvertConfig(const std::optional<JSON>& json, const std::function<void()>& completion);
    // The start-up profile: built only from a non-empty JSON object without error, else none.
    static void userInfoHandler(std::optional<JSON> json, std::optional<NSError> error);

    double requestTimeout() const { return m_requestTimeout; }
    void setRequestTimeout(double seconds) { m_requestTimeout = seconds; }
    ZV_NetworkUI& ui() { return *m_ui; }
    // The screen side; ZV_NetworkScreenUI unless replaced (none puts it back).
    void setUI(std::shared_ptr<ZV_NetworkUI> ui);
    bool isTokenRefreshInFlight() const { return m_refreshInFlight; }

    // Kept for the profile screens; the client itself neither reads nor writes it.
    std::optional<Data> avatar;

private:
    explicit ZV_Network(HTTPClient& client);

    void endSignIn();
    void refreshToken();

    HTTPClient& m_client;
    std::shared_ptr<ZV_NetworkUI> m_ui;
    double m_requestTimeout = defaultRequestTimeout;
    bool m_refreshInFlight = false;
};
