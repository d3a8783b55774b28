#pragma once

#include "platform/foundation/Data.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

// The downloaded bytes of images, one file per key in one folder, named by a hash of the key.
// Writes are atomic (readers see a whole file or none). Past the size limit the least recently
// used files go until half the limit is left. Folder and files are the owner's only; a file
// larger than the limit is not the cache's and is removed when read. Thread-safe; every call does its file
// work at once, so callers keep it off the main thread (the size is cheap once known).
class ImageDiskCache {
public:
    ImageDiskCache(std::filesystem::path folder, std::uint64_t sizeLimit);

    // 64-bit FNV-1a of the key in 16 lowercase hex digits: stable across runs and builds.
    static std::string fileNameForKey(const std::string& key);
    std::filesystem::path pathForKey(const std::string& key) const;

    // The stored bytes; reading counts as a use for the size limit.
    std::optional<Data> data(const std::string& key);
    bool store(const std::string& key, const Data& data);
    void remove(const std::string& key);
    void removeAll();

    // Bytes of every file in the folder.
    std::uint64_t totalSize();

    const std::filesystem::path& folder() const { return m_folder; }
    std::uint64_t sizeLimit() const { return m_sizeLimit; }

private:
    std::uint64_t totalSizeLocked();
    void trimLocked();

    const std::filesystem::path m_folder;
    const std::uint64_t m_sizeLimit;
    std::mutex m_mutex;
    std::optional<std::uint64_t> m_totalSize; // counted on first need, then kept up to date
};
