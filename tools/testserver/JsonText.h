#pragma once

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>

namespace testserver {

// An id or a field that the sample files and the app write now as text, now as an integer, as
// text (an integer past the signed range as its own digits); anything else (absent, a fraction, an
// object) is empty, which matches no id.
std::string textOf(const nlohmann::json& value);

// The bounds of a whole-number field, and whether its decimal digits in a text (a '-' before them
// for a negative one) count too, as the app and the sample files write some ids.
struct IntegerField {
    std::int64_t low = 0;
    std::int64_t high = 0;
    bool textToo = false;
};

// Every value a signed 64-bit integer holds: a field with no bounds of its own.
inline constexpr IntegerField anyInteger { std::numeric_limits<std::int64_t>::min(),
    std::numeric_limits<std::int64_t>::max() };

// Why a value is no number of its field. A number past the bounds is told apart from no number at
// all, however far past: callers answer each with its own message.
enum class IntegerFault {
    none,
    notInteger, // absent, a fraction, a flag, a text of anything but digits, ...
    belowLow,
    aboveHigh,
};

// A number past the field's bounds, however far, rather than no number at all.
inline bool isOutside(IntegerFault fault)
{
    return fault == IntegerFault::belowLow || fault == IntegerFault::aboveHigh;
}

struct IntegerRead {
    std::int64_t value = 0; // only when fault is none
    IntegerFault fault = IntegerFault::notInteger;

    explicit operator bool() const { return fault == IntegerFault::none; }
    std::int64_t operator*() const { return value; }
    std::int64_t valueOr(std::int64_t fallback) const { return *this ? value : fallback; }
};

// The one reader of a whole number of JSON, whether it came as a signed or an unsigned number or
// (textToo) as digits: nothing outside the field is ever cut or wrapped into it. nlohmann's own
// get<std::int64_t>() wraps an unsigned number past 2^63 - 1 into a negative one.
IntegerRead readInteger(const nlohmann::json& value, const IntegerField& field);

// "a whole number from <low> to <high>": what a field of a state file should have held.
std::string wholeNumberFrom(const IntegerField& field);

}
