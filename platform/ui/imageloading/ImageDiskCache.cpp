#include "platform/ui/imageloading/ImageDiskCache.h"

#include "platform/foundation/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::uint64_t fileSize(const fs::path& file)
{
    std::error_code error;
    auto size = fs::file_size(file, error);
    return error ? 0 : size;
}

}

ImageDiskCache::ImageDiskCache(fs::path folder, std::uint64_t sizeLimit)
    : m_folder(std::move(folder))
    , m_sizeLimit(sizeLimit)
{ }

std::string ImageDiskCache::fileNameForKey(const std::string& key)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : key) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

fs::path ImageDiskCache::pathForKey(const std::string& key) const
{
    return m_folder / fileNameForKey(key);
}

std::optional<Data> ImageDiskCache::data(const std::string& key)
{
    fs::path file = pathForKey(key);
    std::lock_guard lock(m_mutex);
    FileSystem::FileRead read = FileSystem::readFileChecked(file, m_sizeLimit);
    if (read.status == FileSystem::FileRead::Status::TooLarge) {
        // Not one of the cache's own files, which never outgrow the limit: it goes.
        std::uint64_t size = fileSize(file);
        if (FileSystem::remove(file) && m_totalSize)
            m_totalSize = *m_totalSize - std::min(*m_totalSize, size);
        return std::nullopt;
    }
    if (read.status != FileSystem::FileRead::Status::Read)
        return std::nullopt;
    std::error_code error;
    fs::last_write_time(file, fs::file_time_type::clock::now(), error);
    return std::move(read.data);
}

bool ImageDiskCache::store(const std::string& key, const Data& data)
{
    fs::path file = pathForKey(key);
    std::lock_guard lock(m_mutex);
    std::uint64_t total = totalSizeLocked();
    std::uint64_t old = fileSize(file);
    // Pictures the viewer looked at are nobody else's business.
    if (FileSystem::createDirectories(m_folder))
        FileSystem::restrictToOwner(m_folder);
    if (!FileSystem::writeFileAtomically(file, data, 0600))
        return false;
    m_totalSize = total - std::min(total, old) + data.size();
    trimLocked();
    return true;
}

void ImageDiskCache::remove(const std::string& key)
{
    fs::path file = pathForKey(key);
    std::lock_guard lock(m_mutex);
    std::uint64_t size = fileSize(file);
    if (FileSystem::remove(file) && m_totalSize)
        m_totalSize = *m_totalSize - std::min(*m_totalSize, size);
}

void ImageDiskCache::removeAll()
{
    std::lock_guard lock(m_mutex);
    FileSystem::remove(m_folder);
    m_totalSize.reset(); // counted again: a removal can fail half-way
}

std::uint64_t ImageDiskCache::totalSize()
{
    std::lock_guard lock(m_mutex);
    return totalSizeLocked();
}

std::uint64_t ImageDiskCache::totalSizeLocked()
{
    if (!m_totalSize)
        m_totalSize = FileSystem::exists(m_folder) ? FileSystem::folderSize(m_folder) : 0;
    return *m_totalSize;
}

void ImageDiskCache::trimLocked()
{
    if (*m_totalSize <= m_sizeLimit)
        return;
    struct File {
        fs::path path;
        fs::file_time_type used;
        std::uint64_t size;
    };
    std::vector<File> files;
    std::error_code error;
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code entryError;
        if (!it->is_regular_file(entryError))
            continue;
        files.push_back({ it->path(), it->last_write_time(entryError), it->file_size(entryError) });
    }
    std::sort(files.begin(), files.end(), [](const File& a, const File& b) { return a.used < b.used; });
    std::uint64_t total = 0;
    for (const File& file : files)
        total += file.size;
    for (const File& file : files) {
        if (total <= m_sizeLimit / 2)
            break;
        if (FileSystem::remove(file.path))
            total -= file.size;
    }
    m_totalSize = total;
}
