#pragma once

#include <string>
#include <utility>
#include <vector>

// What a connection is opened with: the address, the time the opening may take, and header
// fields added to the opening request.
struct URLRequest {
    URLRequest() = default;
    explicit URLRequest(std::string url, double timeoutInterval = 60)
        : url(std::move(url))
        , timeoutInterval(timeoutInterval)
    { }

    std::string url;
    double timeoutInterval = 60; // seconds
    std::vector<std::pair<std::string, std::string>> allHTTPHeaderFields;
};
