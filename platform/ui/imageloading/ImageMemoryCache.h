#pragma once

#include "platform/ui/UIImage.h"

#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

// Decoded images by key, least recently used dropped first once their total cost passes the
// limit. The cost of an image is the bytes of its bitmaps. Thread-safe.
class ImageMemoryCache {
public:
    explicit ImageMemoryCache(std::size_t costLimit);

    static std::size_t costOf(const UIImage& image);

    std::optional<UIImage> image(const std::string& key);
    // An image that alone costs more than the limit is not kept.
    void store(const std::string& key, const UIImage& image);
    void remove(const std::string& key);
    void removeAll();

    std::size_t totalCost() const;
    std::size_t count() const;
    std::size_t costLimit() const { return m_costLimit; }

private:
    struct Entry {
        std::string key;
        UIImage image;
        std::size_t cost;
    };
    void evictLocked();
    void eraseLocked(std::list<Entry>::iterator entry);

    const std::size_t m_costLimit;
    mutable std::mutex m_mutex;
    std::list<Entry> m_entries; // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> m_index;
    std::size_t m_totalCost = 0;
};
