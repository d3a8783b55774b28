#include "platform/net/detail/TransferWorker.h"

#include "platform/crypto/OpenSSLLibrary.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/net/AbsoluteURL.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>

namespace detail {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double defaultTimeout = 60;
constexpr long maxRedirects = 10;

std::once_flag curlInitOnce;

HTTPError::Code errorCodeFor(CURLcode result)
{
    switch (result) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return HTTPError::Code::InvalidURL;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return HTTPError::Code::CannotFindHost;
    case CURLE_COULDNT_CONNECT:
        return HTTPError::Code::CannotConnect;
    case CURLE_FILESIZE_EXCEEDED:
        return HTTPError::Code::TooLarge;
    case CURLE_OPERATION_TIMEDOUT:
        return HTTPError::Code::TimedOut;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CLIENTCERT:
        return HTTPError::Code::SecureConnectionFailed;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return HTTPError::Code::ConnectionLost;
    default:
        return HTTPError::Code::Other;
    }
}

}

struct TransferWorker::Transfer {
    std::uint64_t id = 0;
    HTTPRequest request;
    TransferSettings settings;
    Completion completion;

    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;
    Data received;
    HTTPHeaders replyHeaders;
    Clock::time_point deadline;
    // Set by the callbacks when they stop the transfer, to tell why.
    std::optional<HTTPError::Code> stoppedFor;
    // A request goes out once per hop: after the first, only a reply head (a redirect) lets the
    // next one go.
    bool sent = false;
    bool headSinceSent = false;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    Transfer() = default;
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;
    ~Transfer()
    {
        if (easy)
            curl_easy_cleanup(easy);
        if (headerList)
            curl_slist_free_all(headerList);
    }

    static size_t onBody(char* bytes, size_t size, size_t count, void* context)
    {
        auto* self = static_cast<Transfer*>(context);
        size_t length = size * count;
        // Counted after decompression, so a small compressed reply cannot grow past the limit.
        if (length > self->request.maxBodySize - std::min(self->request.maxBodySize, self->received.size())) {
            self->stoppedFor = HTTPError::Code::TooLarge;
            return 0;
        }
        self->received.insert(self->received.end(), bytes, bytes + length);
        return length;
    }

    static size_t onHeader(char* bytes, size_t size, size_t count, void* context)
    {
        auto* self = static_cast<Transfer*>(context);
        switch (addReplyHeadLine(self->replyHeaders, std::string_view(bytes, size * count))) {
        case ReplyHeadLine::StatusLine:
            self->headSinceSent = true;
            break;
        case ReplyHeadLine::TooLarge:
            self->stoppedFor = HTTPError::Code::TooLarge;
            return 0;
        case ReplyHeadLine::Field:
        case ReplyHeadLine::Ignored:
            break;
        }
        return size * count;
    }

    // Runs before each request goes out on a connection. curl sends a request again on a fresh
    // connection when a reused one dies before any reply; the server may have acted on it, so the
    // request fails instead (a redirect is preceded by its reply head).
    static int onPrerequest(void* context, char*, char*, int, int)
    {
        auto* self = static_cast<Transfer*>(context);
        if (self->sent && !self->headSinceSent) {
            self->stoppedFor = HTTPError::Code::ConnectionLost;
            return CURL_PREREQFUNC_ABORT;
        }
        self->sent = true;
        self->headSinceSent = false;
        return CURL_PREREQFUNC_OK;
    }

