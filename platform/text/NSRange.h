#pragma once

#include <cstddef>
#include <cstdint>

// "No position": the location of a range that found nothing.
inline constexpr std::size_t NSNotFound = static_cast<std::size_t>(PTRDIFF_MAX);

// A span of text in UTF-16 code units, as the platform's strings count them.
struct NSRange {
    std::size_t location = 0;
    std::size_t length = 0;

    constexpr bool operator==(const NSRange&) const = default;
};

constexpr NSRange NSMakeRange(std::size_t location, std::size_t length)
{
    return NSRange { location, length };
}

// The first position after the range.
constexpr std::size_t NSMaxRange(NSRange range)
{
    return range.location + range.length;
}
