#pragma once

#include "platform/foundation/Date.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Formats and parses dates with a fixed pattern of the platform's pattern language, numeric fields only:
//   y (yyyy: four digits, yy: two), M/MM month, d/dd day, H/HH hour 0-23, h/hh hour 1-12,
//   m/mm minute, s/ss second, S.. fraction digits (SSS: milliseconds), a AM/PM,
//   'quoted text' ('' for a quote). Every other character is literal.
// Parsing is exact: the whole text must match, fields in range. Fields the pattern leaves out take
// the values of 2000-01-01 00:00:00 (as the platform's formatter does), in the formatter's time zone.
class DateFormatter {
public:
    enum class Zone { Local, UTC };

    explicit DateFormatter(std::string_view pattern, Zone zone = Zone::Local);

    // Empty text for dates the calendar cannot represent (not finite, or beyond year 9999).
    std::string stringFromDate(Date date) const;
    std::optional<Date> dateFromString(std::string_view text) const;

    const std::string& pattern() const { return m_pattern; }
    Zone zone() const { return m_zone; }

private:
    struct Token {
        char field = 0; // 0 for literal text
        int count = 0;
        std::string literal;
    };

    std::string m_pattern;
    Zone m_zone;
    std::vector<Token> m_tokens;
};
