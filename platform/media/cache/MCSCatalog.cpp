#include "platform/media/cache/MCSCatalog.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"

#include <fcntl.h>
#include <set>
#include <sqlite3.h>
#include <unistd.h>

namespace {

constexpr int busyTimeoutMilliseconds = 2000;

bool isDamage(int rc)
{
    int primary = rc & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

Statement prepare(sqlite3* handle, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) != SQLITE_OK)
        return nullptr;
    return Statement(statement);
}

std::string columnText(sqlite3_stmt* statement, int index)
{
    auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, index)))
                : std::string();
}

// The check's findings come a line each; the log takes them on one, and not all of a long list.
std::string oneLine(const std::string& text)
{
    constexpr std::size_t maxLength = 240;
    std::string line;
    for (char c : text) {
        if (c == '\n')
            line += "; ";
        else if (c != '\r')
            line += c;
    }
    if (line.size() > maxLength) {
        line.resize(maxLength);
        line += "...";
    }
    return line;
}

struct Attempt {
    sqlite3* handle = nullptr;
    bool damaged = false;
    std::string message;
};

Attempt fail(sqlite3* handle, int rc, std::string what)
{
    Attempt attempt;
    attempt.damaged = isDamage(rc);
    attempt.message = std::move(what);
    // The connection's message only when it tells of this failure ("not an error" tells nothing).
    int code = handle ? sqlite3_errcode(handle) : rc;
    if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE)
        attempt.message += std::string(": ") + (handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
    sqlite3_close_v2(handle);
    return attempt;
}