    // Builds the curl handle; false when the URL is not usable.
    bool configure()
    {
        if (!isAbsoluteURL(request.url, { "http", "https" }))
            return false;
        easy = curl_easy_init();
        if (!easy)
            return false;

        double seconds
            = std::isfinite(request.timeout) && request.timeout > 0 ? request.timeout : defaultTimeout;
        auto limitMs = std::max<long long>(1, std::llround(std::min(seconds, 1e7) * 1000));
        deadline = Clock::now() + std::chrono::milliseconds(limitMs);

        curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
        curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
        // Once on https, a redirect may not take the request (and its headers) to plain http.
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, isSecure() ? "https" : "http,https");
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, maxRedirects);
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limitMs));
        curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
            static_cast<curl_off_t>(
                std::min<std::size_t>(request.maxBodySize, std::numeric_limits<curl_off_t>::max())));
        // Compressed replies are unpacked, as the platform does.
        curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");

        // Never relaxed: the peer's chain and the host name are always checked.
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!settings.trustedCAFile.empty())
            curl_easy_setopt(easy, CURLOPT_CAINFO, settings.trustedCAFile.c_str());
        if (!settings.dohURL.empty())
            curl_easy_setopt(easy, CURLOPT_DOH_URL, settings.dohURL.c_str());

        switch (request.method) {
        case HTTPMethod::GET:
            curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
            break;
        case HTTPMethod::HEAD:
            curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
            break;
        case HTTPMethod::POST:
            setBody();
            break;
        case HTTPMethod::DELETE:
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, "DELETE");
            if (!request.body.empty())
                setBody();
            break;
        }

        for (const auto& [name, value] : request.headers) {
            // "Name;" is curl's way of sending a field with an empty value.
            std::string line = value.empty() ? name + ";" : name + ": " + value;
            headerList = curl_slist_append(headerList, line.c_str());
        }
        // Only what the caller asked for: no waiting for "100 Continue" and no default form type.
        if (!headerValueIgnoringCase(request.headers, "Expect"))
            headerList = curl_slist_append(headerList, "Expect:");
        if (!headerValueIgnoringCase(request.headers, "Content-Type"))
            headerList = curl_slist_append(headerList, "Content-Type:");
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList);

        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &Transfer::onPrerequest);
        curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
        return true;
    }

    bool isSecure() const
    {
        return request.url.size() >= 6
            && std::equal(request.url.begin(), request.url.begin() + 6,
                "https:", [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    }

    void setBody()
    {
        static const char empty[] = "";
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        // A null pointer would make curl read the body from stdin.
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS,
            request.body.empty() ? empty : reinterpret_cast<const char*>(request.body.data()));
    }

    // The reply head as far as it arrived.
    HTTPResponse partialResponse()
    {
        HTTPResponse response;
        long status = 0;
        if (easy && curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status > 0) {
            response.statusCode = static_cast<int>(status);
            response.headers = std::move(replyHeaders);
        }
        char* url = nullptr;
        if (easy && curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url) == CURLE_OK && url)
            response.url = url;
        return response;
    }

    HTTPResponse completedResponse()
    {
        HTTPResponse response = partialResponse();
        if (!received.empty()) {
            response.body = std::move(received);
            return response;
        }
        if (request.emptyBody == EmptyBodyRule::Accept)
            return response;
        int status = response.statusCode.value_or(0);
        if (request.method == HTTPMethod::HEAD || status == 204 || status == 205)
            response.body = Data();
        else
            response.error = HTTPError { HTTPError::Code::EmptyBody, "the reply has no body" };
        return response;
    }
};

TransferWorker::TransferWorker()
{
    std::call_once(curlInitOnce, [] {
        OpenSSLLibrary::initialize();
        curl_global_init(CURL_GLOBAL_DEFAULT);
    });
    m_multi = curl_multi_init();
    m_thread = std::thread([this] { run(); });
}

TransferWorker::~TransferWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    if (m_multi)
        curl_multi_wakeup(m_multi);
    if (m_thread.joinable())
        m_thread.join();
    for (auto& [id, transfer] : m_active)
        curl_multi_remove_handle(m_multi, transfer->easy);
    m_active.clear();
    m_incoming.clear();
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

std::uint64_t TransferWorker::submit(HTTPRequest request, TransferSettings settings, Completion completion)
{
    auto transfer = std::make_unique<Transfer>();
    transfer->request = std::move(request);
    transfer->settings = std::move(settings);
    transfer->completion = std::move(completion);
    std::uint64_t id;
    {
        std::lock_guard lock(m_mutex);
        id = m_nextId++;
        transfer->id = id;
        // Counted before the worker can see it, so the count never dips below zero.
        ++m_underWay;
        m_incoming.push_back(std::move(transfer));
    }
    curl_multi_wakeup(m_multi);
    return id;
}

void TransferWorker::cancel(std::uint64_t id)
{
    {
        std::lock_guard lock(m_mutex);
        m_cancelled.push_back(id);
    }
    curl_multi_wakeup(m_multi);
}

