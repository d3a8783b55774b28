#include "platform/ui/web/HTMLText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The value of a decimal (or hexadecimal) digit; -1 for anything else.
int digitValue(char d, bool hex)
{
    if (d >= '0' && d <= '9')
        return d - '0';
    if (hex && lower(d) >= 'a' && lower(d) <= 'f')
        return lower(d) - 'a' + 10;
    return -1;
}

void appendUTF8(std::string& out, char32_t cp)
{
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = replacementCharacter;
    else if (cp < 0x20 && cp != '\n' && cp != '\t')
        cp = ' ';
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Cuts valid UTF-8 to at most `bytes`, not splitting a character.
void cutUTF8(std::string& text, std::size_t bytes)
{
    if (text.size() <= bytes)
        return;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
        --bytes;
    text.resize(bytes);
}

// Bytes of the sequence a lead byte starts; 0 for a byte that cannot start one.
std::size_t utf8SequenceLength(std::uint8_t lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

// Well-formed UTF-8 of the text, each bad sequence replaced by U+FFFD (overlong forms, surrogates
// and values past U+10FFFF included), so the drawing layer only ever sees valid text.
std::string repairedUTF8(std::string_view in)
{
    std::string out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        auto lead = static_cast<std::uint8_t>(in[i]);
        std::size_t length = utf8SequenceLength(lead);
        if (length == 0 || i + length > in.size()) {
            appendUTF8(out, replacementCharacter);
            ++i;
            continue;
        }
        char32_t cp = length == 1 ? lead : lead & (0xFF >> (length + 1));
        bool ok = true;
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<std::uint8_t>(in[i + k]);
            if ((next & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        static constexpr std::array<char32_t, 5> smallest = { 0, 0, 0x80, 0x800, 0x10000 };
        if (!ok || cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            appendUTF8(out, replacementCharacter);
            ++i;
            continue;
        }
        out.append(in.substr(i, length));
        i += length;
    }
    return out;
}

// The few named references pages use for text; the others stay as written.
constexpr std::array<std::pair<std::string_view, char32_t>, 16> namedReferences = { {
    { "amp", '&' },
    { "lt", '<' },
    { "gt", '>' },
    { "quot", '"' },
    { "apos", '\'' },
    { "nbsp", ' ' },
    { "copy", 0xA9 },
    { "reg", 0xAE },
    { "middot", 0xB7 },
    { "laquo", 0xAB },
    { "raquo", 0xBB },
    { "ndash", 0x2013 },
    { "mdash", 0x2014 },
    { "hellip", 0x2026 },
    { "ldquo", 0x201C },
    { "rdquo", 0x201D },
} };

// Elements that end a paragraph of text where they start or end.
bool breaksLine(std::string_view name)
{
    static constexpr std::array<std::string_view, 27> blocks = { "address", "article", "aside", "blockquote",
        "br", "dd", "div", "dl", "dt", "footer", "form", "h1", "h2", "h3", "h4", "h5", "h6", "header", "hr",
        "li", "main", "nav", "ol", "p", "pre", "section", "table" };
    if (name == "tr" || name == "ul" || name == "body")
        return true;
    return std::find(blocks.begin(), blocks.end(), name) != blocks.end();
}

// Elements whose content is not text to show.
bool skipsContent(std::string_view name)
{
    return name == "script" || name == "style" || name == "noscript" || name == "template";
}

class Extractor {
public:
    explicit Extractor(std::string_view html)
        : m_in(html.substr(0, HTMLTextExtractor::maxInputBytes))
    { }

    HTMLText run()
    {
        while (m_pos < m_in.size() && m_text.size() < HTMLTextExtractor::maxTextBytes) {
            if (m_in[m_pos] == '<' && markup())
                continue;
            character(m_text, m_textBlank);
        }
        while (!m_text.empty() && (m_text.back() == ' ' || m_text.back() == '\n'))
            m_text.pop_back();
        // Mending can triple the bytes: the limits hold for the result.
        HTMLText result;
        result.title = repairedUTF8(m_title);
        cutUTF8(result.title, HTMLTextExtractor::maxTitleBytes);
        result.text = repairedUTF8(m_text);
        cutUTF8(result.text, HTMLTextExtractor::maxTextBytes);
        return result;
    }

private:
    // One character of text (a reference decoded), blanks collapsed into `out`.
    void character(std::string& out, bool& lastBlank)
    {
        char c = m_in[m_pos];
        if (isBlank(c)) {
            ++m_pos;
            if (!lastBlank && !out.empty() && out.back() != '\n')
                out += ' ';
            lastBlank = true;
            return;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            // Control characters are not text to draw.
            ++m_pos;
            return;
        }
        lastBlank = false;
        if (c == '&') {
            reference(out);
            return;
        }
        out += c;
        ++m_pos;
    }

    void reference(std::string& out)
    {
        std::size_t start = m_pos + 1;
        std::size_t end = start;
        while (end < m_in.size() && end - start < 12 && (isAlnum(m_in[end]) || m_in[end] == '#'))
            ++end;
        std::string_view body = m_in.substr(start, end - start);
        bool terminated = end < m_in.size() && m_in[end] == ';';
        if (!body.empty() && body[0] == '#' && body.size() > 1) {
            bool hex = body[1] == 'x' || body[1] == 'X';
            std::string_view digits = body.substr(hex ? 2 : 1);
            char32_t value = 0;
            bool ok = !digits.empty() && digits.size() <= 8;
            for (char d : digits) {
                int v = digitValue(d, hex);
                if (v < 0) {
                    ok = false;
                    break;
                }
                value = value * (hex ? 16 : 10) + static_cast<char32_t>(v);
            }
            if (ok) {
                appendUTF8(out, value);
                m_pos = terminated ? end + 1 : end;
                return;
            }
        }
        for (const auto& [name, value] : namedReferences) {
            if (terminated && body == name) {
                appendUTF8(out, value);
                m_pos = end + 1;
                return;
            }
        }
        out += '&';
        ++m_pos;
    }

    void paragraphBreak()
    {
        while (!m_text.empty() && m_text.back() == ' ')
            m_text.pop_back();
        if (!m_text.empty() && m_text.back() != '\n')
            m_text += '\n';
        m_textBlank = true;
    }

    // Position of the first case-insensitive match of `needle` at or after `from`; npos if none.
    std::size_t findIgnoringCase(std::string_view needle, std::size_t from) const
    {
        if (needle.empty() || m_in.size() < needle.size())
            return std::string_view::npos;
        for (std::size_t i = from; i + needle.size() <= m_in.size(); ++i) {
            bool same = true;
            for (std::size_t k = 0; k < needle.size() && same; ++k)
                same = lower(m_in[i + k]) == needle[k];
            if (same)
                return i;
        }
        return std::string_view::npos;
    }

    // Skips past the next `terminator`, or to the end.
    void skipPast(std::string_view terminator)
    {
        std::size_t at = m_in.find(terminator, m_pos);
        m_pos = at == std::string_view::npos ? m_in.size() : at + terminator.size();
    }

    // At a '<': consumes a comment, declaration or tag and returns true; false when the '<' is
    // plain text.
    bool markup()
    {
        std::string_view rest = m_in.substr(m_pos);
        if (rest.starts_with("<!--")) {
            m_pos += 4;
            skipPast("-->");
            return true;
        }
        if (rest.starts_with("<!") || rest.starts_with("<?")) {
            skipPast(">");
            return true;
        }
        std::size_t p = m_pos + 1;
        bool closing = p < m_in.size() && m_in[p] == '/';
        if (closing)
            ++p;
        std::string name;
        while (p < m_in.size() && isAlnum(m_in[p]) && name.size() < 16)
            name += lower(m_in[p++]);
        if (name.empty() || !(name[0] >= 'a' && name[0] <= 'z'))
            return false;
        // Attributes, whose quoted values may hold '>'.
        char quote = 0;
        while (p < m_in.size()) {
            char c = m_in[p++];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        m_pos = p;
        if (breaksLine(name))
            paragraphBreak();
        if (closing)
            return true;
        if (name == "title") {
            titleContent();
        } else if (skipsContent(name)) {
            std::size_t end = findIgnoringCase("</" + name, m_pos);
            m_pos = end == std::string_view::npos ? m_in.size() : end;
        }
        return true;
    }

    void titleContent()
    {
        std::size_t end = findIgnoringCase("</title", m_pos);
        if (end == std::string_view::npos)
            end = m_in.size();
        // Only the first title counts; later ones are skipped the same way.
        bool keep = !m_sawTitle;
        m_sawTitle = true;
        std::string title;
        bool blank = true;
        while (m_pos < end) {
            if (title.size() >= HTMLTextExtractor::maxTitleBytes) {
                m_pos = end;
                break;
            }
            // A reference must not run past the end of the title.
            std::string_view saved = m_in;
            m_in = m_in.substr(0, end);
            character(title, blank);
            m_in = saved;
        }
        while (!title.empty() && title.back() == ' ')
            title.pop_back();
        if (keep)
            m_title = std::move(title);
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::string m_title;
    std::string m_text;
    bool m_textBlank = true;
    bool m_sawTitle = false;
};

}

HTMLText HTMLTextExtractor::extract(std::string_view html)
{
    return Extractor(html).run();
}

HTMLText HTMLTextExtractor::plainText(std::string_view text)
{
    text = text.substr(0, maxTextBytes);
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                continue;
            c = '\n';
        }
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t')
            continue;
        kept += c;
    }
    HTMLText result;
    result.text = repairedUTF8(kept);
    cutUTF8(result.text, maxTextBytes);
    return result;
}
