#pragma once

#include <map>
#include <string>

// An error as the platform reports it: a domain, a code and text details.
struct NSError {
    std::string domain;
    long code = 0;
    std::map<std::string, std::string> userInfo;

    // The "NSLocalizedDescription" entry when present, else the platform's generic sentence.
    std::string localizedDescription() const;

    bool operator==(const NSError&) const = default;
};
