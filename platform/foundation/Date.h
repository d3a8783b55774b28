#pragma once

#include <compare>
#include <functional>

// A point in time: seconds since 1970-01-01 00:00 UTC, fraction included.
class Date {
public:
    constexpr Date() = default;
    constexpr explicit Date(double secondsSince1970)
        : m_seconds(secondsSince1970)
    { }

    // The wall clock, or the clock installed for tests.
    static Date now();

    constexpr double timeIntervalSince1970() const { return m_seconds; }
    constexpr double timeIntervalSince(Date other) const { return m_seconds - other.m_seconds; }
    constexpr Date addingTimeInterval(double seconds) const { return Date(m_seconds + seconds); }

    constexpr auto operator<=>(const Date&) const = default;

    // Replaces the wall clock (seconds since 1970); an empty function restores it.
    static void setClockForTesting(std::function<double()> clock);

private:
    double m_seconds = 0;
};
