#pragma once

#include <string>

// How a load may use cached replies; pages here always follow the protocol's own rules.
enum class URLRequestCachePolicy {
    useProtocolCachePolicy,
};

// What a web view is asked to load: the address and how long it may wait without progress.
struct URLRequest {
    std::string url;
    URLRequestCachePolicy cachePolicy = URLRequestCachePolicy::useProtocolCachePolicy;
    // Seconds; the platform's default is 60.
    double timeoutInterval = 60;
};
