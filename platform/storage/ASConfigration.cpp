#include "platform/storage/ASConfigration.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"

#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <unistd.h>

namespace {

struct State {
    std::mutex lock;
    std::string path;
    std::string name;
    std::shared_ptr<ASDatabase> database;
    std::string reportedFailure; // the path whose failed open is on the log already
};

// A file that can be read and is neither empty (a new database) nor starts with SQLite's header.
// One that cannot be read is not known to be damaged and is left alone.
bool isDamagedDatabase(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    static constexpr char header[] = "SQLite format 3";
    char start[sizeof header] = {};
    ssize_t got = ::read(fd, start, sizeof start);
    ::close(fd);
    if (got < 0)
        return false;
    return got > 0
        && (got < static_cast<ssize_t>(sizeof start) || std::memcmp(start, header, sizeof header) != 0);
}

// The damaged file and its journals go aside together: a journal of the old file must not be
// replayed into the new one.
std::optional<std::filesystem::path> setAside(const std::string& path)
{
    auto aside = FileSystem::moveAside(path);
    if (!aside)
        return std::nullopt;
    for (const char* suffix : { "-wal", "-shm", "-journal" }) {
        std::filesystem::path journal = path + suffix;
        if (FileSystem::exists(journal)) {
            std::filesystem::path target = *aside;
            target += suffix;
            if (::rename(journal.c_str(), target.c_str()) != 0)
                FileSystem::remove(journal);
        }
    }
    return aside;
}

State& state()
{
    static State instance;
    return instance;
}

}

void ASConfigration::setDefaultDB(const std::string& path, const std::string& name)
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    if (path != s.path)
        s.database.reset();
    s.path = path;
    s.name = name;
}

std::string ASConfigration::defaultDBPath()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    return s.path;
}

std::string ASConfigration::defaultDBName()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    return s.name;
}

ASResult<std::shared_ptr<ASDatabase>> ASConfigration::defaultDB()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    if (s.database)
        return s.database;
    if (s.path.empty())
        return ASError { "no default database has been set" };
    auto opened = ASDatabase::open(s.path);
    // A header alone says little: a file cut short or with broken pages opens, and then fails
    // every read. The whole file is checked once per opening (the records are few).
    bool damaged = opened
        ? (*opened)->checkIntegrity() == ASIntegrity::Damaged
        : isDamagedDatabase(s.path) || ASDatabase::checkIntegrity(s.path) == ASIntegrity::Damaged;
    if (damaged) {
        opened = ASError { "the database is damaged" };
        if (auto aside = setAside(s.path)) {
            Log::write("ASConfigration: damaged database " + s.path + " moved to " + aside->string()
                + "; a new one is started");
            opened = ASDatabase::open(s.path);
        }
    }
    if (!opened) {
        // Once per path: every record call of the run would repeat it.
        if (s.reportedFailure != s.path)
            Log::write(
                "ASConfigration: " + opened.error() + "; records are not kept, the file is left as it is");
        s.reportedFailure = s.path;
        return opened;
    }
    // The records are the viewer's: a file an older version left open to others is narrowed.
    for (const char* suffix : { "", "-wal", "-shm" })
        FileSystem::restrictToOwner(s.path + suffix);
    s.database = opened.value();
    return s.database;
}

void ASConfigration::closeDefaultDB()
{
    std::shared_ptr<ASDatabase> closing;
    {
        auto& s = state();
        std::lock_guard guard(s.lock);
        closing = std::move(s.database);
    }
}
