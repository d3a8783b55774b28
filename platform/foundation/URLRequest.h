#pragma once

#include <string>
#include <utility>
#include <vector>

// How a load may use cached replies; pages here always follow the protocol's own rules.
enum class URLRequestCachePolicy {
    useProtocolCachePolicy,
};

// What a web view is asked to load or a connection is opened with: the address, how long it may
// wait without progress, and header fields added to the request. One type for both, as the
// program holds both a web view and a WebSocket.
struct URLRequest {
    URLRequest() = default;
    URLRequest(std::string url,
        URLRequestCachePolicy cachePolicy = URLRequestCachePolicy::useProtocolCachePolicy,
        double timeoutInterval = 60)
        : url(std::move(url))
        , cachePolicy(cachePolicy)
        , timeoutInterval(timeoutInterval)
    { }
    URLRequest(std::string url, double timeoutInterval)
        : url(std::move(url))
        , timeoutInterval(timeoutInterval)
    { }

    std::string url;
    URLRequestCachePolicy cachePolicy = URLRequestCachePolicy::useProtocolCachePolicy;
    // Seconds; the platform's default is 60.
    double timeoutInterval = 60;
    std::vector<std::pair<std::string, std::string>> allHTTPHeaderFields;
};
