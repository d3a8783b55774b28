#include "app/Core/Helpers/ColorHex.h"

#include "platform/text/TextBoundaries.h"
#include "platform/ui/UIGraphics.h"

#include <string>
#include <vector>

namespace {

// Decodes one UTF-8 code point at `i`; ill-formed bytes count as one unit that is not a space.
char32_t codePointAt(std::string_view text, std::size_t i, std::size_t& length)
{
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    std::size_t need = lead < 0x80 ? 1
        : (lead >> 5) == 0x6       ? 2
        : (lead >> 4) == 0xE       ? 3
        : (lead >> 3) == 0x1E      ? 4
                                   : 0;
    if (need == 0 || i + need > text.size()) {
        length = 1;
        return 0xFFFD;
    }
    char32_t cp = need == 1 ? lead : lead & (0x7F >> need);
    for (std::size_t k = 1; k < need; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            length = 1;
            return 0xFFFD;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    length = need;
    return cp;
}

// Unicode white space and line breaks (the separators, tab to carriage return and NEL).
bool isWhiteSpaceOrNewline(char32_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680
        || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F
        || c == 0x3000;
}

std::string_view trimmed(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t length = 1;
        if (!isWhiteSpaceOrNewline(codePointAt(text, start, length)))
            break;
        start += length;
    }
    // The end of the last character that is not a space.
    std::size_t end = start;
    for (std::size_t i = start; i < text.size();) {
        std::size_t length = 1;
        bool space = isWhiteSpaceOrNewline(codePointAt(text, i, length));
        i += length;
        if (!space)
            end = i;
    }
    return text.substr(start, end - start);
}

// One left-to-right pass, as a plain text replacement does.
std::string removingAll(std::string_view text, std::string_view needle)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, needle.size()) == needle) {
            i += needle.size();
            continue;
        }
        out += text[i++];
    }
    return out;
}

// A signed base-16 integer over the whole text; none when empty or anything is not a digit.
// At most 7 digits reach here, so the value always fits.
std::optional<std::int64_t> parseHex(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 15)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9' ? c - '0'
            : c >= 'a' && c <= 'f'       ? c - 'a' + 10
            : c >= 'A' && c <= 'F'       ? c - 'A' + 10
                                         : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return negative ? -value : value;
}

}

UIColor colorWithHex(std::string_view hex, CGFloat alpha)
{
    std::string_view text = trimmed(hex);
    if (text.empty())
        return UIColor();

    std::string digits = removingAll(removingAll(text, "#"), "0x");
    // Characters as the reader sees them, not bytes.
    std::vector<std::size_t> boundaries = TextBoundaries::graphemeBoundaries(digits);
    std::size_t count = boundaries.size() - 1;
    if (count > 8)
        return UIColor();

    std::string_view rgb = digits;
    if (count == 8) {
        std::size_t pairEnd = boundaries[2];
        alpha = static_cast<CGFloat>(parseHex(rgb.substr(0, pairEnd)).value_or(0)) / 255.0;
        rgb.remove_prefix(pairEnd);
    }
    return colorWithRGBValue(parseHex(rgb).value_or(0), alpha);
}

UIColor colorWithRGBValue(std::int64_t value, CGFloat alpha)
{
    auto channel = [value](int shift) { return static_cast<CGFloat>((value >> shift) & 0xFF) / 255.0; };
    return UIColor(channel(16), channel(8), channel(0), alpha);
}

UIColor colorWithARGBValue(std::int64_t value)
{
    CGFloat alpha = value < 0x1000000 ? 1.0 : static_cast<CGFloat>((value >> 24) & 0xFF) / 255.0;
    return colorWithRGBValue(value, alpha);
}

std::optional<UIImage> imageWithColor(const UIColor& color, CGSize size)
{
    UIGraphicsImageRendererFormat format;
    format.scale = 1;
    UIImage image = UIGraphicsImageRenderer(size, format).image([&](CGContext& context) {
        context.setFillColor(color);
        context.fill(CGRect { { 0, 0 }, size });
    });
    if (!image.hasBitmap())
        return std::nullopt;
    return image;
}

UIImage onePixelImage(const UIColor& color)
{
    return imageWithColor(color, { 1, 1 }).value_or(UIImage());
}
