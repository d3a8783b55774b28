#pragma once

#include <compare>

// A point in time on the dispatch clock (see Clock), in seconds.
struct DispatchTime {
    double seconds = 0;

    static DispatchTime now();

    DispatchTime operator+(double s) const { return DispatchTime { seconds + s }; }
    double operator-(DispatchTime other) const { return seconds - other.seconds; }
    auto operator<=>(const DispatchTime&) const = default;
};
