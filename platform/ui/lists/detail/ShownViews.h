#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace detail {

// Helpers over the views a list shows, kept by key (index path, or kind and index path) in
// order. Shared by collection and table views so both answer their questions the same way.

template<typename Key, typename View>
std::vector<std::shared_ptr<View>> shownViews(const std::map<Key, std::shared_ptr<View>>& shown)
{
    std::vector<std::shared_ptr<View>> result;
    result.reserve(shown.size());
    for (const auto& [key, view] : shown)
        result.push_back(view);
    return result;
}

template<typename Key, typename View>
std::vector<Key> shownKeys(const std::map<Key, std::shared_ptr<View>>& shown)
{
    std::vector<Key> result;
    result.reserve(shown.size());
    for (const auto& [key, view] : shown)
        result.push_back(key);
    return result;
}

template<typename Key, typename View>
std::shared_ptr<View> shownAt(const std::map<Key, std::shared_ptr<View>>& shown, const Key& key)
{
    auto it = shown.find(key);
    return it == shown.end() ? nullptr : it->second;
}

template<typename Key, typename View>
std::optional<Key> keyOfShown(const std::map<Key, std::shared_ptr<View>>& shown, const View& view)
{
    for (const auto& [key, candidate] : shown) {
        if (candidate.get() == &view)
            return key;
    }
    return std::nullopt;
}

// Takes the views whose keys match out of `shown` and hands each to `retire` (which may look at
// `shown` again: the view is gone from it by then).
template<typename Key, typename View, typename Match, typename Retire>
void retireShownIf(std::map<Key, std::shared_ptr<View>>& shown, Match match, Retire retire)
{
    for (auto it = shown.begin(); it != shown.end();) {
        if (!match(it->first)) {
            ++it;
            continue;
        }
        auto key = it->first;
        auto view = it->second;
        it = shown.erase(it);
        retire(key, view);
    }
}

// The same for the view at one key, if shown.
template<typename Key, typename View, typename Retire>
void retireShown(std::map<Key, std::shared_ptr<View>>& shown, const Key& key, Retire retire)
{
    auto it = shown.find(key);
    if (it == shown.end())
        return;
    auto view = it->second;
    shown.erase(it);
    retire(key, view);
}

// Takes every view out before retiring any, so that calls out see none of them shown.
template<typename Key, typename View, typename Retire>
void retireAllShown(std::map<Key, std::shared_ptr<View>>& shown, Retire retire)
{
    auto views = std::move(shown);
    shown.clear();
    for (auto& [key, view] : views)
        retire(key, view);
}

// The counts of every section, as a data source gives them (none without a source); negative
// answers count as empty.
template<typename Source, typename List, typename CountOf>
std::vector<int> sectionCounts(Source* source, List& list, CountOf countOf)
{
    std::vector<int> counts;
    if (!source)
        return counts;
    int sections = std::max(0, source->numberOfSections(list));
    counts.reserve(static_cast<std::size_t>(sections));
    for (int s = 0; s < sections; ++s)
        counts.push_back(std::max(0, (source->*countOf)(list, s)));
    return counts;
}

// The count of one section; 0 for a section that does not exist.
inline int countOfSection(const std::vector<int>& counts, int section)
{
    if (section < 0 || section >= static_cast<int>(counts.size()))
        return 0;
    return counts[static_cast<std::size_t>(section)];
}

}
