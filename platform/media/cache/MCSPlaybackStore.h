#pragma once

#include "platform/foundation/Data.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

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

// A whole chunk of a resource: its bytes while they wait for the disk, else its file.
struct MCSStoredChunk {
    std::shared_ptr<const Data> bytes;
    std::filesystem::path file;
};

// The read-through cache of online media: one folder per asset, holding for each resource its
// meta file and its bytes in chunks of a fixed size (each written whole, then renamed), and the
// playlists worth replaying. Asset and resource names are hex digests made by the cache, never
// parts of an address. Thread-safe: callers share nothing but files, and every file appears whole.
//
// Chunks and meta files are written behind, by a thread of the store's own, so that no player
// waits for the disk: from the moment they are saved they are found in memory, until they are
// on disk. What waits for the disk is bounded (`maxPendingBytes`); a chunk past it is not kept
// (the cache fetches it again when it is next asked for). Past `maxBytes` the assets written
// longest ago are dropped, a check made after every eighth of that size written. The store
// writes everything queued before it goes.
class MCSPlaybackStore {
public:
    static constexpr std::uint64_t defaultChunkSize = 1024 * 1024;
    static constexpr std::uint64_t defaultMaxBytes = 1024ull * 1024 * 1024;
    static constexpr std::uint64_t maxPendingBytes = 32ull * 1024 * 1024;

    explicit MCSPlaybackStore(std::filesystem::path folder, std::uint64_t chunkSize = defaultChunkSize,
        std::uint64_t maxBytes = defaultMaxBytes);
    ~MCSPlaybackStore();
    MCSPlaybackStore(const MCSPlaybackStore&) = delete;
    MCSPlaybackStore& operator=(const MCSPlaybackStore&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }
    std::uint64_t chunkSize() const { return m_chunkSize; }

    // The resource name of an address inside an asset.
    static std::string resourceKey(std::string_view url);

    std::optional<MCSResourceMeta> meta(const std::string& asset, const std::string& key) const;
    void saveMeta(const std::string& asset, const std::string& key, const MCSResourceMeta& meta) const;

    // A whole chunk, when it is here.
    std::optional<MCSStoredChunk> chunk(
        const std::string& asset, const std::string& key, std::uint64_t index) const;
    // Takes the bytes of a whole chunk: found by chunk() at once, on disk soon after. False when
    // it is not kept (a bad name, or too much already waiting for the disk).
    bool saveChunk(const std::string& asset, const std::string& key, std::uint64_t index,
        std::shared_ptr<Data> bytes) const;
    // An empty buffer with room for a chunk, reusing the memory of chunks already written.
    Data chunkBuffer() const;
    // Bytes of the chunk that a resource of `length` bytes holds at `index`.
    std::uint64_t chunkLength(std::uint64_t length, std::uint64_t index) const;

    std::optional<MCSStoredPlaylist> playlist(const std::string& asset, const std::string& key) const;
    void savePlaylist(
        const std::string& asset, const std::string& key, const MCSStoredPlaylist& playlist) const;

    // Returns once everything saved before the call is on disk (not while writes are paused).
    void flush() const;
    // Holds the writer, so that a test can read what waits for the disk; the store's end
    // releases it.
    void setWritesPausedForTesting(bool paused);
    // Everything cached goes, what waits for the disk too; files being read stay readable until
    // closed.
    void removeAll() const;
    // Drops the assets written longest ago, other than `keep`, until the cache is within its size.
    void trim(const std::string& keep) const;

private:
    struct Write {
        std::string asset;
        std::string name;
        std::shared_ptr<Data> bytes;
    };

    std::optional<std::filesystem::path> file(const std::string& asset, const std::string& name) const;
    std::shared_ptr<const Data> pending(const std::string& asset, const std::string& name) const;
    bool queue(const std::string& asset, std::string name, std::shared_ptr<Data> bytes, bool bounded) const;
    void writeBehind() const;

    std::filesystem::path m_folder;
    std::uint64_t m_chunkSize;
    std::uint64_t m_maxBytes;
    mutable std::mutex m_trimming;

    // The writer's state, under m_mutex.
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    mutable std::deque<Write> m_queue;
    mutable std::map<std::string, std::shared_ptr<Data>, std::less<>> m_pending; // "asset/name"
    mutable std::vector<Data> m_spareBuffers;
    mutable std::uint64_t m_pendingBytes = 0;
    mutable std::uint64_t m_writtenSinceTrim = 0;
    mutable bool m_writing = false;
    mutable bool m_stopping = false;
    bool m_writesPaused = false;
    mutable std::thread m_writer;
};
