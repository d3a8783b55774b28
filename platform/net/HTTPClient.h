#pragma once

#include "platform/net/HTTPRequest.h"
#include "platform/net/HTTPResponse.h"
#include "platform/net/MultipartFormData.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace detail {
class TransferWorker;
}

// A request in flight. Dropping the handle does not cancel the request.
class HTTPTask {
public:
    HTTPTask(std::weak_ptr<detail::TransferWorker> worker, std::uint64_t id);

    // Stops the transfer; its completion then gets HTTPError::Code::Cancelled. Does nothing once
    // the reply has been handed to the main queue. Thread-safe.
    void cancel();

private:
    std::weak_ptr<detail::TransferWorker> m_worker;
    std::uint64_t m_id;
};

// The HTTP client: transfers run on one worker thread of the client; every completion runs
// on the main queue, exactly once per request (unless the client is destroyed first, which
// drops the completions of unfinished requests). Replies are delivered whatever their status:
// there is no status validation and no retry. Redirects are followed within http and https, but
// never from https to http.
//
// Connections are kept alive and reused for later requests to the same server. A request reaches
// the server at most once: when a reused connection dies before any reply, it fails with
// ConnectionLost rather than going out again on a fresh connection.
//
// TLS is always verified, peer and host name, against the trusted CA file: the one set with
// setTrustedCAFile(), else the information key TrustedCAFile of the main bundle, else the
// system's store. Settings apply to requests sent after the change.
class HTTPClient {
public:
    using Completion = std::function<void(HTTPResponse)>;
    // Sees each request as it is handed to the transfers, on the sending thread.
    using SendObserver = std::function<void(const HTTPRequest&)>;

    static HTTPClient& shared();

    HTTPClient();
    ~HTTPClient();
    HTTPClient(const HTTPClient&) = delete;
    HTTPClient& operator=(const HTTPClient&) = delete;

    std::shared_ptr<HTTPTask> send(HTTPRequest request, Completion completion);
    // POST of a multipart form; the content type comes from the form. The reply is raw
    // (EmptyBodyRule::Accept): an empty body is no failure, it just gives no body. A reply body
    // past maxReplyBytes fails with TooLarge.
    std::shared_ptr<HTTPTask> upload(std::string url, HTTPHeaders headers, const MultipartFormData& form,
        Completion completion, double timeout = 60,
        std::size_t maxReplyBytes = HTTPRequest::defaultMaxBodySize);

    // Path of a PEM file of trusted certificate authorities; empty goes back to the default.
    void setTrustedCAFile(std::string path);
    // DNS-over-HTTPS resolver for every later transfer; empty turns it off.
    void setDoHURL(std::string url);
    // The CA file in use (see above); empty for the system's store. Other transfers of the
    // platform (the media cache) verify against the same one.
    std::string trustedCAFile() const;

    // Requests sent whose reply has not been handed to the main queue yet (tests wait for none
    // before the next test, so that no request of one reaches the server during another).
    std::size_t requestsUnderWay() const;

    // For tests: requests sent without waiting for each other reach a server on connections of
    // their own, in whatever order the machine's load gives them; the order in which they were
    // sent is the caller's own. The observer sees every later request before any of it goes
    // out; an empty function removes it.
    void setSendObserver(SendObserver observer);

private:
    mutable std::mutex m_mutex;
    std::string m_trustedCAFile;
    std::string m_dohURL;
    SendObserver m_sendObserver;
    std::shared_ptr<detail::TransferWorker> m_worker;
};
