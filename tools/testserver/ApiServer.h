#pragma once

#include "tools/testserver/ApiCrypto.h"
#include "tools/testserver/StateFolder.h"
#include "tools/testserver/TestServer.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testserver {

// One call of the API after its envelope was opened.
struct ApiCall {
    std::string method;
    std::string path; // below "/api/", e.g. "v1/user/info"
    nlohmann::json parameters; // the decrypted pack, `timestamp` included; empty for uploads
    std::optional<std::string> token; // from "Authorization: Bearer <token>"
    const FilePart* upload = nullptr; // the image part of an upload call
};

// What the API answers: the envelope {errorCode, msg, data}, optionally encrypted.
struct ApiReply {
    enum class Encryption {
        None,
        Body, // the whole body, with "x-app-data-encrypt: true"
        Data, // `data` as an encrypted text
        BodyWrongKey, // as Body, under a key the app does not know
        DataWrongKey, // as Data, under a key the app does not know
    };

    int errorCode = 0;
    std::string msg = "success";
    std::optional<nlohmann::json> data; // no member when absent
    Encryption encryption = Encryption::None;
    std::chrono::milliseconds delay { 0 };

    static ApiReply success(nlohmann::json data, std::string msg = "success");
    static ApiReply error(int errorCode, std::string msg);
    // A change that the server could not keep (its state folder refused the write): nothing of it
    // was taken, and the same call may be tried again.
    static ApiReply notKept() { return error(5001, "保存失败，请稍后重试"); }

    std::string envelopeText() const;
    Reply toReply() const;
};

using ApiHandler = std::function<ApiReply(const ApiCall&)>;

// A reply that breaks the API's contract in one way, for the failure paths of its clients. The
// reply the path would have had is what gets broken.
enum class ApiFault {
    ServerError, // HTTP 500 with a plain text page
    Cut, // the reply announced whole, half of it sent, the connection dropped
    NotJSON, // HTTP 200 with an HTML page
    BadUTF8, // the envelope with bytes in `msg` that are not UTF-8
    TooLarge, // the envelope padded beyond the app's largest reply (tooLargeBytes)
};

// "500", "cut", "not-json", "bad-utf8", "too-large"; none for another text.
std::optional<ApiFault> parseApiFault(std::string_view text);

// What the server saw of one request under "/api/".
struct ApiRecord {
    Request request;
    std::string path; // below "/api/"
    std::optional<nlohmann::json> parameters; // when the pack opened
    std::string fieldsWhere; // "query", "body", "multipart" or "" when there was no envelope
    int rejectedWith = 0; // the errorCode of a refused envelope, 0 when accepted
};

// The API under "/api/" of a TestServer: checks the envelope of every call (signature, pack,
// timestamp within a window), then answers it with a scripted reply for its path, else its
// handler, else errorCode 404. Uploads (multipart endpoints) carry no envelope; their image part
// is checked instead. Handlers run on the server's thread.
//
// Refusals answer HTTP 200 with an error envelope: 4001 bad signature, 4002 pack does not open,
// 4003 bad timestamp, 4004 bad upload form, 4005 fields other than pack and signature; a method
// other than the endpoint's (ApiEndpoints) answers HTTP 405 with 4006, before anything else.
//
// The record holds the newest calls within the server's record limits.
class ApiServer {
public:
    static constexpr int badSignature = 4001;
    static constexpr int badPack = 4002;
    static constexpr int badTimestamp = 4003;
    static constexpr int badUpload = 4004;
    static constexpr int badFields = 4005;
    static constexpr int badMethod = 4006;
    // Size of a TooLarge reply: above the app's default largest reply of 4 MiB.
    static constexpr std::size_t tooLargeBytes = 5 * 1024 * 1024;

    // Installs the API on the server; the key pair is api_private.pem of keysDir.
    static std::unique_ptr<ApiServer> attach(
        TestServer& server, const std::filesystem::path& keysDir, std::string* error = nullptr);
    ~ApiServer();

    void handle(std::string path, ApiHandler handler);
    // The handler installed for the path, or none: for samples that extend an earlier one.
    ApiHandler handler(const std::string& path) const;
    // An upload endpoint: multipart POST with one file part under `field`.
    void handleUpload(std::string path, std::string field, ApiHandler handler);

    // Answers every later call of the path this way, after its envelope was checked.
    void script(std::string path, ApiReply reply);
    // How the handlers' replies go out: encrypted for every path (the run's choice) or for one
    // path (over the run's), and held back for one path. Scripted replies keep their own.
    void setEncryption(ApiReply::Encryption encryption);
    void setEncryption(std::string path, ApiReply::Encryption encryption);
    void setDelay(std::string path, std::chrono::milliseconds delay);
    // Breaks every later reply of the path this way, scripted ones too, after its envelope was
    // checked.
    void setFault(std::string path, ApiFault fault);
    // Drops the scripts, encryption choices, delays and faults.
    void clearScripts();

    std::vector<ApiRecord> records() const;
    std::vector<ApiRecord> recordsTo(std::string_view path) const;
    void clearRecords();

    // Accepted distance of `timestamp` from the server's clock (default 300 s).
    void setTimestampWindow(std::chrono::seconds window);

    const apicrypto::PrivateKey& key() const;
    // The server the API is installed on, for routes beside the API (such as uploaded files).
    TestServer& server() const;

    // Where the samples installed after this call keep what their clients change, and read it
    // back from at their install (see StateFolder); none (the default): they start from the
    // sample data and forget it all when the server stops.
    void setStateFolder(std::shared_ptr<const StateFolder> folder);
    std::shared_ptr<const StateFolder> stateFolder() const;

    struct State;

private:
    explicit ApiServer(std::shared_ptr<State> state);
    std::shared_ptr<State> m_state;
};

}