// Opens, checks and prepares the file; tells damage apart from other failures.
Attempt attemptOpen(const std::filesystem::path& file)
{
    // What the viewer downloaded is the owner's only, as the other stored files are (SQLite's own
    // default lets everyone read a new file); its journal files take the same mode from it.
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        return fail(handle, rc, "cannot open");
    sqlite3_busy_timeout(handle, busyTimeoutMilliseconds);
    rc = sqlite3_exec(handle, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return fail(handle, rc, "cannot switch to WAL");

    Statement check = prepare(handle, "PRAGMA quick_check");
    if (!check)
        return fail(handle, sqlite3_errcode(handle), "cannot check");
    rc = sqlite3_step(check.get());
    if (rc != SQLITE_ROW)
        return fail(handle, rc, "cannot check");
    std::string verdict = columnText(check.get(), 0);
    check.reset();
    if (verdict != "ok") {
        // Not the connection's error: the check ran, and what it found is the reason.
        sqlite3_close_v2(handle);
        return Attempt { nullptr, true, "its integrity check found: " + oneLine(verdict) };
    }

    rc = sqlite3_exec(handle,
        "CREATE TABLE IF NOT EXISTS \"MCSAssetExporter\" ("
        "\"id\" INTEGER PRIMARY KEY AUTOINCREMENT, "
        "\"URLString\" TEXT NOT NULL UNIQUE, "
        "\"name\" TEXT NOT NULL, "
        "\"status\" INTEGER NOT NULL DEFAULT 0, "
        "\"progress\" REAL NOT NULL DEFAULT 0)",
        nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return fail(handle, rc, "cannot create the table");

    std::set<std::string> columns;
    if (Statement info = prepare(handle, "PRAGMA table_info(\"MCSAssetExporter\")")) {
        while (sqlite3_step(info.get()) == SQLITE_ROW)
            columns.insert(columnText(info.get(), 1));
    }
    for (const char* required : { "URLString", "name", "status", "progress" }) {
        if (!columns.contains(required))
            return fail(handle, SQLITE_CORRUPT, std::string("the table lacks the column ") + required);
    }
    sqlite3_exec(handle, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    // The log is folded back after every change, so the next one writes over the log's pages
    // rather than growing it: a status written when the disk has filled (the failure that a full
    // disk causes) needs no room that the disk no longer has.
    sqlite3_exec(handle, "PRAGMA wal_autocheckpoint=1", nullptr, nullptr, nullptr);
    return Attempt { handle, false, {} };
}

// Keeps a damaged file for inspection, with its log; the shared-memory index is rebuilt from
// nothing. Says where it went, for the one line that reports the damage.
std::string moveDamagedAside(const std::filesystem::path& file)
{
    auto moved = FileSystem::moveAside(file);
    std::filesystem::path wal = file;
    wal += "-wal";
    if (FileSystem::exists(wal))
        FileSystem::moveAside(wal);
    std::filesystem::path shm = file;
    shm += "-shm";
    FileSystem::remove(shm);
    return moved ? "it is kept as " + moved->string() + " and a new catalogue is started"
                 : std::string("it could not be moved aside and is left as it is");
}

}

std::unique_ptr<MCSCatalog> MCSCatalog::open(const std::filesystem::path& file)
{
    FileSystem::createOwnerOnlyDirectories(file.parent_path());
    Attempt attempt = attemptOpen(file);
    if (!attempt.handle && attempt.damaged) {
        std::string kept = moveDamagedAside(file);
        Log::write("MCSCatalog: " + file.string() + " is damaged (" + attempt.message + "); " + kept);
        if (FileSystem::exists(file))
            return nullptr;
        attempt = attemptOpen(file);
    }
    if (!attempt.handle) {
        Log::write("MCSCatalog: " + file.string() + " is unavailable: " + attempt.message);
        return nullptr;
    }
    // A catalogue an older version left open to others is narrowed.
    for (const char* suffix : { "", "-wal", "-shm" }) {
        std::filesystem::path path = file;
        path += suffix;
        if (FileSystem::exists(path))
            FileSystem::restrictToOwner(path);
    }
    return std::unique_ptr<MCSCatalog>(new MCSCatalog(attempt.handle));
}

MCSCatalog::MCSCatalog(sqlite3* handle)
    : m_handle(handle)
{ }

MCSCatalog::~MCSCatalog()
{
    sqlite3_close_v2(m_handle);
}

std::vector<MCSCatalogEntry> MCSCatalog::entries()
{
    std::vector<MCSCatalogEntry> rows;
    Statement select = prepare(m_handle,
        "SELECT \"URLString\", \"name\", \"status\", \"progress\" FROM \"MCSAssetExporter\" ORDER BY \"id\"");
    if (!select)
        return rows;
    while (sqlite3_step(select.get()) == SQLITE_ROW) {
        MCSCatalogEntry entry;
        entry.URLString = columnText(select.get(), 0);
        entry.name = columnText(select.get(), 1);
        sqlite3_int64 status = sqlite3_column_int64(select.get(), 2);
        entry.status = status >= 0 && status <= 5 ? static_cast<unsigned>(status) : 0;
        entry.progress = sqlite3_column_double(select.get(), 3);
        rows.push_back(std::move(entry));
    }
    return rows;
}

bool MCSCatalog::insert(const MCSCatalogEntry& entry)
{
    Statement statement = prepare(m_handle,
        "INSERT OR REPLACE INTO \"MCSAssetExporter\" (\"URLString\", \"name\", \"status\", \"progress\") "
        "VALUES (?, ?, ?, ?)");
    if (!statement)
        return false;
    sqlite3_bind_text(statement.get(), 1, entry.URLString.c_str(), static_cast<int>(entry.URLString.size()),
        SQLITE_TRANSIENT);
    sqlite3_bind_text(
        statement.get(), 2, entry.name.c_str(), static_cast<int>(entry.name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(statement.get(), 3, entry.status);
    sqlite3_bind_double(statement.get(), 4, entry.progress);
    return sqlite3_step(statement.get()) == SQLITE_DONE;
}

bool MCSCatalog::update(const std::string& URLString, unsigned status, double progress)
{
    Statement statement = prepare(
        m_handle, "UPDATE \"MCSAssetExporter\" SET \"status\" = ?, \"progress\" = ? WHERE \"URLString\" = ?");
    if (!statement)
        return false;
    sqlite3_bind_int64(statement.get(), 1, status);
    sqlite3_bind_double(statement.get(), 2, progress);
    sqlite3_bind_text(
        statement.get(), 3, URLString.c_str(), static_cast<int>(URLString.size()), SQLITE_TRANSIENT);
    return sqlite3_step(statement.get()) == SQLITE_DONE;
}

bool MCSCatalog::remove(const std::string& URLString)
{
    Statement statement = prepare(m_handle, "DELETE FROM \"MCSAssetExporter\" WHERE \"URLString\" = ?");
    if (!statement)
        return false;
    sqlite3_bind_text(
        statement.get(), 1, URLString.c_str(), static_cast<int>(URLString.size()), SQLITE_TRANSIENT);
    return sqlite3_step(statement.get()) == SQLITE_DONE;
}

std::string MCSCatalog::lastError() const
{
    return sqlite3_errmsg(m_handle);
}
