// The web view's reading of untrusted pages: title and text extraction from any bytes.
#include "platform/ui/web/HTMLText.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// Whether the text is well-formed UTF-8 without control characters other than line breaks and tabs.
bool isDrawableUTF8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if (lead < 0x20 && lead != '\n' && lead != '\t')
                return false;
            ++i;
            continue;
        }
        std::size_t length = (lead & 0xE0) == 0xC0 ? 2
            : (lead & 0xF0) == 0xE0                ? 3
            : (lead & 0xF8) == 0xF0                ? 4
                                                   : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (const HTMLText& page : { HTMLTextExtractor::extract(input), HTMLTextExtractor::plainText(input) }) {
        if (!isDrawableUTF8(page.title) || !isDrawableUTF8(page.text))
            __builtin_trap();
        if (page.title.size() > HTMLTextExtractor::maxTitleBytes
            || page.text.size() > HTMLTextExtractor::maxTextBytes)
            __builtin_trap();
    }
    return 0;
}
