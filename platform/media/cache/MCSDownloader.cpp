#include "platform/media/cache/MCSDownloader.h"

#include "platform/crypto/OpenSSLLibrary.h"
#include "platform/net/CurlSockets.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <curl/curl.h>
#include <mutex>
#include <thread>

namespace {

constexpr long maxRedirects = 10;

std::once_flag curlInitOnce;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty()
        && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

std::optional<std::uint64_t> parseNumber(std::string_view text)
{
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

long milliseconds(double seconds, double fallback)
{
    double value = std::isfinite(seconds) && seconds > 0 ? seconds : fallback;
    return static_cast<long>(std::llround(std::min(value, 86400.0) * 1000));
}

bool isHTTPS(std::string_view url)
{
    constexpr std::string_view scheme = "https://";
    if (url.size() < scheme.size())
        return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(url[i])) != scheme[i])
            return false;
    }
    return true;
}

HTTPError::Code errorCodeFor(CURLcode result)
{
    switch (result) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return HTTPError::Code::InvalidURL;
    case CURLE_COULDNT_RESOLVE_HOST:
        return HTTPError::Code::CannotFindHost;
    case CURLE_COULDNT_CONNECT:
        return HTTPError::Code::CannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
        return HTTPError::Code::TimedOut;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
        return HTTPError::Code::SecureConnectionFailed;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return HTTPError::Code::ConnectionLost;
    default:
        return HTTPError::Code::Other;
    }
}

// What one transfer collects on the fetching thread while curl runs it.
struct Transfer {
    const MCSFetchRequest* request = nullptr;
    MCSFetchSink* sink = nullptr;
    CURL* easy = nullptr;
    HTTPHeaders headers;
    bool headSent = false;
    bool stoppedBySink = false;
    bool dataSinceReady = false;
    bool tooLarge = false;
    std::uint64_t received = 0;

    MCSFetchHead head()
    {
        MCSFetchHead head;
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        head.status = static_cast<int>(status);
        char* effective = nullptr;
        if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
            head.finalURL = effective;
        if (auto length = headerValueIgnoringCase(headers, "Content-Length"))
            head.contentLength = parseNumber(trimmed(*length));
        if (auto range = headerValueIgnoringCase(headers, "Content-Range"); range && status == 206) {
            if (auto parsed = parseContentRange(*range)) {
                head.rangeFirst = parsed->first;
                head.rangeLast = parsed->last;
                head.totalLength = parsed->total;
            }
        }
        if (status == 200 && head.contentLength)
            head.totalLength = head.contentLength;
        head.contentType = headerValueIgnoringCase(headers, "Content-Type").value_or("");
        return head;
    }

    // False when the sink refused the head or the announced body is too large.
    bool sendHead()
    {
        if (headSent)
            return true;
        headSent = true;
        MCSFetchHead fetched = head();
        if (fetched.contentLength && *fetched.contentLength > request->maxBytes) {
            tooLarge = true;
            return false;
        }
        if (!sink->receiveHead(fetched)) {
            stoppedBySink = true;
            return false;
        }
        return true;
    }

    static size_t onBody(char* bytes, size_t size, size_t count, void* context)
    {
        auto* self = static_cast<Transfer*>(context);
        size_t total = size * count;
        if (!self->sendHead())
            return total == 0 ? 1 : 0; // any other count aborts the transfer
        self->received += total;
        if (self->received > self->request->maxBytes) {
            self->tooLarge = true;
            return 0;
        }
        if (!self->sink->receiveData(reinterpret_cast<const std::uint8_t*>(bytes), total)) {
            self->stoppedBySink = true;
            return 0;
        }
        self->dataSinceReady = true;
        return total;
    }

