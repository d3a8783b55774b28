#include "tests/app/support/SentOrder.h"

#include <mutex>
#include <string>

namespace zvtest {

namespace {

// What a server sees of a request that tells it apart: path and query as sent, and the body. The
// API's packs are encrypted with random padding, so no two calls look alike.
std::string keyOf(std::string_view target, std::string_view body)
{
    std::string key(target);
    key += '\n';
    key += body;
    return key;
}

// The path and query of an absolute URL, as they go out on the request line.
std::string_view targetOf(std::string_view url)
{
    std::size_t scheme = url.find("://");
    std::size_t start = url.find_first_of("/?", scheme == std::string_view::npos ? 0 : scheme + 3);
    if (start == std::string_view::npos)
        return "/";
    std::string_view target = url.substr(start);
    return target.substr(0, target.find('#'));
}

}

struct SentOrder::Sent {
    std::mutex mutex;
    std::vector<std::string> keys;
};

SentOrder::SentOrder(HTTPClient& client)
    : m_client(client)
    , m_sent(std::make_shared<Sent>())
{
    m_client.setSendObserver([sent = m_sent](const HTTPRequest& request) {
        std::string key = keyOf(targetOf(request.url),
            std::string_view(reinterpret_cast<const char*>(request.body.data()), request.body.size()));
        std::lock_guard lock(sent->mutex);
        sent->keys.push_back(std::move(key));
    });
}

SentOrder::~SentOrder()
{
    m_client.setSendObserver({});
}

std::vector<testserver::ApiRecord> SentOrder::records(const testserver::ApiServer& api) const
{
    std::vector<testserver::ApiRecord> arrived = api.records();
    std::vector<bool> taken(arrived.size(), false);
    std::vector<testserver::ApiRecord> ordered;
    std::lock_guard lock(m_sent->mutex);
    for (const std::string& key : m_sent->keys) {
        for (std::size_t i = 0; i < arrived.size(); ++i) {
            if (taken[i] || keyOf(arrived[i].request.target, arrived[i].request.body) != key)
                continue;
            taken[i] = true;
            ordered.push_back(arrived[i]);
            break;
        }
    }
    return ordered;
}

std::vector<testserver::ApiRecord> SentOrder::recordsTo(
    const testserver::ApiServer& api, std::string_view path) const
{
    std::vector<testserver::ApiRecord> ordered = records(api);
    std::erase_if(ordered, [&](const testserver::ApiRecord& record) { return record.path != path; });
    return ordered;
}

}
