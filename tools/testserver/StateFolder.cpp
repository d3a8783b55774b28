#include "tools/testserver/StateFolder.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testserver {

namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

std::string systemError(const std::string& what, const std::filesystem::path& file)
{
    return what + " " + file.string() + ": " + std::strerror(errno);
}

// Writes all of the bytes to the descriptor, through interrupted and partial writes.
bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Flushes a folder's entries, so that a rename in it survives a crash of the machine.
void syncFolder(const std::filesystem::path& dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// What an entry of the folder is to the server, told by its place, its name and its type as it
// stands: a link is never its own (it writes none, and a mode set or a folder walked through one
// would land on whatever it points at).
enum class Entry { StateFile, WritePiece, Subfolder, EarlierLock, Other };

Entry classify(StatePlace place, const std::string& name, std::filesystem::file_type type)
{
    using std::filesystem::file_type;
    if (type == file_type::regular) {
        if (isStateFileName(place, name))
            return Entry::StateFile;
        if (isWritePieceName(place, name))
            return Entry::WritePiece;
        if (place == StatePlace::Top && name == earlierLockFile)
            return Entry::EarlierLock;
    }
    if (type == file_type::directory && place == StatePlace::Top && isStateSubfolder(name))
        return Entry::Subfolder;
    return Entry::Other;
}

struct Listed {
    std::filesystem::path path;
    Entry entry;
};

// The entries at the top of the folder and in its own subfolders, nothing below anything else;
// none with a message when the folder cannot be gone through.
std::optional<std::vector<Listed>> list(const std::filesystem::path& dir, std::string* error)
{
    std::vector<Listed> listed;
    auto add = [&listed](const std::filesystem::path& folder, StatePlace place) -> std::error_code {
        std::error_code ec;
        for (auto it = std::filesystem::directory_iterator(folder, ec);
             !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
            std::filesystem::file_type type = it->symlink_status(ec).type();
            if (ec)
                break;
            listed.push_back({ it->path(), classify(place, it->path().filename().string(), type) });
        }
        return ec;
    };
    std::error_code ec = add(dir, StatePlace::Top);
    for (std::size_t i = 0, top = listed.size(); !ec && i < top; ++i) {
        StatePlace place = StatePlace::Top;
        // A copy: adding to the list may move its entries.
        std::filesystem::path folder = listed[i].path;
        if (listed[i].entry == Entry::Subfolder && isStateSubfolder(folder.filename().string(), &place))
            ec = add(folder, place);
    }
    if (ec) {
        *error = "cannot go through the state folder " + dir.string() + ": " + ec.message();
        return std::nullopt;
    }
    return listed;
}

// Pieces that a write left behind when the server was killed halfway go; what stays of its own
// is made its owner's alone. The first one that cannot be made private is the error.
std::optional<std::string> tidy(const std::vector<Listed>& listed)
{
    for (const Listed& it : listed) {
        std::error_code ec;
        switch (it.entry) {
        case Entry::WritePiece:
            std::filesystem::remove(it.path, ec);
            break;
        case Entry::StateFile:
        case Entry::EarlierLock:
        case Entry::Subfolder:
            if (::chmod(it.path.c_str(), it.entry == Entry::Subfolder ? kFolderMode : kFileMode) != 0)
                return systemError("cannot make private", it.path);
            break;
        case Entry::Other:
            break;
        }
    }
    return std::nullopt;
}

}

StateFolder::StateFolder(std::filesystem::path dir, int lockDescriptor)
    : m_dir(std::move(dir))
    , m_lock(lockDescriptor)
{ }

StateFolder::~StateFolder()
{
    if (m_lock >= 0)
        ::close(m_lock);
}

std::shared_ptr<StateFolder> StateFolder::open(const std::filesystem::path& dir, std::string* error, bool* inUse)
{
    auto fail = [error](std::string message) -> std::shared_ptr<StateFolder> {
        if (error)
            *error = std::move(message);
        return nullptr;
    };
    if (inUse)
        *inUse = false;
    if (dir.empty())
        return fail("the state folder has no name");
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        return fail("cannot make the state folder " + dir.string() + ": " + ec.message());
    if (!std::filesystem::is_directory(dir, ec))
        return fail("the state folder " + dir.string() + " is not a folder");
    if (::access(dir.c_str(), R_OK | W_OK | X_OK) != 0)
        return fail(systemError("cannot use the state folder", dir));

    // The folder itself is the lock: a file in it can be removed, or replaced, under a server that
    // holds it. Locked before anything in it is looked at: the files being written by a server
    // that runs on it are not pieces left by a killed one.
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fail(systemError("cannot open the state folder", dir));
    auto folder = std::make_shared<StateFolder>(std::filesystem::absolute(dir, ec), fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            return fail(systemError("cannot lock the state folder", dir));
        if (inUse)
            *inUse = true;
        return fail("the state folder " + dir.string() + " is in use by another server");
    }

    std::string problem;
    std::optional<std::vector<Listed>> listed = list(dir, &problem);
    if (!listed)
        return fail(problem);
    auto other = std::find_if(
        listed->begin(), listed->end(), [](const Listed& it) { return it.entry == Entry::Other; });
    bool ownState = std::any_of(listed->begin(), listed->end(),
        [](const Listed& it) { return it.entry == Entry::StateFile || it.entry == Entry::WritePiece; });
    // A folder given by mistake is left as it was: nothing in it is read, removed or made private.
    if (other != listed->end() && !ownState)
        return fail("the folder " + dir.string() + " is not a state folder: it holds " + other->path.string()
            + " and no state of this server, and is left as it is (give a new or empty folder)");
    if (std::optional<std::string> refused = tidy(*listed))
        return fail(*refused);
    // Shared with things of someone else's, the folder keeps the mode they have it in.
    if (other == listed->end() && ::chmod(dir.c_str(), kFolderMode) != 0)
        return fail(systemError("cannot make private the state folder", dir));
    return folder;
}

