#include "platform/media/cache/MCSPlaybackStore.h"

#include "platform/crypto/Digest.h"
#include "platform/foundation/FileSystem.h"
#include "platform/media/cache/MCSTempFile.h"
#include "platform/media/cache/MCSURL.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t maxMetaBytes = 1024;
// Buffers of written chunks kept for the next ones: fresh memory costs a page fault every 4 KiB.
constexpr std::size_t maxSpareBuffers = 4;

bool writeWhole(const fs::path& target, const std::uint8_t* bytes, std::size_t size)
{
    auto file = std::make_unique<MCSTempFile>(target);
    if (!file->isOpen()) {
        // The asset's first file: its folder comes first.
        FileSystem::createOwnerOnlyDirectories(target.parent_path());
        file = std::make_unique<MCSTempFile>(target);
    }
    // Not flushed: a chunk is only used when its size is right, and the cache can always refetch.
    return file->write(bytes, size) && file->commit(MCSTempFile::Durability::Cached);
}

std::shared_ptr<Data> bytesOf(std::string_view text)
{
    return std::make_shared<Data>(text.begin(), text.end());
}

std::optional<MCSResourceMeta> parseMeta(std::string_view text)
{
    if (text.size() > maxMetaBytes)
        return std::nullopt;
    std::size_t newline = text.find('\n');
    if (newline == std::string::npos)
        return std::nullopt;
    MCSResourceMeta meta;
    auto [end, error] = std::from_chars(text.data(), text.data() + newline, meta.length);
    if (error != std::errc() || end != text.data() + newline)
        return std::nullopt;
    meta.contentType = std::string(text.substr(newline + 1));
    if (!meta.contentType.empty() && meta.contentType.back() == '\n')
        meta.contentType.pop_back();
    return meta;
}

std::string_view textOf(const Data& data)
{
    return { reinterpret_cast<const char*>(data.data()), data.size() };
}

}

MCSPlaybackStore::MCSPlaybackStore(fs::path folder, std::uint64_t chunkSize, std::uint64_t maxBytes)
    : m_folder(std::move(folder))
    , m_chunkSize(chunkSize == 0 ? defaultChunkSize : chunkSize)
    , m_maxBytes(maxBytes == 0 ? defaultMaxBytes : maxBytes)
{ }

MCSPlaybackStore::~MCSPlaybackStore()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    // The writer empties its queue before it ends.
    if (m_writer.joinable())
        m_writer.join();
}

std::string MCSPlaybackStore::resourceKey(std::string_view url)
{
    return Digest::hex(Digest::sha256(Data(url.begin(), url.end()))).substr(0, 32);
}

std::optional<fs::path> MCSPlaybackStore::file(const std::string& asset, const std::string& name) const
{
    auto assetFolder = MCSURL::child(m_folder, asset);
    if (!assetFolder)
        return std::nullopt;
    return MCSURL::child(*assetFolder, name);
}

std::shared_ptr<const Data> MCSPlaybackStore::pending(const std::string& asset, const std::string& name) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_pending.find(asset + "/" + name);
    return it == m_pending.end() ? nullptr : it->second;
}

bool MCSPlaybackStore::queue(
    const std::string& asset, std::string name, std::shared_ptr<Data> bytes, bool bounded) const
{
    if (!file(asset, name))
        return false;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping || (bounded && m_pendingBytes + bytes->size() > maxPendingBytes))
            return false;
        m_pendingBytes += bytes->size();
        m_pending.insert_or_assign(asset + "/" + name, bytes);
        m_queue.push_back({ asset, std::move(name), std::move(bytes) });
        if (!m_writer.joinable())
            m_writer = std::thread([this] { writeBehind(); });
    }
    m_changed.notify_all();
    return true;
}

void MCSPlaybackStore::writeBehind() const
{
    // The players' bytes come first: on a busy machine this thread waits for a processor.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stopping || (!m_queue.empty() && !m_writesPaused); });
        if (m_queue.empty())
            return; // stopping, and everything is written
        Write write = std::move(m_queue.front());
        m_queue.pop_front();
        m_writing = true;
        lock.unlock();

        auto path = file(write.asset, write.name);
        if (path)
            writeWhole(*path, write.bytes->data(), write.bytes->size());

        lock.lock();
        m_pendingBytes -= write.bytes->size();
        std::string id = write.asset + "/" + write.name;
        if (auto it = m_pending.find(id); it != m_pending.end() && it->second == write.bytes)
            m_pending.erase(it);
        m_writtenSinceTrim += write.bytes->size();
        bool trimDue = m_writtenSinceTrim >= m_maxBytes / 8;
        if (trimDue)
            m_writtenSinceTrim = 0;
        // Readers may still hold the bytes; otherwise their memory serves the next chunk.
        if (write.bytes.use_count() == 1 && write.bytes->capacity() >= m_chunkSize
            && m_spareBuffers.size() < maxSpareBuffers) {
            // The last reader's use of the bytes comes before their next use.
            std::atomic_thread_fence(std::memory_order_acquire);
            write.bytes->clear();
            m_spareBuffers.push_back(std::move(*write.bytes));
        }
        write.bytes.reset();
        if (trimDue) {
            lock.unlock();
            trim(write.asset);
            lock.lock();
        }
        m_writing = false;
        m_changed.notify_all();
    }
}