    static size_t onHeader(char* bytes, size_t size, size_t count, void* context)
    {
        auto* self = static_cast<Transfer*>(context);
        std::string_view line(bytes, size * count);
        if (line.starts_with("HTTP/")) {
            // A new reply (after a redirect or an interim reply) replaces the last one's fields.
            self->headers.clear();
            return size * count;
        }
        size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0 || self->headers.size() >= 200)
            return size * count;
        self->headers.emplace_back(
            std::string(line.substr(0, colon)), std::string(trimmed(line.substr(colon + 1))));
        return size * count;
    }
};

}

std::optional<MCSContentRange> parseContentRange(std::string_view value)
{
    value = trimmed(value);
    if (!value.starts_with("bytes "))
        return std::nullopt;
    value.remove_prefix(6);
    std::size_t dash = value.find('-');
    std::size_t slash = value.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || dash > slash)
        return std::nullopt;
    auto first = parseNumber(value.substr(0, dash));
    auto last = parseNumber(value.substr(dash + 1, slash - dash - 1));
    if (!first || !last || *last < *first)
        return std::nullopt;
    MCSContentRange range { *first, *last, std::nullopt };
    std::string_view total = value.substr(slash + 1);
    if (total != "*") {
        range.total = parseNumber(total);
        if (!range.total || *range.total <= *last)
            return std::nullopt;
    }
    return range;
}

MCSDownloader::MCSDownloader(MCSFetchSettings settings)
    : m_settings(std::move(settings))
{
    std::call_once(curlInitOnce, [] {
        OpenSSLLibrary::initialize();
        curl_global_init(CURL_GLOBAL_DEFAULT);
    });
    m_multi = curl_multi_init();
    m_easy = curl_easy_init();
}

