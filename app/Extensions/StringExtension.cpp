#include "app/Extensions/StringExtension.h"

#include "platform/foundation/Log.h"
#include "platform/text/TextBoundaries.h"
#include "platform/text/UTF16.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <variant>

namespace StringExtension {

namespace {

// Bytes of the characters [from, to), after the bounds were checked against the count.
std::string characters(std::string_view text, const std::vector<std::size_t>& boundaries, int from, int to)
{
    std::size_t start = boundaries[static_cast<std::size_t>(from)];
    std::size_t end = boundaries[static_cast<std::size_t>(to)];
    return std::string(text.substr(start, end - start));
}

int characterCount(const std::vector<std::size_t>& boundaries)
{
    return static_cast<int>(boundaries.size()) - 1;
}

CGSize measured(std::string_view text, const UIFont& font, CGFloat maxWidth)
{
    TextLayout layout(StyledText::plain(std::string(text)), font, UIColor::black());
    layout.setWidth(maxWidth);
    CGSize size = layout.size();
    return { std::ceil(std::min(size.width, std::max<CGFloat>(maxWidth, 0))), std::ceil(size.height) };
}

// Adds the attributes over the first occurrence of the word in the styled text.
void highlightFirst(
    NSMutableAttributedString& styled, const std::string& word, const NSAttributes& attributes)
{
    if (word.empty())
        return;
    const std::string& text = styled.string();
    std::size_t at = text.find(word);
    if (at == std::string::npos)
        return;
    std::size_t start = utf16OffsetFromUtf8(text, at);
    styled.addAttributes(attributes, NSMakeRange(start, utf16OffsetFromUtf8(text, at + word.size()) - start));
}

bool isHex(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

unsigned hexValue(char16_t c)
{
    if (c <= u'9')
        return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

// The contents of one double-quoted string of the property-list text format, which must be the
// whole input. Either the units it stands for or why it is rejected.
std::variant<std::u16string, std::string> parseQuotedString(std::u16string_view in)
{
    if (in.size() < 2 || in.front() != u'"')
        return std::string("expected a quoted string");
    std::u16string out;
    std::size_t i = 1;
    while (i < in.size() && in[i] != u'"') {
        char16_t c = in[i++];
        if (c != u'\\') {
            out.push_back(c);
            continue;
        }
        if (i >= in.size())
            return std::string("unterminated escape");
        char16_t e = in[i++];
        switch (e) {
        case u'a':
            out.push_back(u'\a');
            break;
        case u'b':
            out.push_back(u'\b');
            break;
        case u'f':
            out.push_back(u'\f');
            break;
        case u'n':
            out.push_back(u'\n');
            break;
        case u'r':
            out.push_back(u'\r');
            break;
        case u't':
            out.push_back(u'\t');
            break;
        case u'v':
            out.push_back(u'\v');
            break;
        case u'"':
        case u'\\':
        case u'\'':
        case u'\n':
            out.push_back(e);
            break;
        case u'U': {
            unsigned value = 0;
            int digits = 0;
            while (digits < 4 && i < in.size() && isHex(in[i])) {
                value = value * 16 + hexValue(in[i++]);
                ++digits;
            }
            if (digits == 0)
                return std::string("\\U without hexadecimal digits at offset " + std::to_string(i));
            out.push_back(static_cast<char16_t>(value));
            break;
        }
        default:
            if (e >= u'0' && e <= u'7') {
                unsigned value = e - u'0';
                for (int digits = 1; digits < 3 && i < in.size() && in[i] >= u'0' && in[i] <= u'7'; ++digits)
                    value = value * 8 + (in[i++] - u'0');
                out.push_back(static_cast<char16_t>(value & 0xFF));
                break;
            }
            return std::string("unknown escape at offset " + std::to_string(i - 1));
        }
    }
    if (i >= in.size())
        return std::string("unterminated quoted string");
    if (i + 1 != in.size())
        return std::string("junk after the quoted string at offset " + std::to_string(i + 1));
    return out;
}

}

std::optional<std::string> substring(std::string_view text, int from, int to)
{
    auto boundaries = TextBoundaries::graphemeBoundaries(text);
    if (from < 0 || from >= to || to > characterCount(boundaries))
        return std::nullopt;
    return characters(text, boundaries, from, to);
}

std::optional<std::string> substring(std::string_view text, int from)
{
    auto boundaries = TextBoundaries::graphemeBoundaries(text);
    int count = characterCount(boundaries);
    if (from < 0 || from >= count)
        return std::nullopt;
    return characters(text, boundaries, from, count);
}

std::optional<std::string> prefix(std::string_view text, int to)
{
    auto boundaries = TextBoundaries::graphemeBoundaries(text);
    if (to < 1 || to > characterCount(boundaries))
        return std::nullopt;
    return characters(text, boundaries, 0, to);
}

CGFloat textWidth(std::string_view text, const UIFont& font, CGFloat maxWidth)
{
    return textSize(text, font, maxWidth).width;
}

CGFloat textHeight(std::string_view text, const UIFont& font, CGFloat maxWidth)
{
    return textSize(text, font, maxWidth).height;
}

CGSize textSize(std::string_view text, const UIFont& font, CGFloat maxWidth)
{
    if (text.empty())
        return {};
    return measured(text, font, maxWidth);
}

CGSize textSize(std::string_view text, const UIFont& font, int maxLines, CGFloat maxWidth)
{
    if (text.empty())
        return {};
    CGSize size = measured(text, font, maxWidth);
    CGFloat lineLimit = std::ceil(font.lineHeight() * std::max(maxLines, 0));
    size.height = std::min(size.height, lineLimit);
    return size;
}

NSMutableAttributedString attributedString(std::string_view text, const NSAttributes& attributes,
    const std::optional<std::string>& append, const std::optional<NSAttributes>& appendAttributes)
{
    NSMutableAttributedString styled(std::string(text), attributes);
    if (append && appendAttributes)
        styled.append(NSAttributedString(*append, *appendAttributes));
    return styled;
}

NSMutableAttributedString highlightedString(std::string_view text, const NSAttributes& attributes,
    const std::optional<std::string>& highlight, const std::optional<NSAttributes>& highlightAttributes)
{
    NSMutableAttributedString styled(std::string(text), attributes);
    if (highlight && highlightAttributes)
        highlightFirst(styled, *highlight, *highlightAttributes);
    return styled;
}

NSMutableAttributedString highlightedString(std::string_view text, const NSAttributes& attributes,
    const std::optional<std::vector<std::string>>& highlights,
    const std::optional<NSAttributes>& highlightAttributes)
{
    NSMutableAttributedString styled(std::string(text), attributes);
    if (!highlights || !highlightAttributes)
        return styled;
    for (const std::string& word : *highlights)
        highlightFirst(styled, word, *highlightAttributes);
    return styled;
}

std::vector<std::string> unicodeEscapedUnits(std::string_view text)
{
    std::vector<std::string> escapes;
    for (char16_t unit : utf8ToUtf16(text)) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\U%04x", static_cast<unsigned>(unit));
        escapes.emplace_back(buffer);
    }
    return escapes;
}

std::string encode(std::string_view text, Encode)
{
    std::string joined;
    for (const std::string& escape : unicodeEscapedUnits(text))
        joined += escape;
    return joined;
}

std::optional<std::string> decode(std::string_view text, Encode)
{
    std::u16string quoted = u"\"";
    std::u16string units = utf8ToUtf16(text);
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] == u'\\' && i + 1 < units.size() && units[i + 1] == u'u') {
            quoted += u"\\U";
            ++i;
        } else {
            quoted.push_back(units[i]);
        }
    }
    quoted.push_back(u'"');

    auto parsed = parseQuotedString(quoted);
    if (auto* error = std::get_if<std::string>(&parsed)) {
        Log::write("decode: not a quoted string: " + *error);
        return std::nullopt;
    }
    return utf16ToUtf8(std::get<std::u16string>(parsed));
}

}
