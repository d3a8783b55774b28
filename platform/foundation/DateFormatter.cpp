#include "platform/foundation/DateFormatter.h"

#include <cmath>
#include <ctime>

namespace {

bool isField(char c)
{
    switch (c) {
    case 'y':
    case 'M':
    case 'd':
    case 'H':
    case 'h':
    case 'm':
    case 's':
    case 'S':
    case 'a':
        return true;
    default:
        return false;
    }
}

bool isNumericField(char c)
{
    return isField(c) && c != 'a';
}

std::string padded(long value, int width)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

}

DateFormatter::DateFormatter(std::string_view pattern, Zone zone)
    : m_pattern(pattern)
    , m_zone(zone)
{
    auto appendLiteral = [this](std::string_view text) {
        if (text.empty())
            return;
        if (m_tokens.empty() || m_tokens.back().field != 0)
            m_tokens.push_back(Token {});
        m_tokens.back().literal += text;
    };
    std::size_t i = 0;
    while (i < pattern.size()) {
        char c = pattern[i];
        if (c == '\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                appendLiteral("'");
                i += 2;
                continue;
            }
            std::size_t j = i + 1;
            std::string quoted;
            while (j < pattern.size()) {
                if (pattern[j] == '\'') {
                    if (j + 1 < pattern.size() && pattern[j + 1] == '\'') {
                        quoted += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                quoted += pattern[j++];
            }
            appendLiteral(quoted);
            i = j + 1;
            continue;
        }
        if (isField(c)) {
            std::size_t j = i;
            while (j < pattern.size() && pattern[j] == c)
                ++j;
            m_tokens.push_back(Token { c, static_cast<int>(j - i), {} });
            i = j;
            continue;
        }
        appendLiteral(pattern.substr(i, 1));
        ++i;
    }
}

std::string DateFormatter::stringFromDate(Date date) const
{
    double seconds = date.timeIntervalSince1970();
    // Beyond about year 9999 the calendar fields are meaningless here.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 253402300800.0)
        return {};
    double whole = std::floor(seconds);
    auto milliseconds = static_cast<int>(std::floor((seconds - whole) * 1000.0));
    if (milliseconds > 999)
        milliseconds = 999;
    std::time_t time = static_cast<std::time_t>(whole);
    std::tm fields {};
    if (m_zone == Zone::UTC ? !gmtime_r(&time, &fields) : !localtime_r(&time, &fields))
        return {};

    std::string out;
    for (auto& token : m_tokens) {
        int n = token.count;
        switch (token.field) {
        case 0:
            out += token.literal;
            break;
        case 'y': {
            long year = fields.tm_year + 1900L;
            out += n == 2 ? padded(year % 100, 2) : padded(year, n);
            break;
        }
        case 'M':
            out += padded(fields.tm_mon + 1, n);
            break;
        case 'd':
            out += padded(fields.tm_mday, n);
            break;
        case 'H':
            out += padded(fields.tm_hour, n);
            break;
        case 'h':
            out += padded(fields.tm_hour % 12 == 0 ? 12 : fields.tm_hour % 12, n);
            break;
        case 'm':
            out += padded(fields.tm_min, n);
            break;
        case 's':
            out += padded(fields.tm_sec, n);
            break;
        case 'S': {
            // Fraction digits, cut (not rounded) to the pattern's width.
            std::string digits = padded(milliseconds, 3);
            if (n <= 3)
                out += digits.substr(0, static_cast<std::size_t>(n));
            else
                out += digits + std::string(static_cast<std::size_t>(n - 3), '0');
            break;
        }
        case 'a':
            out += fields.tm_hour < 12 ? "AM" : "PM";
            break;
        }
    }
    return out;
}

std::optional<Date> DateFormatter::dateFromString(std::string_view text) const
{
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    double fraction = 0;
    int hour12 = -1;
    int meridiem = -1; // 0 AM, 1 PM

    std::size_t pos = 0;
    for (std::size_t t = 0; t < m_tokens.size(); ++t) {
        auto& token = m_tokens[t];
        if (token.field == 0) {
            if (text.substr(pos, token.literal.size()) != token.literal)
                return std::nullopt;
            pos += token.literal.size();
            continue;
        }
        if (token.field == 'a') {
            auto word = text.substr(pos, 2);
            if (word.size() < 2)
                return std::nullopt;
            char first = static_cast<char>(word[0] & ~0x20);
            char second = static_cast<char>(word[1] & ~0x20);
            if (second != 'M' || (first != 'A' && first != 'P'))
                return std::nullopt;
            meridiem = first == 'P' ? 1 : 0;
            pos += 2;
            continue;
        }
        // Numeric field: when another numeric field follows directly, the width is fixed by the
        // pattern; otherwise one digit up to nine are taken.
        bool adjacent = t + 1 < m_tokens.size() && isNumericField(m_tokens[t + 1].field);
        std::size_t maxDigits = adjacent ? static_cast<std::size_t>(token.count) : 9;
        std::size_t start = pos;
        long value = 0;
        while (pos < text.size() && pos - start < maxDigits && text[pos] >= '0' && text[pos] <= '9')
            value = value * 10 + (text[pos++] - '0');
        std::size_t digits = pos - start;
        if (digits == 0)
            return std::nullopt;
        switch (token.field) {
        case 'y':
            if (token.count == 2 && digits == 2)
                value += 2000;
            if (value < 1 || value > 9999)
                return std::nullopt;
            year = static_cast<int>(value);
            break;
        case 'M':
            month = static_cast<int>(value);
            break;
        case 'd':
            day = static_cast<int>(value);
            break;
        case 'H':
            hour = static_cast<int>(value);
            break;
        case 'h':
            hour12 = static_cast<int>(value);
            break;
        case 'm':
            minute = static_cast<int>(value);
            break;
        case 's':
            second = static_cast<int>(value);
            break;
        case 'S':
            fraction = static_cast<double>(value) / std::pow(10.0, static_cast<double>(digits));
            break;
        }
    }
    if (pos != text.size())
        return std::nullopt;

    if (hour12 >= 0) {
        if (hour12 < 1 || hour12 > 12)
            return std::nullopt;
        hour = hour12 % 12 + (meridiem == 1 ? 12 : 0);
    } else if (meridiem >= 0 && hour < 12) {
        hour += meridiem == 1 ? 12 : 0;
    }
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour < 0 || hour > 23
        || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;

    std::tm fields {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    std::time_t time = m_zone == Zone::UTC ? timegm(&fields) : mktime(&fields);
    return Date(static_cast<double>(time) + fraction);
}
