#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text from outside (a server's message, an id from a list) made fit for one line of the log:
// control characters become spaces and a text longer than `maxBytes` is cut before the UTF-8
// sequence that would not fit, with "…" after it. Header only.
inline std::string logText(std::string_view text, std::size_t maxBytes = 80)
{
    bool cut = text.size() > maxBytes;
    if (cut) {
        std::size_t end = maxBytes;
        // Back to the lead byte of the sequence that the limit splits.
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        text = text.substr(0, end);
    }
    std::string line;
    line.reserve(text.size() + 3);
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        line += byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
    if (cut)
        line += "…";
    return line;
}
