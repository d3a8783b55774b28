#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where an http or https address leads: its scheme and host in lower case and its port, the
// scheme's own when the address names none. Two addresses of the same origin reach the same
// server the same way, whatever their paths, queries or user names say.
struct URLOrigin {
    std::string scheme;
    std::string host;
    int port = 0;

    // None unless the text is an absolute http or https URL with a host (as the HTTP client
    // parses it).
    static std::optional<URLOrigin> of(std::string_view url);

    bool operator==(const URLOrigin&) const = default;
};
