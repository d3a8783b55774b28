#include "platform/ui/imageloading/ImageMemoryCache.h"

#include <unordered_set>

ImageMemoryCache::ImageMemoryCache(std::size_t costLimit)
    : m_costLimit(costLimit)
{ }

std::size_t ImageMemoryCache::costOf(const UIImage& image)
{
    auto bytes = [](const UIImage& bitmap) {
        return static_cast<std::size_t>(bitmap.pixelWidth()) * bitmap.pixelHeight() * 4;
    };
    std::size_t cost = 0;
    if (image.images().empty()) {
        cost = bytes(image);
    } else {
        // Animated images repeat frames to stretch them; a shared bitmap counts once.
        std::unordered_set<const cairo_surface_t*> counted;
        for (const UIImage& frame : image.images()) {
            if (counted.insert(frame.cairoSurface()).second)
                cost += bytes(frame);
        }
    }
    // Even an empty image takes a slot; a cost of 0 would let the cache grow without bound.
    return cost > 0 ? cost : 1;
}

std::optional<UIImage> ImageMemoryCache::image(const std::string& key)
{
    std::lock_guard lock(m_mutex);
    auto found = m_index.find(key);
    if (found == m_index.end())
        return std::nullopt;
    m_entries.splice(m_entries.begin(), m_entries, found->second);
    return found->second->image;
}

void ImageMemoryCache::store(const std::string& key, const UIImage& image)
{
    std::size_t cost = costOf(image);
    std::lock_guard lock(m_mutex);
    if (auto found = m_index.find(key); found != m_index.end())
        eraseLocked(found->second);
    if (cost > m_costLimit)
        return;
    m_entries.push_front({ key, image, cost });
    m_index[key] = m_entries.begin();
    m_totalCost += cost;
    evictLocked();
}

void ImageMemoryCache::remove(const std::string& key)
{
    std::lock_guard lock(m_mutex);
    if (auto found = m_index.find(key); found != m_index.end())
        eraseLocked(found->second);
}

void ImageMemoryCache::removeAll()
{
    std::lock_guard lock(m_mutex);
    m_entries.clear();
    m_index.clear();
    m_totalCost = 0;
}

std::size_t ImageMemoryCache::totalCost() const
{
    std::lock_guard lock(m_mutex);
    return m_totalCost;
}

std::size_t ImageMemoryCache::count() const
{
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

void ImageMemoryCache::evictLocked()
{
    while (m_totalCost > m_costLimit && !m_entries.empty())
        eraseLocked(std::prev(m_entries.end()));
}

void ImageMemoryCache::eraseLocked(std::list<Entry>::iterator entry)
{
    m_totalCost -= entry->cost;
    m_index.erase(entry->key);
    m_entries.erase(entry);
}