void TransferWorker::run()
{
    if (!m_multi)
        return;
    while (true) {
        std::vector<std::unique_ptr<Transfer>> incoming;
        std::vector<std::uint64_t> cancelled;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
            incoming.swap(m_incoming);
            cancelled.swap(m_cancelled);
        }
        for (auto& transfer : incoming)
            start(std::move(transfer));
        for (std::uint64_t id : cancelled) {
            HTTPResponse response;
            response.error = HTTPError { HTTPError::Code::Cancelled, "cancelled" };
            finish(id, std::move(response));
        }

        int running = 0;
        curl_multi_perform(m_multi, &running);
        std::vector<std::pair<std::uint64_t, CURLcode>> done;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            Transfer* transfer = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
            if (transfer)
                done.emplace_back(transfer->id, message->data.result);
        }
        for (auto [id, result] : done)
            finishWithResult(id, result);
        expireOverdueTransfers();

        curl_multi_poll(m_multi, nullptr, 0, pollTimeoutMs(), nullptr);
    }
}

void TransferWorker::start(std::unique_ptr<Transfer> transfer)
{
    if (!transfer->configure()) {
        HTTPResponse response;
        response.error
            = HTTPError { HTTPError::Code::InvalidURL, "not an http or https URL: " + transfer->request.url };
        --m_underWay;
        DispatchQueue::main().async(
            [completion = std::move(transfer->completion), response = std::move(response)]() mutable {
                completion(std::move(response));
            });
        return;
    }
    if (curl_multi_add_handle(m_multi, transfer->easy) != CURLM_OK) {
        HTTPResponse response;
        response.error = HTTPError { HTTPError::Code::Other, "the transfer could not be started" };
        --m_underWay;
        DispatchQueue::main().async(
            [completion = std::move(transfer->completion), response = std::move(response)]() mutable {
                completion(std::move(response));
            });
        return;
    }
    std::uint64_t id = transfer->id;
    m_active.emplace(id, std::move(transfer));
}

void TransferWorker::finish(std::uint64_t id, HTTPResponse response)
{
    auto it = m_active.find(id);
    if (it == m_active.end())
        return;
    std::unique_ptr<Transfer> transfer = std::move(it->second);
    m_active.erase(it);
    curl_multi_remove_handle(m_multi, transfer->easy);
    // Down before the hand-over: once the completion has run, the request no longer counts.
    --m_underWay;
    DispatchQueue::main().async(
        [completion = std::move(transfer->completion), response = std::move(response)]() mutable {
            if (completion)
                completion(std::move(response));
        });
}

void TransferWorker::finishWithResult(std::uint64_t id, CURLcode result)
{
    auto it = m_active.find(id);
    if (it == m_active.end())
        return;
    Transfer& transfer = *it->second;
    if (result == CURLE_OK)
        return finish(id, transfer.completedResponse());
    HTTPResponse response = transfer.partialResponse();
    std::string message = transfer.errorBuffer[0] ? transfer.errorBuffer : curl_easy_strerror(result);
    HTTPError::Code code = transfer.stoppedFor.value_or(errorCodeFor(result));
    // The URL was checked before the start, so an unsupported scheme came with a redirect.
    if (result == CURLE_UNSUPPORTED_PROTOCOL)
        code = HTTPError::Code::InsecureRedirect;
    response.error = HTTPError { code, std::move(message) };
    finish(id, std::move(response));
}

void TransferWorker::expireOverdueTransfers()
{
    // curl keeps the same deadline; this one also covers what happens outside its transfer.
    Clock::time_point now = Clock::now();
    std::vector<std::uint64_t> expired;
    for (const auto& [id, transfer] : m_active) {
        if (now >= transfer->deadline)
            expired.push_back(id);
    }
    for (std::uint64_t id : expired) {
        HTTPResponse response = m_active[id]->partialResponse();
        response.error = HTTPError { HTTPError::Code::TimedOut, "the request timed out" };
        finish(id, std::move(response));
    }
}

int TransferWorker::pollTimeoutMs() const
{
    // Wake in time for the earliest deadline; curl shortens the wait for its own timers.
    Clock::duration wait = std::chrono::seconds(10);
    Clock::time_point now = Clock::now();
    for (const auto& [id, transfer] : m_active)
        wait = std::min(wait, transfer->deadline - now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wait).count() + 1;
    return static_cast<int>(std::clamp<long long>(ms, 1, 10000));
}

}
