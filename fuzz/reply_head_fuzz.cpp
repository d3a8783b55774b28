// Feeds arbitrary reply heads, line by line as the transfer receives them, to the parser of reply
// header fields, and checks that what it keeps is bounded and well formed.

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

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    HTTPHeaders fields;
    while (!text.empty()) {
        // Lines end after their line feed, as they are handed over.
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        text.remove_prefix(line.size());

        HTTPHeaders before = fields;
        ReplyHeadLine kind = addReplyHeadLine(fields, line);
        if (kind == ReplyHeadLine::StatusLine)
            check(fields.empty());
        if (kind == ReplyHeadLine::Ignored || kind == ReplyHeadLine::TooLarge)
            check(fields == before);
        check(fields.size() <= maxReplyHeadFields);
        size_t bytes = 0;
        for (const auto& [name, value] : fields) {
            check(!name.empty() && name.find(':') == std::string::npos);
            check(name.front() != ' ' && name.front() != '\t');
            check(value.empty() || (value.back() != '\r' && value.back() != '\n' && value.back() != ' '));
            bytes += name.size() + value.size();
        }
        check(bytes <= maxReplyHeadBytes);
    }
    return 0;
}
