#include "platform/foundation/PropertyList.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view skipBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The leading integer of a text: blanks skipped, optional sign, decimal digits; saturates.
std::int64_t leadingInteger(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative ? std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1
                                         : std::uint64_t(std::numeric_limits<std::int64_t>::max());
    bool saturated = false;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        if (saturated)
            continue;
        unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            saturated = true;
            continue;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude == limit ? std::numeric_limits<std::int64_t>::min()
                                  : -static_cast<std::int64_t>(magnitude);
    return static_cast<std::int64_t>(magnitude);
}

// The leading decimal number of a text (no hexadecimal, no "inf"/"nan"); 0 when there is none.
double leadingDouble(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.'))
        return 0.0;
    double value = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = std::numeric_limits<double>::infinity();
    else if (result.ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

std::int64_t truncatedInteger(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::string shortestText(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}

PropertyList::PropertyList(const std::vector<std::string>& strings)
    : m_value(Array(strings.begin(), strings.end()))
{ }

bool PropertyList::boolValue() const
{
    if (auto* value = asBool())
        return *value;
    if (auto* value = asInteger())
        return *value != 0;
    if (auto* value = asDouble())
        return *value != 0.0;
    if (auto* value = asString()) {
        if (equalsIgnoringCase(*value, "true") || equalsIgnoringCase(*value, "yes"))
            return true;
        if (equalsIgnoringCase(*value, "false") || equalsIgnoringCase(*value, "no"))
            return false;
        return leadingInteger(*value) != 0;
    }
    return false;
}

std::int64_t PropertyList::integerValue() const
{
    if (auto* value = asInteger())
        return *value;
    if (auto* value = asBool())
        return *value ? 1 : 0;
    if (auto* value = asDouble())
        return truncatedInteger(*value);
    if (auto* value = asString())
        return leadingInteger(*value);
    return 0;
}

double PropertyList::doubleValue() const
{
    if (auto* value = asDouble())
        return *value;
    if (auto* value = asInteger())
        return static_cast<double>(*value);
    if (auto* value = asBool())
        return *value ? 1.0 : 0.0;
    if (auto* value = asString())
        return leadingDouble(*value);
    return 0.0;
}

std::optional<std::string> PropertyList::stringValue() const
{
    if (auto* value = asString())
        return *value;
    if (auto* value = asInteger())
        return std::to_string(*value);
    if (auto* value = asBool())
        return std::string(*value ? "1" : "0");
    if (auto* value = asDouble())
        return shortestText(*value);
    return std::nullopt;
}

std::optional<std::vector<std::string>> PropertyList::stringArrayValue() const
{
    auto* array = asArray();
    if (!array)
        return std::nullopt;
    std::vector<std::string> strings;
    strings.reserve(array->size());
    for (auto& element : *array) {
        auto* text = element.asString();
        if (!text)
            return std::nullopt;
        strings.push_back(*text);
    }
    return strings;
}

bool PropertyList::operator==(const PropertyList& other) const
{
    return m_value == other.m_value;
}
