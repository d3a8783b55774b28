#include "tools/testserver/JsonText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace testserver {

namespace {

IntegerRead within(std::int64_t value, const IntegerField& field)
{
    if (value < field.low)
        return { 0, IntegerFault::belowLow };
    if (value > field.high)
        return { 0, IntegerFault::aboveHigh };
    return { value, IntegerFault::none };
}

IntegerRead fromDigits(const std::string& text, const IntegerField& field)
{
    const bool negative = text.starts_with('-');
    const std::size_t start = negative ? 1 : 0;
    if (text.size() == start
        || !std::all_of(text.begin() + start, text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return { 0, negative ? IntegerFault::belowLow : IntegerFault::aboveHigh };
    if (ec != std::errc() || end != text.data() + text.size())
        return {};
    return within(value, field);
}

}

std::string textOf(const nlohmann::json& value)
{
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_unsigned())
        return std::to_string(value.get<std::uint64_t>());
    if (value.is_number_integer())
        return std::to_string(value.get<std::int64_t>());
    return {};
}

IntegerRead readInteger(const nlohmann::json& value, const IntegerField& field)
{
    if (value.is_number_unsigned()) {
        const std::uint64_t number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return { 0, IntegerFault::aboveHigh };
        return within(static_cast<std::int64_t>(number), field);
    }
    if (value.is_number_integer())
        return within(value.get<std::int64_t>(), field);
    if (value.is_number_float()) {
        // The parser keeps an integer past 2^64 - 1 as a float: a whole number past every field,
        // not a fraction.
        const double number = value.get<double>();
        if (std::isfinite(number) && std::fabs(number) >= 0x1p63)
            return { 0, number < 0 ? IntegerFault::belowLow : IntegerFault::aboveHigh };
        return {};
    }
    if (field.textToo && value.is_string())
        return fromDigits(value.get_ref<const std::string&>(), field);
    return {};
}

std::string wholeNumberFrom(const IntegerField& field)
{
    return "a whole number from " + std::to_string(field.low) + " to " + std::to_string(field.high);
}

}
