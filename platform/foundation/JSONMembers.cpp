#include "platform/foundation/JSONMembers.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

class Scanner {
public:
    Scanner(std::string_view text, int maxDepth)
        : m_text(text)
        , m_maxDepth(maxDepth)
    { }

    void skipSpace()
    {
        while (m_at < m_text.size() && isSpace(m_text[m_at]))
            ++m_at;
    }
    bool atEnd() const { return m_at >= m_text.size(); }
    char peek() const { return m_text[m_at]; }
    std::size_t position() const { return m_at; }
    void advance() { ++m_at; }
    std::string_view slice(std::size_t from) const { return m_text.substr(from, m_at - from); }

    // Past the closing quote of the string that starts here; false when it never closes.
    bool skipString()
    {
        ++m_at; // the opening quote
        while (m_at < m_text.size()) {
            char c = m_text[m_at++];
            if (c == '\\') {
                if (m_at >= m_text.size())
                    return false;
                ++m_at;
            } else if (c == '"') {
                return true;
            } else if (c == '\n') {
                return false; // a raw line break: the string was cut
            }
        }
        return false;
    }

    // Past the value that starts here, nested objects and arrays included; false when it breaks
    // off, its brackets do not match, or it nests too deep.
    bool skipValue()
    {
        if (atEnd())
            return false;
        char first = peek();
        if (first == '"')
            return skipString();
        if (first != '{' && first != '[') {
            std::size_t start = m_at;
            while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != ','
                && m_text[m_at] != '}' && m_text[m_at] != ']' && m_text[m_at] != '"' && m_text[m_at] != '{'
                && m_text[m_at] != '[')
                ++m_at;
            return m_at > start;
        }
        std::vector<char> closers;
        while (m_at < m_text.size()) {
            char c = m_text[m_at];
            if (c == '"') {
                if (!skipString())
                    return false;
                continue;
            }
            ++m_at;
            if (c == '{' || c == '[') {
                if (static_cast<int>(closers.size()) >= m_maxDepth)
                    return false;
                closers.push_back(c == '{' ? '}' : ']');
            } else if (c == '}' || c == ']') {
                if (closers.empty() || closers.back() != c)
                    return false;
                closers.pop_back();
                if (closers.empty())
                    return true;
            }
        }
        return false;
    }

private:
    std::string_view m_text;
    int m_maxDepth;
    std::size_t m_at = 0;
};

}

std::optional<JSONRawObject> splitJSONObject(std::string_view text, int maxDepth)
{
    Scanner scanner(text, maxDepth);
    scanner.skipSpace();
    if (scanner.atEnd() || scanner.peek() != '{')
        return std::nullopt;
    scanner.advance();
    JSONRawObject object;
    scanner.skipSpace();
    if (!scanner.atEnd() && scanner.peek() == '}') {
        object.complete = true;
        return object;
    }
    while (true) {
        scanner.skipSpace();
        if (scanner.atEnd() || scanner.peek() != '"')
            return object;
        std::size_t nameStart = scanner.position();
        if (!scanner.skipString())
            return object;
        std::string_view name = scanner.slice(nameStart);
        scanner.skipSpace();
        if (scanner.atEnd() || scanner.peek() != ':')
            return object;
        scanner.advance();
        scanner.skipSpace();
        std::size_t valueStart = scanner.position();
        if (!scanner.skipValue()) {
            object.broken = JSONRawMember { name, text.substr(valueStart) };
            return object;
        }
        object.members.push_back({ name, scanner.slice(valueStart) });
        scanner.skipSpace();
        if (scanner.atEnd())
            return object;
        if (scanner.peek() == ',') {
            scanner.advance();
            continue;
        }
        if (scanner.peek() == '}') {
            object.complete = true;
            return object;
        }
        return object;
    }
}

namespace {

// The decoded text of a JSON string; none when it is no good JSON string.
std::optional<std::string> decodedString(std::string_view raw)
{
    nlohmann::json value = nlohmann::json::parse(raw.begin(), raw.end(), nullptr, false);
    if (!value.is_string())
        return std::nullopt;
    return value.get<std::string>();
}

}

std::optional<JSONRawObject> salvageStoredContainer(
    std::string_view text, std::string_view format, int version, std::string_view container)
{
    std::optional<JSONRawObject> top = splitJSONObject(text);
    if (!top)
        return std::nullopt;
    bool formatGood = false;
    bool versionSeen = false;
    bool versionGood = false;
    std::optional<std::string_view> containerText;
    std::vector<JSONRawMember> members = top->members;
    if (top->broken)
        members.push_back(*top->broken);
    for (const JSONRawMember& member : members) {
        std::optional<std::string> name = decodedString(member.name);
        if (!name)
            continue;
        if (*name == "format") {
            std::optional<std::string> value = decodedString(member.value);
            formatGood = value && *value == format;
        } else if (*name == "version") {
            nlohmann::json value
                = nlohmann::json::parse(member.value.begin(), member.value.end(), nullptr, false);
            versionSeen = true;
            versionGood = value.is_number_integer() && value.get<std::int64_t>() == version;
        } else if (*name == container) {
            containerText = member.value;
        }
    }
    // A version that is gone with the end of a cut file is no sign of another format.
    if (!formatGood || (versionSeen && !versionGood) || (!versionSeen && top->complete) || !containerText)
        return std::nullopt;
    std::optional<JSONRawObject> contents = splitJSONObject(*containerText);
    if (contents && !top->complete)
        contents->complete = false;
    return contents;
}

std::string readableMemberName(std::string_view rawName)
{
    auto printable = [](std::string_view text) {
        return std::all_of(
            text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x20; });
    };
    if (std::optional<std::string> name = decodedString(rawName);
        name && name->size() <= 80 && printable(*name))
        return *name;
    if (rawName.size() >= 2 && rawName.front() == '"' && rawName.back() == '"')
        rawName = rawName.substr(1, rawName.size() - 2);
    std::string readable;
    for (char c : rawName.substr(0, 80))
        readable += c >= 0x20 && c < 0x7F ? c : '?';
    return readable;
}