void MCSPlaybackStore::setWritesPausedForTesting(bool paused)
{
    {
        std::lock_guard lock(m_mutex);
        m_writesPaused = paused;
    }
    m_changed.notify_all();
}

void MCSPlaybackStore::flush() const
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_writing; });
}

std::optional<MCSResourceMeta> MCSPlaybackStore::meta(const std::string& asset, const std::string& key) const
{
    if (auto bytes = pending(asset, key + ".meta"))
        return parseMeta(textOf(*bytes));
    auto path = file(asset, key + ".meta");
    if (!path)
        return std::nullopt;
    auto data = FileSystem::readFile(*path);
    if (!data)
        return std::nullopt;
    return parseMeta(textOf(*data));
}

void MCSPlaybackStore::saveMeta(
    const std::string& asset, const std::string& key, const MCSResourceMeta& meta) const
{
    std::string type = meta.contentType.substr(0, 200);
    if (type.find('\n') == std::string::npos)
        queue(asset, key + ".meta", bytesOf(std::to_string(meta.length) + "\n" + type + "\n"), false);
}

std::uint64_t MCSPlaybackStore::chunkLength(std::uint64_t length, std::uint64_t index) const
{
    std::uint64_t start = index * m_chunkSize;
    if (start >= length)
        return 0;
    return std::min(m_chunkSize, length - start);
}

std::optional<MCSStoredChunk> MCSPlaybackStore::chunk(
    const std::string& asset, const std::string& key, std::uint64_t index) const
{
    std::string name = key + "." + std::to_string(index);
    if (auto bytes = pending(asset, name))
        return MCSStoredChunk { std::move(bytes), {} };
    auto path = file(asset, name);
    std::error_code error;
    if (!path || !fs::is_regular_file(*path, error))
        return std::nullopt;
    return MCSStoredChunk { nullptr, std::move(*path) };
}

bool MCSPlaybackStore::saveChunk(
    const std::string& asset, const std::string& key, std::uint64_t index, std::shared_ptr<Data> bytes) const
{
    return bytes && queue(asset, key + "." + std::to_string(index), std::move(bytes), true);
}

Data MCSPlaybackStore::chunkBuffer() const
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_spareBuffers.empty()) {
            Data buffer = std::move(m_spareBuffers.back());
            m_spareBuffers.pop_back();
            return buffer;
        }
    }
    Data buffer;
    buffer.reserve(static_cast<std::size_t>(m_chunkSize));
    return buffer;
}

std::optional<MCSStoredPlaylist> MCSPlaybackStore::playlist(
    const std::string& asset, const std::string& key) const
{
    auto read = [&](const std::string& name) -> std::optional<std::string> {
        if (auto bytes = pending(asset, name))
            return std::string(textOf(*bytes));
        auto path = file(asset, name);
        auto data = path ? FileSystem::readFile(*path) : std::nullopt;
        return data ? std::optional(stringFromData(*data)) : std::nullopt;
    };
    // The text goes to the disk after the base: with the text, the base is there.
    auto text = read(key + ".m3u8");
    auto base = text ? read(key + ".base") : std::nullopt;
    if (!text || !base)
        return std::nullopt;
    return MCSStoredPlaylist { std::move(*text), std::move(*base) };
}

void MCSPlaybackStore::savePlaylist(
    const std::string& asset, const std::string& key, const MCSStoredPlaylist& playlist) const
{
    // The base goes first: a playlist is only read when both are there.
    if (queue(asset, key + ".base", bytesOf(playlist.baseURL), false))
        queue(asset, key + ".m3u8", bytesOf(playlist.text), false);
}

void MCSPlaybackStore::trim(const std::string& keep) const
{
    std::unique_lock lock(m_trimming, std::try_to_lock);
    if (!lock.owns_lock())
        return; // another thread is at it
    struct Asset {
        fs::path folder;
        std::uint64_t bytes;
        fs::file_time_type written;
    };
    std::vector<Asset> assets;
    std::uint64_t total = 0;
    for (const std::string& name : FileSystem::list(m_folder)) {
        std::error_code error;
        fs::path folder = m_folder / name;
        if (!MCSURL::isSafeComponent(name) || !fs::is_directory(folder, error))
            continue;
        Asset asset { folder, FileSystem::folderSize(folder), fs::last_write_time(folder, error) };
        total += asset.bytes;
        if (name != keep)
            assets.push_back(std::move(asset));
    }
    std::sort(
        assets.begin(), assets.end(), [](const Asset& a, const Asset& b) { return a.written < b.written; });
    for (const Asset& asset : assets) {
        if (total <= m_maxBytes)
            break;
        FileSystem::remove(asset.folder);
        total -= std::min(total, asset.bytes);
    }
}

void MCSPlaybackStore::removeAll() const
{
    {
        std::unique_lock lock(m_mutex);
        for (const Write& write : m_queue)
            m_pendingBytes -= write.bytes->size();
        m_queue.clear();
        m_pending.clear();
        // A write under way ends before the folders go, so that nothing of before comes back.
        m_changed.wait(lock, [this] { return !m_writing; });
    }
    m_changed.notify_all();
    for (const std::string& name : FileSystem::list(m_folder)) {
        if (MCSURL::isSafeComponent(name))
            FileSystem::remove(m_folder / name);
    }
}
