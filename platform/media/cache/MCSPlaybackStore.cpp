#include "platform/media/cache/MCSPlaybackStore.h"

#include "platform/crypto/Digest.h"
#include "platform/foundation/FileSystem.h"
#include "platform/media/cache/MCSTempFile.h"
#include "platform/media/cache/MCSURL.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t maxMetaBytes = 1024;

bool writeWhole(const fs::path& target, std::string_view bytes)
{
    FileSystem::createDirectories(target.parent_path());
    MCSTempFile file(target);
    // Not flushed: a chunk is only used when its size is right, and the cache can always refetch.
    return file.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())
        && file.commit(MCSTempFile::Durability::Cached);
}

}

MCSPlaybackStore::MCSPlaybackStore(fs::path folder, std::uint64_t chunkSize, std::uint64_t maxBytes)
    : m_folder(std::move(folder))
    , m_chunkSize(chunkSize == 0 ? defaultChunkSize : chunkSize)
    , m_maxBytes(maxBytes == 0 ? defaultMaxBytes : maxBytes)
{ }

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

std::optional<MCSResourceMeta> MCSPlaybackStore::meta(const std::string& asset, const std::string& key) const
{
    auto path = file(asset, key + ".meta");
    if (!path)
        return std::nullopt;
    auto data = FileSystem::readFile(*path);
    if (!data || data->size() > maxMetaBytes)
        return std::nullopt;
    std::string text = stringFromData(*data);
    std::size_t newline = text.find('\n');
    if (newline == std::string::npos)
        return std::nullopt;
    MCSResourceMeta meta;
    auto [end, error] = std::from_chars(text.data(), text.data() + newline, meta.length);
    if (error != std::errc() || end != text.data() + newline)
        return std::nullopt;
    meta.contentType = text.substr(newline + 1);
    if (!meta.contentType.empty() && meta.contentType.back() == '\n')
        meta.contentType.pop_back();
    return meta;
}

void MCSPlaybackStore::saveMeta(
    const std::string& asset, const std::string& key, const MCSResourceMeta& meta) const
{
    auto path = file(asset, key + ".meta");
    std::string type = meta.contentType.substr(0, 200);
    if (path && type.find('\n') == std::string::npos)
        writeWhole(*path, std::to_string(meta.length) + "\n" + type + "\n");
}

std::uint64_t MCSPlaybackStore::chunkLength(std::uint64_t length, std::uint64_t index) const
{
    std::uint64_t start = index * m_chunkSize;
    if (start >= length)
        return 0;
    return std::min(m_chunkSize, length - start);
}

std::optional<fs::path> MCSPlaybackStore::chunk(
    const std::string& asset, const std::string& key, std::uint64_t index) const
{
    auto path = file(asset, key + "." + std::to_string(index));
    std::error_code error;
    if (!path || !fs::is_regular_file(*path, error))
        return std::nullopt;
    return path;
}

bool MCSPlaybackStore::saveChunk(
    const std::string& asset, const std::string& key, std::uint64_t index, const Data& bytes) const
{
    auto path = file(asset, key + "." + std::to_string(index));
    if (!path
        || !writeWhole(*path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return false;
    if (m_writtenSinceTrim.fetch_add(bytes.size()) + bytes.size() >= m_maxBytes / 8) {
        m_writtenSinceTrim = 0;
        trim(asset);
    }
    return true;
}

std::optional<MCSStoredPlaylist> MCSPlaybackStore::playlist(
    const std::string& asset, const std::string& key) const
{
    auto textPath = file(asset, key + ".m3u8");
    auto basePath = file(asset, key + ".base");
    if (!textPath || !basePath)
        return std::nullopt;
    auto text = FileSystem::readFile(*textPath);
    auto base = FileSystem::readFile(*basePath);
    if (!text || !base)
        return std::nullopt;
    return MCSStoredPlaylist { stringFromData(*text), stringFromData(*base) };
}

void MCSPlaybackStore::savePlaylist(
    const std::string& asset, const std::string& key, const MCSStoredPlaylist& playlist) const
{
    auto textPath = file(asset, key + ".m3u8");
    auto basePath = file(asset, key + ".base");
    // The base goes first: a playlist is only read when both are there.
    if (textPath && basePath && writeWhole(*basePath, playlist.baseURL))
        writeWhole(*textPath, playlist.text);
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
    for (const std::string& name : FileSystem::list(m_folder)) {
        if (MCSURL::isSafeComponent(name))
            FileSystem::remove(m_folder / name);
    }
}
