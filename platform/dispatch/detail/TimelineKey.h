#pragma once

#include <compare>
#include <cstdint>

namespace detail {

// Identifies one item of the main run loop's schedule and orders the items: deadline first,
// then posting order.
struct TimelineKey {
    double deadline = 0;
    std::uint64_t seq = 0;

    auto operator<=>(const TimelineKey&) const = default;
};

}
