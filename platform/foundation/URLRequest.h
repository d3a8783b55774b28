#pragma once

#include <string>
#include <utility>
#include <vector>

// How a load may use cached replies; pages here always follow the protocol's own rules.
enum class URLRequestCachePolicy {
    useProtocolCachePolicy,
};

// What a load or a connection is started with: the address, how long it may wait without
// progress, and header fields added to the opening request. The one request type of the platform:
// web views and WebSocket connections both take it.
struct URLRequest {
    URLRequest() = default;
    URLRequest(std::string url, double timeoutInterval = 60)
        : url(std::move(url))
        , timeoutInterval(timeoutInterval)
    { }
    URLRequest(std::string url, URLRequestCachePolicy cachePolicy, double timeoutInterval)
        : url(std::move(url))
        , cachePolicy(cachePolicy)
        , timeoutInterval(timeoutInterval)
    { }

    std::string url;
    URLRequestCachePolicy cachePolicy = URLRequestCachePolicy::useProtocolCachePolicy;
    // Seconds; the platform's default is 60.
    double timeoutInterval = 60;
    std::vector<std::pair<std::string, std::string>> allHTTPHeaderFields;
};
