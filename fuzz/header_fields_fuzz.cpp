// Feeds arbitrary header fields (as a server's reply would give them to the player) to the filter
// that runs before any request, and checks that nothing it keeps could split a request.

#include "platform/net/HTTPHeaders.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Names and values alternate, each ended by a unit separator (0x1F).
HTTPHeaders fieldsOf(std::string_view text)
{
    HTTPHeaders fields;
    std::string name;
    bool haveName = false;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\x1f')
            continue;
        std::string part(text.substr(start, i - start));
        start = i + 1;
        if (!haveName) {
            name = std::move(part);
            haveName = true;
        } else {
            fields.emplace_back(std::move(name), std::move(part));
            haveName = false;
        }
    }
    return fields;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    HTTPHeaders fields = fieldsOf(std::string_view(reinterpret_cast<const char*>(data), size));
    HTTPHeaders kept = safeHeaderFields(fields);
    check(kept.size() <= fields.size());
    size_t next = 0;
    for (const auto& [name, value] : kept) {
        check(isHTTPToken(name) && isSafeHeaderValue(value));
        for (char c : name)
            check(c > ' ' && c < 0x7F && c != ':');
        check(value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
        // Kept fields are the given ones, in their order.
        while (next < fields.size() && fields[next] != std::pair(name, value))
            ++next;
        check(next < fields.size());
        ++next;
    }
    return 0;
}
