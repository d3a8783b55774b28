#pragma once

#include <compare>
#include <cstddef>
#include <functional>
#include <set>
#include <string>

// The place of an item (collection view) or row (table view) in a sectioned list. `item` and
// `row` are the same number under the names each list uses.
struct IndexPath {
    int section = 0;
    int item = 0;

    constexpr IndexPath() = default;
    constexpr IndexPath(int item, int section)
        : section(section)
        , item(item)
    { }
    static constexpr IndexPath forItem(int item, int section) { return { item, section }; }
    static constexpr IndexPath forRow(int row, int section) { return { row, section }; }

    constexpr int row() const { return item; }

    // Ordered by section, then item.
    constexpr auto operator<=>(const IndexPath&) const = default;

    // "[section, item]", for messages.
    std::string description() const
    {
        return "[" + std::to_string(section) + ", " + std::to_string(item) + "]";
    }
};

template<> struct std::hash<IndexPath> {
    std::size_t operator()(const IndexPath& p) const noexcept
    {
        return std::hash<long long>()(
            (static_cast<long long>(p.section) << 32) ^ static_cast<unsigned>(p.item));
    }
};

// A set of section numbers, for reloading sections.
using IndexSet = std::set<int>;
