#pragma once

#include "platform/foundation/SecureRandom.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Random picks from arrays, drawn from the system's cryptographic random source.
namespace ArrayRandom {

// A uniform integer in the closed range [lower, upper] (the bounds are swapped when reversed).
inline int randomInt(int lower, int upper)
{
    if (lower > upper)
        std::swap(lower, upper);
    auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(upper) - lower) + 1;
    return static_cast<int>(lower + static_cast<std::int64_t>(SecureRandom::uniform(span)));
}

// In place: position i swaps with a random position from i to the end, for every i but the last.
template<class T> void shuffle(std::vector<T>& items)
{
    if (items.size() < 2)
        return;
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        auto j = i + static_cast<std::size_t>(SecureRandom::uniform(items.size() - i));
        if (j != i)
            std::swap(items[i], items[j]);
    }
}

template<class T> std::vector<T> shuffled(std::vector<T> items)
{
    shuffle(items);
    return items;
}

// None for an empty array.
template<class T> std::optional<T> randomItem(const std::vector<T>& items)
{
    if (items.empty())
        return std::nullopt;
    return items[static_cast<std::size_t>(SecureRandom::uniform(items.size()))];
}

// A shuffled copy cut to `count` elements (the whole copy when count exceeds the size).
template<class T> std::vector<T> randomItems(const std::vector<T>& items, std::size_t count)
{
    auto copy = shuffled(items);
    copy.resize(std::min(count, copy.size()));
    return copy;
}

}
