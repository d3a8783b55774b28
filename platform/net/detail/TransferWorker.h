#pragma once

#include "platform/net/HTTPRequest.h"
#include "platform/net/HTTPResponse.h"

#include <atomic>
#include <cstdint>
#include <curl/curl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace detail {

// What the client's settings were when a request was sent.
struct TransferSettings {
    std::string trustedCAFile; // empty: the system's store
    std::string dohURL; // empty: the system's resolver
};

// One thread driving all transfers of a client through a curl multi handle. Requests and
// cancellations are handed over under a lock; results go to the main queue.
class TransferWorker {
public:
    using Completion = std::function<void(HTTPResponse)>;

    TransferWorker();
    ~TransferWorker(); // stops; completions of unfinished transfers are dropped
    TransferWorker(const TransferWorker&) = delete;
    TransferWorker& operator=(const TransferWorker&) = delete;

    std::uint64_t submit(HTTPRequest request, TransferSettings settings, Completion completion);
    void cancel(std::uint64_t id);
    // Submitted transfers whose result has not been handed to the main queue yet.
    std::size_t underWay() const { return m_underWay.load(); }

private:
    struct Transfer;

    void run();
    void start(std::unique_ptr<Transfer> transfer);
    void finish(std::uint64_t id, HTTPResponse response);
    void finishWithResult(std::uint64_t id, CURLcode result);
    void expireOverdueTransfers();
    int pollTimeoutMs() const;

    CURLM* m_multi = nullptr;
    std::thread m_thread;

    std::mutex m_mutex;
    bool m_stopping = false;
    std::uint64_t m_nextId = 1;
    std::vector<std::unique_ptr<Transfer>> m_incoming;
    std::vector<std::uint64_t> m_cancelled;

    // Worker thread only.
    std::unordered_map<std::uint64_t, std::unique_ptr<Transfer>> m_active;
    std::atomic<std::size_t> m_underWay { 0 };
};

}
