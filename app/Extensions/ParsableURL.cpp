#include "app/Extensions/ParsableURL.h"

#include <cctype>
#include <string_view>

bool parsesAsURL(std::string_view text)
{
    if (text.empty())
        return false;
    constexpr std::string_view forbidden = "\"<>\\^`{|}";
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c <= 0x20 || c >= 0x7F || forbidden.find(static_cast<char>(c)) != std::string_view::npos)
            return false;
        if (c == '%') {
            if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1]))
                || !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
                return false;
        }
    }
    return true;
}
