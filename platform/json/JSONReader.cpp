#include "platform/json/JSONInternal.h"

#include <array>
#include <charconv>
#include <cstring>

namespace detail {

namespace {

// Bytes that stand for themselves inside a string: ASCII except controls, '"' and '\\'.
constexpr auto kPlainASCII = [] {
    std::array<bool, 256> table {};
    for (int c = 0x20; c < 0x80; ++c)
        table[c] = c != '"' && c != '\\';
    return table;
}();

}

// A strict JSON reader (RFC 8259 grammar; UTF-8 checked; a leading byte order
// mark skipped) that builds values directly. Children wait on two flat scratch
// stacks until their container closes, so the only allocations are those of
// the tree itself. Nesting is limited to JSON::maxDepth so that neither this
// recursion nor anything later (writing, comparing, freeing) can exhaust the
// stack on hostile input.
class JSONTextReader {
public:
    explicit JSONTextReader(std::string_view text)
        : m_text(text)
    { }

    std::optional<JSON> read()
    {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
            m_pos = 3;
        JSON value;
        if (!readValue(value, 0))
            return std::nullopt;
        skipSpace();
        if (m_pos != m_text.size())
            return std::nullopt;
        return value;
    }

private:
    void skipSpace()
    {
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos];
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                return;
            ++m_pos;
        }
    }

    bool consume(std::string_view word)
    {
        if (m_text.compare(m_pos, word.size(), word) != 0)
            return false;
        m_pos += word.size();
        return true;
    }

    bool readValue(JSON& out, std::size_t depth)
    {
        skipSpace();
        if (m_pos >= m_text.size())
            return false;
        switch (m_text[m_pos]) {
        case '{':
            return readObject(out, depth + 1);
        case '[':
            return readArray(out, depth + 1);
        case '"': {
            std::string text;
            if (!readString(text))
                return false;
            out = JSON(std::move(text));
            return true;
        }
        case 't':
            out = JSON(true);
            return consume("true");
        case 'f':
            out = JSON(false);
            return consume("false");
        case 'n':
            out = JSON();
            return consume("null");
        default:
            return readNumber(out);
        }
    }

    bool readArray(JSON& out, std::size_t depth)
    {
        if (depth > JSON::maxDepth)
            return false;
        ++m_pos; // '['
        std::size_t first = m_elements.size();
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == ']') {
            ++m_pos;
        } else {
            while (true) {
                JSON element;
                if (!readValue(element, depth))
                    return false;
                m_elements.push_back(std::move(element));
                skipSpace();
                if (m_pos >= m_text.size())
                    return false;
                char c = m_text[m_pos++];
                if (c == ']')
                    break;
                if (c != ',')
                    return false;
            }
        }
        std::vector<JSON> elements(
            std::make_move_iterator(m_elements.begin() + first), std::make_move_iterator(m_elements.end()));
        m_elements.resize(first);
        out = JSON::fromElements(std::move(elements));
        return true;
    }

    bool readObject(JSON& out, std::size_t depth)
    {
        if (depth > JSON::maxDepth)
            return false;
        ++m_pos; // '{'
        std::size_t first = m_members.size();
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == '}') {
            ++m_pos;
        } else {
            while (true) {
                skipSpace();
                if (m_pos >= m_text.size() || m_text[m_pos] != '"')
                    return false;
                std::string key;
                if (!readString(key))
                    return false;
                skipSpace();
                if (m_pos >= m_text.size() || m_text[m_pos] != ':')
                    return false;
                ++m_pos;
                JSON value;
                if (!readValue(value, depth))
                    return false;
                m_members.emplace_back(std::move(key), std::move(value));
                skipSpace();
                if (m_pos >= m_text.size())
                    return false;
                char c = m_text[m_pos++];
                if (c == '}')
                    break;
                if (c != ',')
                    return false;
            }
        }
        out = JSON::fromMembers(std::span(m_members).subspan(first));
        m_members.resize(first);
        return true;
    }

    static int hexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    bool readHex4(unsigned& out)
    {
        if (m_text.size() - m_pos < 4)
            return false;
        out = 0;
        for (int i = 0; i < 4; ++i) {
            int digit = hexValue(m_text[m_pos++]);
            if (digit < 0)
                return false;
            out = out * 16 + static_cast<unsigned>(digit);
        }
        return true;
    }

    static void appendUTF8(std::string& out, unsigned codePoint)
    {
        if (codePoint < 0x80) {
            out += static_cast<char>(codePoint);
        } else if (codePoint < 0x800) {
            out += static_cast<char>(0xC0 | (codePoint >> 6));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            out += static_cast<char>(0xE0 | (codePoint >> 12));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (codePoint >> 18));
            out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
    }

    // \uXXXX, with a surrogate pair joined into one code point; a lone or
    // reversed surrogate is not text and is refused.
    bool readUnicodeEscape(std::string& out)
    {
        unsigned unit;
        if (!readHex4(unit))
            return false;
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            return false;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            unsigned low;
            if (!consume("\\u") || !readHex4(low) || low < 0xDC00 || low > 0xDFFF)
                return false;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUTF8(out, unit);
        return true;
    }

    bool readString(std::string& out)
    {
        ++m_pos; // '"'
        std::size_t runStart = m_pos;
        while (m_pos < m_text.size()) {
            // Plain ASCII, the bulk of most texts, is skipped through in one tight loop.
            while (m_pos < m_text.size() && kPlainASCII[static_cast<unsigned char>(m_text[m_pos])])
                ++m_pos;
            if (m_pos >= m_text.size())
                return false;
            unsigned char c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                out.append(m_text.substr(runStart, m_pos - runStart));
                ++m_pos;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c >= 0x80) {
                std::size_t length = utf8SequenceLength(m_text, m_pos);
                if (length == 0)
                    return false;
                m_pos += length;
                continue;
            }
            out.append(m_text.substr(runStart, m_pos - runStart));
            if (++m_pos >= m_text.size())
                return false;
            char escape = m_text[m_pos++];
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                out += escape;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
                if (!readUnicodeEscape(out))
                    return false;
                break;
            default:
                return false;
            }
            runStart = m_pos;
        }
        return false;
    }

    bool isDigitAt(std::size_t pos) const
    {
        return pos < m_text.size() && m_text[pos] >= '0' && m_text[pos] <= '9';
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)? ; integers that fit in 64
    // bits stay exact, others become the nearest double; a magnitude beyond
    // the range of a double is refused, one too small for it reads as zero.
    bool readNumber(JSON& out)
    {
        std::size_t start = m_pos;
        bool negative = false;
        if (m_pos < m_text.size() && m_text[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        if (!isDigitAt(m_pos))
            return false;
        std::size_t integerStart = m_pos;
        if (m_text[m_pos] == '0') {
            ++m_pos;
        } else {
            while (isDigitAt(m_pos))
                ++m_pos;
        }
        std::size_t integerDigits = m_pos - integerStart;
        bool integral = true;
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            integral = false;
            ++m_pos;
            if (!isDigitAt(m_pos))
                return false;
            while (isDigitAt(m_pos))
                ++m_pos;
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            integral = false;
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-'))
                ++m_pos;
            if (!isDigitAt(m_pos))
                return false;
            while (isDigitAt(m_pos))
                ++m_pos;
        }

        const char* first = m_text.data() + start;
        const char* last = m_text.data() + m_pos;
        if (integral) {
            if (integerDigits <= 18 || negative) {
                std::int64_t value;
                if (std::from_chars(first, last, value).ec == std::errc()) {
                    // "-0" keeps its sign, as a double, so that it writes back the same.
                    out = negative && value == 0 ? JSON(-0.0) : JSON(value);
                    return true;
                }
            } else {
                std::uint64_t value;
                if (std::from_chars(first, last, value).ec == std::errc()) {
                    out = JSON(value);
                    return true;
                }
            }
        }
        double value;
        auto result = std::from_chars(first, last, value);
        if (result.ec == std::errc::result_out_of_range) {
            if (!isTiny(std::string_view(first, static_cast<std::size_t>(last - first))))
                return false;
            value = negative ? -0.0 : 0.0;
        } else if (result.ec != std::errc() || result.ptr != last) {
            return false;
        }
        out = JSON(value);
        return true;
    }

    // Whether a number that no double can hold is below the smallest one
    // rather than above the largest: its decimal exponent is negative.
    static bool isTiny(std::string_view number)
    {
        std::size_t i = number.front() == '-' ? 1 : 0;
        long long position = 0; // decimal exponent of the first significant digit, before 'e'
        bool seenDigit = false;
        bool afterPoint = false;
        long long integerDigits = 0;
        long long zerosAfterPoint = 0;
        for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
            char c = number[i];
            if (c == '.') {
                afterPoint = true;
                continue;
            }
            if (!seenDigit && c == '0') {
                if (afterPoint)
                    ++zerosAfterPoint;
                continue;
            }
            if (!seenDigit)
                seenDigit = true;
            if (!afterPoint)
                ++integerDigits;
        }
        if (!seenDigit)
            return true; // zero itself
        position = integerDigits > 0 ? integerDigits - 1 : -(zerosAfterPoint + 1);
        long long exponent = 0;
        if (i < number.size()) {
            ++i;
            bool negativeExponent = false;
            if (number[i] == '+' || number[i] == '-')
                negativeExponent = number[i++] == '-';
            for (; i < number.size(); ++i) {
                if (exponent < 100000000)
                    exponent = exponent * 10 + (number[i] - '0');
            }
            if (negativeExponent)
                exponent = -exponent;
        }
        return position + exponent < 0;
    }

    std::string_view m_text;
    std::size_t m_pos { 0 };
    std::vector<JSON> m_elements;
    std::vector<JSON::Member> m_members;
};

std::optional<JSON> readJSON(std::string_view text)
{
    try {
        return JSONTextReader(text).read();
    } catch (...) {
        // Only memory exhaustion can get here; to the caller it is unreadable input.
        return std::nullopt;
    }
}

}
