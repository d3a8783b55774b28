#pragma once

#include "platform/net/HTTPClient.h"
#include "tools/testserver/ApiServer.h"

#include <memory>
#include <string_view>
#include <vector>

namespace zvtest {

// The order in which a client sent its requests, for reading the server's records of them in that
// order. Requests sent without waiting for each other reach the server on connections of their
// own, and the order they arrive in is the machine's load's, not the app's: a test of the order the
// app asks in reads it here. One at a time per client: it watches from its making to its end.
class SentOrder {
public:
    explicit SentOrder(HTTPClient& client = HTTPClient::shared());
    ~SentOrder();
    SentOrder(const SentOrder&) = delete;
    SentOrder& operator=(const SentOrder&) = delete;

    // The server's records of the requests sent since, oldest sent first. A request the server has
    // no record of (not under its API, not in yet) has none here; neither has a record of a
    // request that was sent before, or by another client.
    std::vector<testserver::ApiRecord> records(const testserver::ApiServer& api) const;
    // The same, of one path.
    std::vector<testserver::ApiRecord> recordsTo(const testserver::ApiServer& api, std::string_view path) const;

    struct Sent;

private:
    HTTPClient& m_client;
    // Shared with the client's observer, which may still be running on another thread while this
    // goes.
    std::shared_ptr<Sent> m_sent;
};

}