std::optional<std::filesystem::path> StateFolder::resolve(const std::string& name) const
{
    std::filesystem::path relative(name);
    if (name.empty() || relative.is_absolute() || name.find('\0') != std::string::npos)
        return std::nullopt;
    for (const auto& part : relative) {
        if (part == ".." || part == ".")
            return std::nullopt;
    }
    return m_dir / relative;
}

StateFolder::Bytes StateFolder::readBytes(const std::string& name, std::size_t maxBytes) const
{
    Bytes result;
    std::optional<std::filesystem::path> file = resolve(name);
    if (!file) {
        result.ok = false;
        result.error = "not a name within the state folder: " + name;
        return result;
    }
    int fd = ::open(file->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return result;
        result.ok = false;
        result.error = systemError("cannot read the state file", *file);
        return result;
    }
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        result.ok = false;
        result.error = "the state file " + file->string() + " is not a file";
        return result;
    }
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        ::close(fd);
        result.ok = false;
        result.error = "the state file " + file->string() + " is larger than " + std::to_string(maxBytes)
            + " bytes";
        return result;
    }
    std::string bytes;
    char buffer[65536];
    while (true) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.ok = false;
            result.error = systemError("cannot read the state file", *file);
            ::close(fd);
            return result;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > maxBytes) {
            ::close(fd);
            result.ok = false;
            result.error = "the state file " + file->string() + " is larger than " + std::to_string(maxBytes)
                + " bytes";
            return result;
        }
    }
    ::close(fd);
    result.value = std::move(bytes);
    return result;
}

StateFolder::Read StateFolder::readJSON(const std::string& name, bool expectObject) const
{
    Read result;
    Bytes bytes = readBytes(name, maxJSONBytes);
    if (!bytes.ok) {
        result.ok = false;
        result.error = std::move(bytes.error);
        return result;
    }
    if (!bytes.value)
        return result;
    std::filesystem::path file = m_dir / name;
    nlohmann::json value = nlohmann::json::parse(*bytes.value, nullptr, false);
    if (value.is_discarded()) {
        result.ok = false;
        result.error = "the state file " + file.string() + " is not JSON";
        return result;
    }
    if (expectObject && !value.is_object()) {
        result.ok = false;
        result.error = "the state file " + file.string() + " is not a JSON object";
        return result;
    }
    result.value = std::move(value);
    return result;
}

bool StateFolder::writeBytes(const std::string& name, const std::string& bytes, std::string* error) const
{
    auto fail = [error](std::string message) {
        std::fprintf(stderr, "testserver: state: %s\n", message.c_str());
        if (error)
            *error = std::move(message);
        return false;
    };
    std::optional<std::filesystem::path> file = resolve(name);
    if (!file)
        return fail("not a name within the state folder: " + name);
    std::error_code ec;
    std::filesystem::create_directories(file->parent_path(), ec);
    if (ec)
        return fail("cannot make the folder of " + file->string() + ": " + ec.message());
    for (std::filesystem::path dir = file->parent_path(); dir != m_dir && dir.has_relative_path();
         dir = dir.parent_path()) {
        if (::chmod(dir.c_str(), kFolderMode) != 0)
            return fail(systemError("cannot make private", dir));
    }

    static std::atomic<std::uint64_t> serial { 0 };
    std::filesystem::path temporary = writePieceName(file->string(), ::getpid(), ++serial);
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kFileMode);
    if (fd < 0)
        return fail(systemError("cannot write", temporary));
    bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    std::string why = written ? std::string() : systemError("cannot write", temporary);
    if (::close(fd) != 0 && written) {
        written = false;
        why = systemError("cannot write", temporary);
    }
    if (!written) {
        std::filesystem::remove(temporary, ec);
        return fail(why);
    }
    if (::rename(temporary.c_str(), file->c_str()) != 0) {
        std::string message = systemError("cannot replace", *file);
        std::filesystem::remove(temporary, ec);
        return fail(message);
    }
    syncFolder(file->parent_path());
    return true;
}

bool StateFolder::writeJSON(const std::string& name, const nlohmann::json& value, std::string* error) const
{
    // Replaced bytes that are not UTF-8 rather than an exception: the state is always written.
    return writeBytes(name, value.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n", error);
}

bool StateFolder::remove(const std::string& name, std::string* error) const
{
    std::optional<std::filesystem::path> file = resolve(name);
    if (!file) {
        if (error)
            *error = "not a name within the state folder: " + name;
        return false;
    }
    std::error_code ec;
    std::filesystem::remove(*file, ec);
    if (ec) {
        if (error)
            *error = "cannot remove " + file->string() + ": " + ec.message();
        return false;
    }
    syncFolder(file->parent_path());
    return true;
}

std::vector<std::string> StateFolder::filesIn(const std::string& subfolder) const
{
    std::vector<std::string> names;
    StatePlace place = StatePlace::Top;
    std::optional<std::filesystem::path> dir = resolve(subfolder);
    std::error_code ec;
    if (!dir || !isStateSubfolder(subfolder, &place)
        || !std::filesystem::is_directory(std::filesystem::symlink_status(*dir, ec)))
        return names;
    for (auto it = std::filesystem::directory_iterator(*dir, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code statusError;
        std::filesystem::file_type type = it->symlink_status(statusError).type();
        if (!statusError && classify(place, name, type) == Entry::StateFile)
            names.push_back(subfolder + "/" + name);
    }
    return names;
}

}
