#pragma once

#include "platform/foundation/Data.h"
#include "platform/net/HTTPHeaders.h"
#include "platform/net/HTTPResponse.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

typedef void CURL;
typedef void CURLM;

struct MCSFetchSettings {
    std::string trustedCAFile; // empty: the system's store
    double connectTimeout = 15; // seconds
    double idleTimeout = 20; // seconds without a byte before the transfer fails
};

struct MCSFetchRequest {
    std::string url;
    HTTPHeaders headers;
    std::optional<std::uint64_t> rangeStart; // sends "Range: bytes=<start>-[<end>]"
    std::optional<std::uint64_t> rangeEnd; // inclusive; only with a start
    std::uint64_t maxBytes = 0; // body bytes allowed; more fails the transfer
};

// The head of the final reply (after redirects).
struct MCSFetchHead {
    int status = 0;
    std::optional<std::uint64_t> contentLength;
    // From "Content-Range: bytes <first>-<last>/<total>"; total stays empty for "*".
    std::optional<std::uint64_t> rangeFirst;
    std::optional<std::uint64_t> rangeLast;
    std::optional<std::uint64_t> totalLength;
    std::string contentType;
    std::string finalURL;
};

// Receives a transfer as it arrives, on the fetching thread. Returning false ends it.
class MCSFetchSink {
public:
    virtual ~MCSFetchSink() = default;
    virtual bool receiveHead(const MCSFetchHead& head) = 0;
    // The body comes in small pieces, several for each read of the connection.
    virtual bool receiveData(const std::uint8_t* bytes, std::size_t size) = 0;
    // Called once the pieces of what the connection had ready are all received: a sink that
    // passes bytes on can send them now in one go instead of piece by piece.
    virtual bool receivedAllReady() { return true; }
};

struct MCSFetchResult {
    enum class Outcome {
        Completed, // the whole body arrived
        Stopped, // the sink ended it
        Cancelled,
        Failed,
    };
    Outcome outcome = Outcome::Failed;
    HTTPError::Code code = HTTPError::Code::Other; // for Failed
    std::string message; // for logs
    bool headSeen = false;

    bool completed() const { return outcome == Outcome::Completed; }
};

// Streams HTTP transfers to a sink with bounded size and waits, one at a time, on the caller's
// thread. TLS is always verified, and a redirect never leaves https for http (InsecureRedirect).
// Connections are kept for the next transfer of the same object.
class MCSDownloader {
public:
    explicit MCSDownloader(MCSFetchSettings settings);
    ~MCSDownloader();
    MCSDownloader(const MCSDownloader&) = delete;
    MCSDownloader& operator=(const MCSDownloader&) = delete;

    MCSFetchResult fetch(const MCSFetchRequest& request, MCSFetchSink& sink);

    // Thread-safe: ends the running transfer at once, and every later one, with Cancelled; a
    // pause ends too.
    void cancel();
    // Waits on the caller's thread (never the main one); false when cancelled meanwhile.
    bool pause(double seconds);
    bool isCancelled() const { return m_cancelled.load(); }

private:
    MCSFetchSettings m_settings;
    CURLM* m_multi = nullptr;
    CURL* m_easy = nullptr;
    std::atomic<bool> m_cancelled { false };
};

// A whole small body (playlists, keys) in memory.
struct MCSFetchedBody {
    MCSFetchResult result;
    MCSFetchHead head;
    Data body;
};
MCSFetchedBody fetchBody(MCSDownloader& downloader, const std::string& url, std::uint64_t maxBytes,
    const HTTPHeaders& headers = {});

// "bytes <first>-<last>/<total|*>"; none when malformed.
struct MCSContentRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    std::optional<std::uint64_t> total;
};
std::optional<MCSContentRange> parseContentRange(std::string_view value);
