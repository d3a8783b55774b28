#include "tools/testserver/StateFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace testserver {

namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

std::string systemError(const std::string& what, const std::filesystem::path& file)
{
    return what + " " + file.string() + ": " + std::strerror(errno);
}

// A descriptor of its own, closed with the object.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    Descriptor(Descriptor&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    { }
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

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

// The parts of a name below the folder; none for a name that would leave it or is no name.
std::optional<std::vector<std::string>> partsOf(const std::string& name)
{
    if (name.empty() || name.front() == '/' || name.find('\0') != std::string::npos)
        return std::nullopt;
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= name.size();) {
        std::size_t end = std::min(name.find('/', start), name.size());
        std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return std::nullopt;
        parts.push_back(std::move(part));
        start = end + 1;
    }
    return parts;
}

constexpr const char* kLinkMet = "it is a link, which the server never follows";

// Why an entry that is there is no file for the server to replace or remove.
std::string notAFile(mode_t mode)
{
    return S_ISLNK(mode) ? kLinkMet : "it is not a file";
}

// What a call on an entry that went wrong with `failure` met, said plainly where it is a link: the
// server goes through none.
std::string why(int folder, const std::string& leaf, int failure)
{
    struct stat info { };
    if (folder >= 0 && ::fstatat(folder, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISLNK(info.st_mode))
        return kLinkMet;
    return std::strerror(failure);
}

// The folder that holds the last part of a name, reached from the state folder one part at a time
// without following a link; each part made, and made private, when `make` is set.
struct Place {
    Descriptor owned; // none for the state folder itself
    int fd = -1;
    std::string leaf;
};

std::optional<Place> placeOf(
    int folder, const std::vector<std::string>& parts, bool make, int& failure, std::string& problem)
{
    Place place;
    place.fd = folder;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const char* part = parts[i].c_str();
        if (make && ::mkdirat(place.fd, part, kFolderMode) != 0 && errno != EEXIST) {
            failure = errno;
            problem = std::strerror(failure);
            return std::nullopt;
        }
        Descriptor next(::openat(place.fd, part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next || (make && ::fchmod(next.get(), kFolderMode) != 0)) {
            failure = errno;
            problem = parts[i] + ": " + why(place.fd, parts[i], failure);
            return std::nullopt;
        }
        place.owned = std::move(next);
        place.fd = place.owned.get();
    }
    place.leaf = parts.back();
    return place;
}

// What an entry of the folder is to the server, told by its place, its name and its type as it
// stands: a name of the server's taken by anything else (a link above all) is misplaced.
enum class Entry { StateFile, WritePiece, Subfolder, EarlierLock, Other, Misplaced };

Entry classify(StatePlace place, const std::string& name, mode_t mode)
{
    const bool top = place == StatePlace::Top;
    if (isStateFileName(place, name))
        return S_ISREG(mode) ? Entry::StateFile : Entry::Misplaced;
    if (isWritePieceName(place, name))
        return S_ISREG(mode) ? Entry::WritePiece : Entry::Misplaced;
    if (top && name == earlierLockFile)
        return S_ISREG(mode) ? Entry::EarlierLock : Entry::Misplaced;
    if (top && isStateSubfolder(name))
        return S_ISDIR(mode) ? Entry::Subfolder : Entry::Misplaced;
    return Entry::Other;
}

bool isOwn(Entry entry)
{
    return entry != Entry::Other && entry != Entry::Misplaced;
}

// The names directly in an open folder, by name, each with what it is as it stands (a link as a
// link); none, with the reason, when the folder cannot be gone through.
std::optional<std::vector<std::pair<std::string, struct stat>>> entriesOf(int folder, std::string& problem)
{
    // A descriptor of its own: the stream's position is not the folder's.
    Descriptor copy(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* stream = copy ? ::fdopendir(copy.get()) : nullptr;
    if (!stream) {
        problem = std::strerror(errno);
        return std::nullopt;
    }
    copy.release();
    std::unique_ptr<DIR, int (*)(DIR*)> closing(stream, ::closedir);
    std::vector<std::pair<std::string, struct stat>> entries;
    errno = 0;
    while (const dirent* entry = ::readdir(stream)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            struct stat info { };
            if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
                problem = name + ": " + std::strerror(errno);
                return std::nullopt;
            }
            entries.emplace_back(std::move(name), info);
        }
        errno = 0;
    }
    if (errno != 0) {
        problem = std::strerror(errno);
        return std::nullopt;
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return entries;
}

struct Listed {
    std::string name; // below the folder: "accounts.json", "uploads/avatar-7-1.png"
    Entry entry;
    mode_t mode; // its type and mode, as it stands
    uid_t owner;
};

// The entries at the top of the folder and in its own subfolders, nothing below anything else;
// none with a message when the folder cannot be gone through.
std::optional<std::vector<Listed>> list(int folder, const std::filesystem::path& dir, std::string* error)
{
    std::string problem;
    auto top = entriesOf(folder, problem);
    if (!top) {
        *error = "cannot go through the state folder " + dir.string() + ": " + problem;
        return std::nullopt;
    }
    std::vector<Listed> listed;
    for (const auto& [name, info] : *top) {
        listed.push_back({ name, classify(StatePlace::Top, name, info.st_mode), info.st_mode, info.st_uid });
        StatePlace place = StatePlace::Top;
        if (listed.back().entry != Entry::Subfolder || !isStateSubfolder(name, &place))
            continue;
        Descriptor subfolder(::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        auto below = subfolder ? entriesOf(subfolder.get(), problem) : std::nullopt;
        if (!subfolder)
            problem = std::strerror(errno);
        if (!below) {
            *error = "cannot go through the state folder " + (dir / name).string() + ": " + problem;
            return std::nullopt;
        }
        for (const auto& [child, childInfo] : *below)
            listed.push_back({ name + "/" + child, classify(place, child, childInfo.st_mode),
                childInfo.st_mode, childInfo.st_uid });
    }
    return listed;
}

// Why the folder is refused for a name of the server's that something else takes.
std::string misplaced(const std::filesystem::path& dir, const Listed& it)
{
    std::string what = S_ISLNK(it.mode) ? "a link, which the server never follows,"
        : S_ISDIR(it.mode)              ? "a folder"
                                        : "not a plain file";
    std::string own = isStateSubfolder(it.name) ? "a folder" : "a file";
    return "the state folder " + dir.string() + " is not taken: " + (dir / it.name).string() + " is " + what
        + " where the server keeps " + own + " of its own; the folder is left as it is";
}

}

struct StateFolder::Found {
    std::vector<Listed> listed;
    Descriptor earlierLock; // the lock file of servers before this one, locked, when there is one
};

StateFolder::StateFolder(std::filesystem::path dir, int folderLock, std::unique_ptr<Found> found)
    : m_dir(std::move(dir))
    , m_folder(folderLock)
    , m_found(std::move(found))
{
    for (const Listed& it : m_found->listed) {
        if (it.entry == Entry::Other) {
            m_other = m_dir / it.name;
            break;
        }
    }
}

StateFolder::~StateFolder()
{
    if (m_folder >= 0)
        ::close(m_folder);
}

std::shared_ptr<StateFolder> StateFolder::open(
    const std::filesystem::path& dir, std::string* error, bool* inUse)
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
    Descriptor folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder)
        return fail(systemError("cannot open the state folder", dir));
    auto inUseBy = [&](const std::string& who) {
        if (inUse)
            *inUse = true;
        return fail("the state folder " + dir.string() + " is in use by another server" + who);
    };
    if (::flock(folder.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            return fail(systemError("cannot lock the state folder", dir));
        return inUseBy("");
    }
    // A server of an earlier release locks its lock file instead, and makes it when it is missing:
    // honoured while it is there, so that neither runs beside the other. Never made here, nor
    // opened through a link (the look through the folder below refuses one).
    auto found = std::make_unique<Found>();
    found->earlierLock
        = Descriptor(::openat(folder.get(), earlierLockFile, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!found->earlierLock && errno != ENOENT && errno != ELOOP)
        return fail(systemError("cannot open the lock file", dir / earlierLockFile));
    if (found->earlierLock && ::flock(found->earlierLock.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            return fail(systemError("cannot lock", dir / earlierLockFile));
        return inUseBy(" (an earlier one holds " + (dir / earlierLockFile).string() + ")");
    }

    std::string problem;
    std::optional<std::vector<Listed>> listed = list(folder.get(), dir, &problem);
    if (!listed)
        return fail(problem);
    for (const Listed& it : *listed) {
        if (it.entry == Entry::Misplaced)
            return fail(misplaced(dir, it));
    }
    found->listed = std::move(*listed);
    auto opened = std::make_shared<StateFolder>(
        std::filesystem::absolute(dir, ec), folder.release(), std::move(found));
    // A folder given by mistake is left as it was. One that holds things of someone else's is the
    // server's only with the account book that every start writes first, which the start judges.
    const auto& entries = opened->m_found->listed;
    bool book = std::any_of(entries.begin(), entries.end(),
        [](const Listed& it) { return it.entry == Entry::StateFile && it.name == accountsStateFile; });
    if (opened->m_other && !book)
        return fail("the folder " + dir.string() + " is not a state folder: it holds "
            + opened->m_other->string()
            + " and no account book of this server, and is left as it is (give a new or empty folder)");
    return opened;
}

std::string StateFolder::refusal(const std::string& bookProblem) const
{
    if (!m_other)
        return bookProblem;
    return "the folder " + m_dir.string() + " is not a state folder: it holds " + m_other->string() + ", and "
        + bookProblem + "; it is left as it is (give a new or empty folder)";
}

void StateFolder::atTake(StartChange change) const
{
    {
        std::lock_guard lock(m_startMutex);
        if (!m_taken) {
            m_held.push_back(std::move(change));
            return;
        }
    }
    std::string error;
    if (!change(&error))
        std::fprintf(stderr, "testserver: state: %s\n", error.c_str());
}

bool StateFolder::take(std::string* error)
{
    auto fail = [error](std::string message) {
        if (error)
            *error = std::move(message);
        return false;
    };
    if (m_taken)
        return true;
    // Whatever is to be made private must be its owner's to make so, before anything changes.
    const uid_t me = ::geteuid();
    struct stat self { };
    if (::fstat(m_folder, &self) != 0)
        return fail(systemError("cannot look at the state folder", m_dir));
    for (const Listed& it : m_found->listed) {
        if (me != 0 && isOwn(it.entry) && it.owner != me)
            return fail("cannot make private " + (m_dir / it.name).string()
                + ": it is someone else's; the state folder is left as it is");
    }
    if (me != 0 && !m_other && self.st_uid != me)
        return fail("cannot make private the state folder " + m_dir.string() + ": it is someone else's");

    std::vector<StartChange> held;
    {
        std::lock_guard lock(m_startMutex);
        m_taken = true;
        held.swap(m_held);
    }
    for (const StartChange& change : held) {
        std::string why;
        if (!change(&why))
            return fail(why);
    }
    // Pieces that a write left behind when the server was killed halfway go; what stays of its own
    // is made its owner's alone (what a change above removed is no longer there to be).
    for (const Listed& it : m_found->listed) {
        if (!isOwn(it.entry))
            continue;
        const bool piece = it.entry == Entry::WritePiece;
        int failure = 0;
        std::string problem;
        std::optional<Place> place = placeOf(m_folder, *partsOf(it.name), false, failure, problem);
        if (place) {
            const char* leaf = place->leaf.c_str();
            const mode_t mode = it.entry == Entry::Subfolder ? kFolderMode : kFileMode;
            const bool done = piece ? ::unlinkat(place->fd, leaf, 0) == 0
                                    : ::fchmodat(place->fd, leaf, mode, AT_SYMLINK_NOFOLLOW) == 0;
            failure = done ? 0 : errno;
            problem = done ? std::string() : why(place->fd, place->leaf, failure);
        }
        if (failure != 0 && failure != ENOENT)
            return fail(std::string(piece ? "cannot remove " : "cannot make private ")
                + (m_dir / it.name).string() + ": " + problem);
    }
    // Shared with things of someone else's, the folder keeps the mode they have it in.
    if (!m_other && ::fchmod(m_folder, kFolderMode) != 0)
        return fail(systemError("cannot make private the state folder", m_dir));
    return true;
}

bool StateFolder::refusedBeforeTake(const std::string& name, std::string* error) const
{
    if (m_taken)
        return false;
    std::string message = "not changed: " + (m_dir / name).string()
        + " (the state folder is changed only once the start has read it whole)";
    std::fprintf(stderr, "testserver: state: %s\n", message.c_str());
    if (error)
        *error = std::move(message);
    return true;
}

StateFolder::Bytes StateFolder::readBytes(const std::string& name, std::size_t maxBytes) const
{
    Bytes result;
    auto fail = [&result](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        return result;
    };
    std::optional<std::vector<std::string>> parts = partsOf(name);
    if (!parts)
        return fail("not a name within the state folder: " + name);
    const std::filesystem::path file = m_dir / name;
    int failure = 0;
    std::string problem;
    std::optional<Place> place = placeOf(m_folder, *parts, false, failure, problem);
    if (!place)
        return failure == ENOENT ? result
                                 : fail("cannot read the state file " + file.string() + ": " + problem);
    Descriptor fd(::openat(place->fd, place->leaf.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT)
            return result;
        return fail(
            "cannot read the state file " + file.string() + ": " + why(place->fd, place->leaf, errno));
    }
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return fail("the state file " + file.string() + " is not a file");
    const std::string tooLarge
        = "the state file " + file.string() + " is larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes)
        return fail(tooLarge);
    std::string bytes;
    char buffer[65536];
    while (true) {
        ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(systemError("cannot read the state file", file));
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > maxBytes)
            return fail(tooLarge);
    }
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
    std::optional<std::vector<std::string>> parts = partsOf(name);
    if (!parts)
        return fail("not a name within the state folder: " + name);
    if (refusedBeforeTake(name, error))
        return false;
    const std::filesystem::path file = m_dir / name;
    int failure = 0;
    std::string problem;
    std::optional<Place> place = placeOf(m_folder, *parts, true, failure, problem);
    if (!place)
        return fail("cannot make the folder of " + file.string() + ": " + problem);
    // Renamed over, a link would be gone rather than followed; still, one that appeared there is
    // someone else's doing, and is left as it is.
    struct stat info { };
    if (::fstatat(place->fd, place->leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(info.st_mode))
        return fail("cannot write " + file.string() + ": " + notAFile(info.st_mode));

    static std::atomic<std::uint64_t> serial { 0 };
    const std::string piece = writePieceName(place->leaf, ::getpid(), ++serial);
    const std::filesystem::path temporary = writePieceName(file.string(), ::getpid(), serial);
    Descriptor fd(
        ::openat(place->fd, piece.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode));
    if (!fd)
        return fail(systemError("cannot write", temporary));
    bool written = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    std::string reason = written ? std::string() : systemError("cannot write", temporary);
    if (::close(fd.release()) != 0 && written) {
        written = false;
        reason = systemError("cannot write", temporary);
    }
    if (!written) {
        ::unlinkat(place->fd, piece.c_str(), 0);
        return fail(reason);
    }
    if (::renameat(place->fd, piece.c_str(), place->fd, place->leaf.c_str()) != 0) {
        std::string message = systemError("cannot replace", file);
        ::unlinkat(place->fd, piece.c_str(), 0);
        return fail(message);
    }
    // Flushes the folder's entries, so that the rename survives a crash of the machine.
    ::fsync(place->fd);
    return true;
}

bool StateFolder::writeJSON(const std::string& name, const nlohmann::json& value, std::string* error) const
{
    // Replaced bytes that are not UTF-8 rather than an exception: the state is always written.
    return writeBytes(
        name, value.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n", error);
}

bool StateFolder::remove(const std::string& name, std::string* error) const
{
    auto fail = [error](std::string message) {
        if (error)
            *error = std::move(message);
        return false;
    };
    std::optional<std::vector<std::string>> parts = partsOf(name);
    if (!parts)
        return fail("not a name within the state folder: " + name);
    if (refusedBeforeTake(name, error))
        return false;
    const std::filesystem::path file = m_dir / name;
    int failure = 0;
    std::string problem;
    std::optional<Place> place = placeOf(m_folder, *parts, false, failure, problem);
    if (!place)
        return failure == ENOENT || fail("cannot remove " + file.string() + ": " + problem);
    struct stat info { };
    if (::fstatat(place->fd, place->leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT || fail(systemError("cannot remove", file));
    if (!S_ISREG(info.st_mode))
        return fail("cannot remove " + file.string() + ": " + notAFile(info.st_mode));
    if (::unlinkat(place->fd, place->leaf.c_str(), 0) != 0 && errno != ENOENT)
        return fail(systemError("cannot remove", file));
    ::fsync(place->fd);
    return true;
}

std::vector<std::string> StateFolder::filesIn(const std::string& subfolder, std::string* error) const
{
    std::vector<std::string> names;
    StatePlace place = StatePlace::Top;
    if (!isStateSubfolder(subfolder, &place))
        return names;
    Descriptor dir(::openat(m_folder, subfolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    std::string problem;
    if (!dir)
        problem = errno == ENOENT ? std::string() : why(m_folder, subfolder, errno);
    auto entries = dir ? entriesOf(dir.get(), problem) : std::nullopt;
    if (!problem.empty() && error)
        *error = "cannot go through the state folder " + (m_dir / subfolder).string() + ": " + problem;
    if (!entries)
        return names;
    for (const auto& [name, info] : *entries) {
        if (classify(place, name, info.st_mode) == Entry::StateFile)
            names.push_back(subfolder + "/" + name);
    }
    return names;
}

}
