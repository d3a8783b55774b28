#include "platform/foundation/FileSystem.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/SecureRandom.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace FileSystem {

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

namespace {

std::string randomSuffix()
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix;
    for (std::uint8_t byte : SecureRandom::bytes(6)) {
        suffix += kDigits[byte >> 4];
        suffix += kDigits[byte & 0x0F];
    }
    return suffix;
}

void syncFolder(const fs::path& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}

FileRead readFileChecked(const fs::path& file, std::uint64_t maximumSize)
{
    auto failed = [](FileRead::Status status, std::string reason) {
        FileRead result;
        result.status = status;
        result.reason = std::move(reason);
        return result;
    };
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return failed(FileRead::Status::Missing, "no such file");
        return failed(FileRead::Status::Unreadable, std::strerror(errno));
    }
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return failed(FileRead::Status::Unreadable, "not a regular file");
    }
    FileRead result;
    result.status = FileRead::Status::Read;
    std::uint8_t buffer[65536];
    while (true) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            int error = errno;
            ::close(fd);
            return failed(FileRead::Status::Unreadable, std::strerror(error));
        }
        if (got == 0)
            break;
        if (result.data.size() + static_cast<std::size_t>(got) > maximumSize) {
            ::close(fd);
            return failed(
                FileRead::Status::TooLarge, "larger than " + std::to_string(maximumSize) + " bytes");
        }
        result.data.insert(result.data.end(), buffer, buffer + got);
    }
    ::close(fd);
    return result;
}

std::optional<Data> readFile(const fs::path& file)
{
    FileRead read = readFileChecked(file);
    if (read.status != FileRead::Status::Read)
        return std::nullopt;
    return std::move(read.data);
}

bool writeFileAtomically(const fs::path& file, const Data& data, mode_t mode)
{
    if (file.filename().empty())
        return false;
    fs::path folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    if (!createDirectories(folder))
        return false;

    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary = folder / ("." + file.filename().string() + ".tmp-" + randomSuffix());
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = writeAll(fd, data.data(), data.size()) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temporary.c_str(), file.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

bool exists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool remove(const fs::path& path)
{
    if (!FileSystem::exists(path))
        return false;
    std::error_code error;
    fs::remove_all(path, error);
    return !error;
}

bool createDirectories(const fs::path& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}

bool createOwnerOnlyDirectories(const fs::path& folder)
{
    std::error_code error;
    std::vector<fs::path> missing;
    for (fs::path current = folder; !current.empty() && !fs::exists(fs::symlink_status(current, error));
         current = current.parent_path()) {
        missing.push_back(current);
        if (current == current.parent_path())
            break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return fs::is_directory(folder, error);
}

bool restrictToOwner(const fs::path& path)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0 || S_ISLNK(info.st_mode))
        return false;
    if (info.st_uid != ::geteuid() || (S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX)))
        return false;
    if ((info.st_mode & 077) == 0)
        return true;
    return ::chmod(path.c_str(), info.st_mode & 07700) == 0;
}

std::uint64_t folderSize(const fs::path& folder)
{
    std::error_code error;
    auto status = fs::symlink_status(folder, error);
    if (error)
        return 0;
    if (fs::is_regular_file(status)) {
        auto size = fs::file_size(folder, error);
        return error ? 0 : size;
    }
    if (!fs::is_directory(status))
        return 0;
    std::uint64_t total = 0;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    fs::recursive_directory_iterator end;
    while (!error && it != end) {
        std::error_code entryError;
        if (it->is_regular_file(entryError) && !it->is_symlink(entryError)) {
            auto size = it->file_size(entryError);
            if (!entryError)
                total += size;
        }
        it.increment(error);
    }
    return total;
}

std::vector<std::string> list(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    fs::directory_iterator end;
    while (!error && it != end) {
        names.push_back(it->path().filename().string());
        it.increment(error);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<fs::path> moveAside(const fs::path& file)
{
    auto stamp = static_cast<long long>(std::floor(Date::now().timeIntervalSince1970() * 1000.0));
    fs::path base = file;
    base += ".damaged-" + std::to_string(stamp);
    fs::path target = base;
    for (int counter = 2; FileSystem::exists(target); ++counter) {
        if (counter > 1000)
            return std::nullopt;
        target = base;
        // Appended one after the other: GCC 12 at -O3 takes a literal put before a temporary string for an overlapping copy.
        target += "-";
        target += std::to_string(counter);
    }
    if (::rename(file.c_str(), target.c_str()) != 0)
        return std::nullopt;
    restrictToOwner(target);
    return target;
}

}
