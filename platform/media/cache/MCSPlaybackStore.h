#pragma once

#include "platform/foundation/Data.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

// Length and type of a cached resource, known once its origin has told them.
struct MCSResourceMeta {
    std::uint64_t length = 0;
    std::string contentType;
};

// A playlist kept for replay, with the address its relative entries resolve against.
struct MCSStoredPlaylist {
    std::string text;
    std::string baseURL;
};

// The read-through cache of online media: one folder per asset, holding for each resource its
// meta file and its bytes in chunks of a fixed size (each written whole, then renamed), and the
// playlists worth replaying. Asset and resource names are hex digests made by the cache, never
// parts of an address. Thread-safe: callers share nothing but files, and every file appears whole.
// Past `maxBytes` the assets written longest ago are dropped, a check made after every eighth of
// that size written.
class MCSPlaybackStore {
public:
    static constexpr std::uint64_t defaultChunkSize = 1024 * 1024;
    static constexpr std::uint64_t defaultMaxBytes = 1024ull * 1024 * 1024;

    explicit MCSPlaybackStore(std::filesystem::path folder, std::uint64_t chunkSize = defaultChunkSize,
        std::uint64_t maxBytes = defaultMaxBytes);

    const std::filesystem::path& folder() const { return m_folder; }
    std::uint64_t chunkSize() const { return m_chunkSize; }

    // The resource name of an address inside an asset.
    static std::string resourceKey(std::string_view url);

    std::optional<MCSResourceMeta> meta(const std::string& asset, const std::string& key) const;
    void saveMeta(const std::string& asset, const std::string& key, const MCSResourceMeta& meta) const;

    // The file of a whole chunk, when it is here.
    std::optional<std::filesystem::path> chunk(
        const std::string& asset, const std::string& key, std::uint64_t index) const;
    bool saveChunk(
        const std::string& asset, const std::string& key, std::uint64_t index, const Data& bytes) const;
    // Bytes of the chunk that a resource of `length` bytes holds at `index`.
    std::uint64_t chunkLength(std::uint64_t length, std::uint64_t index) const;

    std::optional<MCSStoredPlaylist> playlist(const std::string& asset, const std::string& key) const;
    void savePlaylist(
        const std::string& asset, const std::string& key, const MCSStoredPlaylist& playlist) const;

    // Everything cached goes; files being read stay readable until closed.
    void removeAll() const;
    // Drops the assets written longest ago, other than `keep`, until the cache is within its size.
    void trim(const std::string& keep) const;

private:
    std::optional<std::filesystem::path> file(const std::string& asset, const std::string& name) const;

    std::filesystem::path m_folder;
    std::uint64_t m_chunkSize;
    std::uint64_t m_maxBytes;
    mutable std::atomic<std::uint64_t> m_writtenSinceTrim { 0 };
    mutable std::mutex m_trimming;
};
