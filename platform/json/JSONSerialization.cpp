#include "platform/json/JSONSerialization.h"

#include "platform/json/JSONInternal.h"

#include <charconv>
#include <cmath>

namespace detail {

class JSONTextWriter {
public:
    explicit JSONTextWriter(const JSONWritingOptions& options)
        : m_pretty(options.prettyPrinted)
    { }

    std::optional<std::string> write(const JSON& value)
    {
        if (!writeValue(value, 0))
            return std::nullopt;
        return std::move(m_out);
    }

private:
    using Repr = JSON::Repr;

    bool writeValue(const JSON& value, std::size_t depth)
    {
        switch (value.m_repr) {
        case Repr::Null:
            m_out += "null";
            return true;
        case Repr::Bool:
            m_out += value.m_scalar.boolean ? "true" : "false";
            return true;
        case Repr::Int:
            return writeNumber(value.m_scalar.integer);
        case Repr::UInt:
            return writeNumber(value.m_scalar.unsignedInteger);
        case Repr::Double:
            if (!std::isfinite(value.m_scalar.real))
                return false;
            return writeNumber(value.m_scalar.real);
        case Repr::String:
            return writeString(*value.storedString());
        case Repr::Array:
            return writeArray(*value.storedElements(), depth + 1);
        case Repr::Object:
            return writeObject(*value.storedMembers(), depth + 1);
        }
        return false;
    }

    template<class T> bool writeNumber(T number)
    {
        char buffer[32];
        auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), number);
        if (error != std::errc())
            return false;
        m_out.append(buffer, end);
        return true;
    }

    bool writeArray(const std::vector<JSON>& elements, std::size_t depth)
    {
        if (depth > JSON::maxDepth)
            return false;
        m_out += '[';
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (i > 0)
                m_out += ',';
            newLine(depth);
            if (!writeValue(elements[i], depth))
                return false;
        }
        if (!elements.empty())
            newLine(depth - 1);
        m_out += ']';
        return true;
    }

    bool writeObject(const std::vector<JSON::Member>& members, std::size_t depth)
    {
        if (depth > JSON::maxDepth)
            return false;
        m_out += '{';
        for (std::size_t i = 0; i < members.size(); ++i) {
            if (i > 0)
                m_out += ',';
            newLine(depth);
            if (!writeString(members[i].first))
                return false;
            m_out += m_pretty ? " : " : ":";
            if (!writeValue(members[i].second, depth))
                return false;
        }
        if (!members.empty())
            newLine(depth - 1);
        m_out += '}';
        return true;
    }

    void newLine(std::size_t depth)
    {
        if (!m_pretty)
            return;
        m_out += '\n';
        m_out.append(depth * 2, ' ');
    }

    bool writeString(std::string_view text)
    {
        static constexpr char hex[] = "0123456789abcdef";
        m_out += '"';
        std::size_t runStart = 0;
        std::size_t i = 0;
        while (i < text.size()) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c >= 0x80) {
                std::size_t length = utf8SequenceLength(text, i);
                if (length == 0)
                    return false;
                i += length;
                continue;
            }
            if (c >= 0x20 && c != '"' && c != '\\') {
                ++i;
                continue;
            }
            m_out.append(text.substr(runStart, i - runStart));
            switch (c) {
            case '"':
                m_out += "\\\"";
                break;
            case '\\':
                m_out += "\\\\";
                break;
            case '\b':
                m_out += "\\b";
                break;
            case '\f':
                m_out += "\\f";
                break;
            case '\n':
                m_out += "\\n";
                break;
            case '\r':
                m_out += "\\r";
                break;
            case '\t':
                m_out += "\\t";
                break;
            default:
                m_out += "\\u00";
                m_out += hex[c >> 4];
                m_out += hex[c & 0xF];
                break;
            }
            ++i;
            runStart = i;
        }
        m_out.append(text.substr(runStart));
        m_out += '"';
        return true;
    }

    bool m_pretty;
    std::string m_out;
};

}

namespace JSONSerialization {

std::optional<JSON> jsonObject(const Data& data, bool fragmentsAllowed)
{
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    auto value = detail::readJSON(text);
    if (!value)
        return std::nullopt;
    if (!fragmentsAllowed && value->type() != JSON::Type::Array && value->type() != JSON::Type::Object)
        return std::nullopt;
    return value;
}

std::optional<std::string> string(const JSON& value, bool sortedKeys, bool fragmentsAllowed)
{
    return string(value,
        JSONWritingOptions {
            .sortedKeys = sortedKeys, .fragmentsAllowed = fragmentsAllowed, .prettyPrinted = false });
}

std::optional<std::string> string(const JSON& value, const JSONWritingOptions& options)
{
    if (!options.fragmentsAllowed && value.type() != JSON::Type::Array && value.type() != JSON::Type::Object)
        return std::nullopt;
    return detail::JSONTextWriter(options).write(value);
}

}