MCSDownloader::~MCSDownloader()
{
    if (m_easy)
        curl_easy_cleanup(m_easy);
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

void MCSDownloader::cancel()
{
    m_cancelled = true;
    if (m_multi)
        curl_multi_wakeup(m_multi);
}

MCSFetchResult MCSDownloader::fetch(const MCSFetchRequest& request, MCSFetchSink& sink)
{
    MCSFetchResult result;
    if (m_cancelled) {
        result.outcome = MCSFetchResult::Outcome::Cancelled;
        return result;
    }
    if (!m_multi || !m_easy) {
        result.message = "the transfer could not be set up";
        return result;
    }

    Transfer transfer;
    transfer.request = &request;
    transfer.sink = &sink;
    transfer.easy = m_easy;

    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_reset(m_easy);
    curl_easy_setopt(m_easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // Once on https, a redirect may not take the media, its keys or the headers to plain http.
    bool secure = isHTTPS(request.url);
    curl_easy_setopt(m_easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(m_easy, CURLOPT_MAXREDIRS, maxRedirects);
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    openSocketsCloseOnExec(m_easy);
    curl_easy_setopt(m_easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT_MS, milliseconds(m_settings.connectTimeout, 15));
    // Under one byte a second for the idle time counts as a stalled transfer.
    curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(
        m_easy, CURLOPT_LOW_SPEED_TIME, std::max(1L, milliseconds(m_settings.idleTimeout, 20) / 1000));
    curl_easy_setopt(m_easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(m_easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m_settings.trustedCAFile.empty())
        curl_easy_setopt(m_easy, CURLOPT_CAINFO, m_settings.trustedCAFile.c_str());
    curl_easy_setopt(m_easy, CURLOPT_HTTPGET, 1L);
    // Media comes in large bodies: fewer, larger reads.
    curl_easy_setopt(m_easy, CURLOPT_BUFFERSIZE, 256L * 1024);

    curl_slist* headerList = nullptr;
    for (const auto& [name, value] : request.headers) {
        std::string line = value.empty() ? name + ";" : name + ": " + value;
        headerList = curl_slist_append(headerList, line.c_str());
    }
    curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, headerList);
    std::string range;
    if (request.rangeStart) {
        range = std::to_string(*request.rangeStart) + "-";
        if (request.rangeEnd)
            range += std::to_string(*request.rangeEnd);
        curl_easy_setopt(m_easy, CURLOPT_RANGE, range.c_str());
    }
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, &transfer);

    CURLcode code = CURLE_OK;
    bool cancelled = false;
    if (curl_multi_add_handle(m_multi, m_easy) != CURLM_OK) {
        curl_slist_free_all(headerList);
        result.message = "the transfer could not be started";
        return result;
    }
    bool done = false;
    while (!done) {
        int running = 0;
        if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        // curl has read what the connection had: the sink may pass it on now.
        if (transfer.dataSinceReady) {
            transfer.dataSinceReady = false;
            if (!sink.receivedAllReady()) {
                transfer.stoppedBySink = true;
                break;
            }
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == m_easy) {
                code = message->data.result;
                done = true;
            }
        }
        if (done)
            break;
        if (m_cancelled) {
            cancelled = true;
            break;
        }
        curl_multi_poll(m_multi, nullptr, 0, 1000, nullptr);
        if (m_cancelled) {
            cancelled = true;
            break;
        }
    }
    curl_multi_remove_handle(m_multi, m_easy);
    curl_slist_free_all(headerList);

    result.headSeen = transfer.headSent;
    if (cancelled) {
        result.outcome = MCSFetchResult::Outcome::Cancelled;
        return result;
    }
    if (code == CURLE_OK && !transfer.headSent) {
        // An empty body: the head still goes to the sink.
        if (!transfer.sendHead()) {
            result.headSeen = true;
            if (transfer.tooLarge) {
                result.message = "the reply is larger than allowed";
                return result;
            }
            result.outcome = MCSFetchResult::Outcome::Stopped;
            return result;
        }
        result.headSeen = true;
    }
    if (transfer.tooLarge) {
        result.message = "the reply is larger than " + std::to_string(request.maxBytes) + " bytes";
        return result;
    }
    if (transfer.stoppedBySink) {
        result.outcome = MCSFetchResult::Outcome::Stopped;
        return result;
    }
    if (code != CURLE_OK) {
        result.code = errorCodeFor(code);
        result.message = errorBuffer[0] ? errorBuffer : curl_easy_strerror(code);
        // The address was http or https to begin with, so a refused scheme came with a redirect;
        // the log says so rather than the transfer library's words for a missing protocol.
        if (code == CURLE_UNSUPPORTED_PROTOCOL) {
            result.code = HTTPError::Code::InsecureRedirect;
            result.message = secure ? "a redirect from https to http is refused"
                                    : "a redirect to an address that is not http or https is refused";
        }
        return result;
    }
    result.outcome = MCSFetchResult::Outcome::Completed;
    return result;
}

bool MCSDownloader::pause(double seconds)
{
    auto deadline = std::chrono::steady_clock::now()
        + std::chrono::milliseconds(milliseconds(std::max(seconds, 0.0), 0));
    while (!m_cancelled) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return true;
        if (!m_multi) {
            std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(50)));
            continue;
        }
        // No transfer is added, so only the time or cancel()'s wake-up ends the poll.
        curl_multi_poll(
            m_multi, nullptr, 0, static_cast<int>(std::min<long long>(left.count(), 1000)), nullptr);
    }
    return false;
}

namespace {

class BodySink : public MCSFetchSink {
public:
    bool receiveHead(const MCSFetchHead& fetched) override
    {
        head = fetched;
        return true;
    }
    bool receiveData(const std::uint8_t* bytes, std::size_t size) override
    {
        body.insert(body.end(), bytes, bytes + size);
        return true;
    }

    MCSFetchHead head;
    Data body;
};

}

MCSFetchedBody fetchBody(
    MCSDownloader& downloader, const std::string& url, std::uint64_t maxBytes, const HTTPHeaders& headers)
{
    MCSFetchRequest request;
    request.url = url;
    request.headers = headers;
    request.maxBytes = maxBytes;
    BodySink sink;
    MCSFetchedBody fetched;
    fetched.result = downloader.fetch(request, sink);
    fetched.head = std::move(sink.head);
    fetched.body = std::move(sink.body);
    return fetched;
}
