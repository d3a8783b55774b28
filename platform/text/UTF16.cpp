#include "platform/text/UTF16.h"

#include <algorithm>

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

// Decodes one character at index and moves past it. Ill-formed input gives U+FFFD and skips
// its maximal subpart, the way the Unicode standard recommends (and ICU does).
char32_t decodeNext(std::string_view text, std::size_t& index)
{
    auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    unsigned char lead = byte(index++);
    if (lead < 0x80)
        return lead;

    int trailing = 0;
    char32_t value = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        value = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        value = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return replacementCharacter;
    }
    for (int i = 0; i < trailing; ++i) {
        if (index >= text.size() || byte(index) < low || byte(index) > high)
            return replacementCharacter;
        value = (value << 6) | (byte(index++) & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return value;
}

std::size_t unitsOf(char32_t character)
{
    return character > 0xFFFF ? 2 : 1;
}

void appendUtf16(std::u16string& out, char32_t character)
{
    if (character > 0xFFFF) {
        character -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (character >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (character & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(character));
    }
}

void appendUtf8(std::string& out, char32_t character)
{
    if (character < 0x80) {
        out.push_back(static_cast<char>(character));
    } else if (character < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (character >> 6)));
        out.push_back(static_cast<char>(0x80 | (character & 0x3F)));
    } else if (character < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (character >> 12)));
        out.push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (character & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (character >> 18)));
        out.push_back(static_cast<char>(0x80 | ((character >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (character & 0x3F)));
    }
}

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}

std::u16string utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t index = 0;
    while (index < utf8.size())
        appendUtf16(out, decodeNext(utf8, index));
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char16_t unit = utf16[i];
        if (isHighSurrogate(unit) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1])) {
            appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(utf16[i + 1]) - 0xDC00));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendUtf8(out, replacementCharacter);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::size_t utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    std::size_t index = 0;
    while (index < utf8.size())
        units += unitsOf(decodeNext(utf8, index));
    return units;
}

std::size_t utf16OffsetFromUtf8(std::string_view utf8, std::size_t byteOffset)
{
    std::size_t units = 0;
    std::size_t index = 0;
    while (index < utf8.size()) {
        char32_t character = decodeNext(utf8, index);
        if (index > byteOffset)
            break;
        units += unitsOf(character);
    }
    return units;
}

std::size_t utf8OffsetFromUtf16(std::string_view utf8, std::size_t utf16Offset)
{
    std::size_t units = 0;
    std::size_t index = 0;
    while (index < utf8.size()) {
        std::size_t start = index;
        units += unitsOf(decodeNext(utf8, index));
        if (units > utf16Offset)
            return start;
    }
    return utf8.size();
}

std::string utf16Substring(std::string_view utf8, NSRange range)
{
    std::u16string units = utf8ToUtf16(utf8);
    std::size_t start = std::min(range.location, units.size());
    std::size_t length = std::min(range.length, units.size() - start);
    return utf16ToUtf8(std::u16string_view(units).substr(start, length));
}

namespace detail {

MappedUtf16 mapToUtf16(std::string_view utf8)
{
    MappedUtf16 mapped;
    mapped.units.reserve(utf8.size());
    mapped.byteOffsets.reserve(utf8.size() + 1);
    std::size_t index = 0;
    while (index < utf8.size()) {
        std::size_t start = index;
        char32_t character = decodeNext(utf8, index);
        appendUtf16(mapped.units, character);
        mapped.byteOffsets.resize(mapped.units.size(), start);
    }
    mapped.byteOffsets.push_back(utf8.size());
    return mapped;
}

}
