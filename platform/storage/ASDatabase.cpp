#include "platform/storage/ASDatabase.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <sqlite3.h>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int busyTimeoutMilliseconds = 5000;
constexpr std::size_t maximumCachedStatements = 100;

bool isIdentifier(const std::string& name)
{
    if (name.empty() || name.size() > 128)
        return false;
    if (!std::isalpha(static_cast<unsigned char>(name[0])) && name[0] != '_')
        return false;
    return std::all_of(name.begin(), name.end(),
        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

std::string lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Only ever called with names that passed isIdentifier, so quoting cannot be escaped.
std::string quotedIdentifier(const std::string& identifier)
{
    return '"' + identifier + '"';
}

const char* sqlType(ASColumnType type)
{
    switch (type) {
    case ASColumnType::Integer:
    case ASColumnType::Bool:
        return "INTEGER";
    case ASColumnType::Real:
        return "REAL";
    case ASColumnType::Text:
        return "TEXT";
    }
    return "";
}

ASValue readCell(sqlite3_stmt* statement, int index)
{
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER:
        return ASValue(static_cast<long long>(sqlite3_column_int64(statement, index)));
    case SQLITE_FLOAT:
        return ASValue(sqlite3_column_double(statement, index));
    case SQLITE_TEXT: {
        auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
        int size = sqlite3_column_bytes(statement, index);
        return ASValue(std::string(text ? text : "", text ? static_cast<std::size_t>(size) : 0));
    }
    case SQLITE_BLOB: {
        auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, index));
        int size = sqlite3_column_bytes(statement, index);
        return ASValue(bytes ? Data(bytes, bytes + size) : Data());
    }
    default:
        return ASValue();
    }
}

bool isDamage(int rc)
{
    int primary = rc & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Runs the check on an open connection: the first row is "ok" for a sound file, else the first of
// the problems found.
ASIntegrity quickCheck(sqlite3* handle)
{
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(handle, "PRAGMA quick_check", -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        return isDamage(rc) ? ASIntegrity::Damaged : ASIntegrity::Unknown;
    }
    rc = sqlite3_step(statement);
    ASIntegrity verdict = ASIntegrity::Unknown;
    if (rc == SQLITE_ROW) {
        auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        verdict = text && std::string_view(text) == "ok" ? ASIntegrity::Intact : ASIntegrity::Damaged;
    } else if (isDamage(rc)) {
        verdict = ASIntegrity::Damaged;
    }
    sqlite3_finalize(statement);
    return verdict;
}

// Leaves a cached statement ready for its next use, whatever path the caller takes.
class StatementReset {
public:
    explicit StatementReset(sqlite3_stmt* statement)
        : m_statement(statement)
    { }
    ~StatementReset()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

private:
    sqlite3_stmt* m_statement;
};

}

void ASDatabase::StatementDeleter::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

ASResult<std::shared_ptr<ASDatabase>> ASDatabase::open(const std::string& path, ASOpenMode mode)
{
    if (path.empty())
        return ASError { "no database path given" };
    int flags
        = mode == ASOpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    flags |= SQLITE_OPEN_NOMUTEX;
    if (mode == ASOpenMode::ReadWrite && path != ":memory:") {
        // A new file is the owner's only (SQLite's own default lets everyone read it); its journal
        // files take the same mode from it.
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
        sqlite3_close(handle);
        return ASError { "cannot open database " + path + ": " + message };
    }
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, busyTimeoutMilliseconds);
    std::shared_ptr<ASDatabase> database(new ASDatabase(handle, path));

    // Both statements read the file header first, so a file that is not a database is refused
    // here, before anything could be written to it.
    ASStatus probe = mode == ASOpenMode::ReadOnly ? database->run("SELECT count(*) FROM sqlite_master")
                                                  : database->run("PRAGMA journal_mode=WAL");
    if (!probe)
        return ASError { "cannot use database " + path + ": " + probe.error() };
    // With WAL this keeps the file consistent on power loss; only the last commits may be lost.
    if (mode == ASOpenMode::ReadWrite)
        database->run("PRAGMA synchronous=NORMAL");
    return database;
}

ASDatabase::ASDatabase(sqlite3* handle, std::string path)
    : m_handle(handle)
    , m_path(std::move(path))
{ }

ASDatabase::~ASDatabase()
{
    m_statements.clear();
    sqlite3_close_v2(m_handle);
}

ASIntegrity ASDatabase::checkIntegrity()
{
    std::lock_guard guard(m_lock);
    return quickCheck(m_handle);
}

ASIntegrity ASDatabase::checkIntegrity(const std::string& path)
{
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    ASIntegrity verdict = rc == SQLITE_OK ? quickCheck(handle) : ASIntegrity::Unknown;
    sqlite3_close_v2(handle);
    return verdict;
}

ASError ASDatabase::failure(const std::string& what) const
{
    return ASError { what + ": " + sqlite3_errmsg(m_handle) };
}

ASResult<sqlite3_stmt*> ASDatabase::prepare(const std::string& sql)
{
    auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return found->second.get();
    // Statements are only held for the length of one call, so the cache can be dropped here;
    // it keeps a store that builds many different queries from growing without end.
    if (m_statements.size() >= maximumCachedStatements)
        m_statements.clear();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_handle, sql.c_str(), static_cast<int>(sql.size() + 1), &statement, nullptr)
        != SQLITE_OK) {
        sqlite3_finalize(statement);
        return failure("cannot prepare statement");
    }
    m_statements.emplace(sql, StatementPtr(statement));
    return statement;
}

ASStatus ASDatabase::bind(sqlite3_stmt* statement, const std::vector<ASValue>& values)
{
    int index = 1;
    for (auto& value : values) {
        int rc = SQLITE_OK;
        switch (value.kind()) {
        case ASValue::Kind::Null:
            rc = sqlite3_bind_null(statement, index);
            break;
        case ASValue::Kind::Integer:
            rc = sqlite3_bind_int64(statement, index, value.integer());
            break;
        case ASValue::Kind::Real:
            rc = sqlite3_bind_double(statement, index, value.real());
            break;
        case ASValue::Kind::Text:
            rc = sqlite3_bind_text64(
                statement, index, value.text().data(), value.text().size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        case ASValue::Kind::Blob:
            rc = sqlite3_bind_blob64(
                statement, index, value.blob().data(), value.blob().size(), SQLITE_TRANSIENT);
            break;
        }
        if (rc != SQLITE_OK)
            return failure("cannot bind value " + std::to_string(index));
        ++index;
    }
    return {};
}

ASStatus ASDatabase::run(const std::string& sql, const std::vector<ASValue>& values)
{
    auto statement = prepare(sql);
    if (!statement)
        return ASError { statement.error() };
    StatementReset reset(*statement);
    if (auto bound = bind(*statement, values); !bound)
        return bound;
    int rc;
    while ((rc = sqlite3_step(*statement)) == SQLITE_ROW) { }
    if (rc != SQLITE_DONE)
        return failure("statement failed");
    return {};
}

ASResult<std::set<std::string>> ASDatabase::loadColumns(const std::string& table)
{
    auto statement = prepare("SELECT name FROM pragma_table_info(?)");
    if (!statement)
        return ASError { statement.error() };
    StatementReset reset(*statement);
    if (auto bound = bind(*statement, { ASValue(table) }); !bound)
        return ASError { bound.error() };
    // SQLite matches column names without regard to case; so does the check against this set.
    std::set<std::string> columns;
    int rc;
    while ((rc = sqlite3_step(*statement)) == SQLITE_ROW)
        columns.insert(lowercase(readCell(*statement, 0).text()));
    if (rc != SQLITE_DONE)
        return failure("cannot read the columns of " + table);
    if (columns.empty())
        return ASError { "no table named " + table };
    return columns;
}

ASStatus ASDatabase::checkColumns(const std::string& table, const std::vector<std::string>& columns)
{
    if (!isIdentifier(table))
        return ASError { "invalid table name" };
    auto known = m_columns.find(table);
    if (known == m_columns.end()) {
        auto loaded = loadColumns(table);
        if (!loaded)
            return ASError { loaded.error() };
        known = m_columns.emplace(table, std::move(loaded.value())).first;
    }
    for (auto& column : columns) {
        if (!isIdentifier(column) || !known->second.contains(lowercase(column)))
            return ASError { "no column named \"" + column + "\" in table " + table };
    }
    return {};
}

ASStatus ASDatabase::ensureTable(const ASTableSchema& schema)
{
    std::lock_guard guard(m_lock);
    if (m_ensuredTables.contains(schema.name))
        return {};
    if (!isIdentifier(schema.name))
        return ASError { "invalid table name \"" + schema.name + "\"" };
    std::set<std::string> seen { "id" };
    for (auto& column : schema.columns) {
        if (!isIdentifier(column.name))
            return ASError { "invalid column name \"" + column.name + "\" in table " + schema.name };
        if (!seen.insert(lowercase(column.name)).second)
            return ASError { "column \"" + column.name + "\" declared twice (or reserved) in table "
                + schema.name };
    }
    for (auto& indexed : schema.indexedColumns) {
        if (!seen.contains(lowercase(indexed)))
            return ASError { "index on unknown column \"" + indexed + "\" in table " + schema.name };
    }

    return transaction([&]() -> ASStatus {
        std::string create = "CREATE TABLE IF NOT EXISTS " + quotedIdentifier(schema.name)
            + " (\"id\" INTEGER PRIMARY KEY AUTOINCREMENT";
        for (auto& column : schema.columns)
            create += ", " + quotedIdentifier(column.name) + " " + sqlType(column.type);
        create += ")";
        if (auto created = run(create); !created)
            return created;

        m_columns.erase(schema.name);
        auto existing = loadColumns(schema.name);
        if (!existing)
            return ASError { existing.error() };
        for (auto& column : schema.columns) {
            if (existing->contains(lowercase(column.name)))
                continue;
            std::string alter = "ALTER TABLE " + quotedIdentifier(schema.name) + " ADD COLUMN "
                + quotedIdentifier(column.name) + " " + sqlType(column.type);
            if (auto added = run(alter); !added)
                return added;
            std::string fill = "UPDATE " + quotedIdentifier(schema.name) + " SET "
                + quotedIdentifier(column.name) + " = ?";
            if (auto filled = run(fill, { column.defaultValue }); !filled)
                return filled;
        }
        for (auto& indexed : schema.indexedColumns) {
            std::string index = "CREATE INDEX IF NOT EXISTS " + quotedIdentifier(schema.name + "_" + indexed)
                + " ON " + quotedIdentifier(schema.name) + " (" + quotedIdentifier(indexed) + ")";
            if (auto made = run(index); !made)
                return made;
        }
        m_columns.erase(schema.name);
        m_ensuredTables.insert(schema.name);
        return {};
    });
}

std::string ASDatabase::whereClause(const ASQuery& query, std::vector<ASValue>& values) const
{
    std::string sql;
    for (auto& filter : query.filters()) {
        sql += sql.empty() ? " WHERE " : " AND ";
        sql += quotedIdentifier(filter.column) + (filter.compare == ASCompare::Equal ? " IS ?" : " IS NOT ?");
        values.push_back(filter.value);
    }
    return sql;
}

ASResult<std::int64_t> ASDatabase::insert(const std::string& table, const ASValues& values)
{
    std::lock_guard guard(m_lock);
    std::vector<std::string> columns;
    std::vector<ASValue> cells;
    for (auto& [column, value] : values) {
        columns.push_back(column);
        cells.push_back(value);
    }
    if (auto checked = checkColumns(table, columns); !checked)
        return ASError { checked.error() };

    std::string sql = "INSERT INTO " + quotedIdentifier(table);
    if (columns.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string names;
        std::string marks;
        for (auto& column : columns) {
            names += (names.empty() ? "" : ", ") + quotedIdentifier(column);
            marks += marks.empty() ? "?" : ", ?";
        }
        sql += " (" + names + ") VALUES (" + marks + ")";
    }
    if (auto done = run(sql, cells); !done)
        return ASError { done.error() };
    return static_cast<std::int64_t>(sqlite3_last_insert_rowid(m_handle));
}

ASResult<std::int64_t> ASDatabase::update(
    const std::string& table, const ASValues& values, const ASQuery& where)
{
    std::lock_guard guard(m_lock);
    if (values.empty())
        return ASError { "nothing to update" };
    if (where.rowLimit() || !where.orders().empty())
        return ASError { "an update takes no order or limit" };
    std::vector<std::string> columns;
    std::vector<ASValue> cells;
    std::string sets;
    for (auto& [column, value] : values) {
        columns.push_back(column);
        cells.push_back(value);
        sets += (sets.empty() ? "" : ", ") + quotedIdentifier(column) + " = ?";
    }
    for (auto& filter : where.filters())
        columns.push_back(filter.column);
    if (auto checked = checkColumns(table, columns); !checked)
        return ASError { checked.error() };

    std::string sql = "UPDATE " + quotedIdentifier(table) + " SET " + sets + whereClause(where, cells);
    if (auto done = run(sql, cells); !done)
        return ASError { done.error() };
    return static_cast<std::int64_t>(sqlite3_changes64(m_handle));
}

ASResult<std::int64_t> ASDatabase::remove(const std::string& table, const ASQuery& where)
{
    std::lock_guard guard(m_lock);
    if (where.rowLimit() || !where.orders().empty())
        return ASError { "a delete takes no order or limit" };
    std::vector<std::string> columns;
    for (auto& filter : where.filters())
        columns.push_back(filter.column);
    if (auto checked = checkColumns(table, columns); !checked)
        return ASError { checked.error() };

    std::vector<ASValue> cells;
    std::string sql = "DELETE FROM " + quotedIdentifier(table) + whereClause(where, cells);
    if (auto done = run(sql, cells); !done)
        return ASError { done.error() };
    return static_cast<std::int64_t>(sqlite3_changes64(m_handle));
}

ASResult<std::vector<std::vector<ASValue>>> ASDatabase::select(
    const std::string& table, const std::vector<std::string>& columns, const ASQuery& query)
{
    std::lock_guard guard(m_lock);
    if (columns.empty())
        return ASError { "no columns to select" };
    std::vector<std::string> referenced = columns;
    for (auto& filter : query.filters())
        referenced.push_back(filter.column);
    for (auto& order : query.orders())
        referenced.push_back(order.column);
    if (auto checked = checkColumns(table, referenced); !checked)
        return ASError { checked.error() };

    std::string names;
    for (auto& column : columns)
        names += (names.empty() ? "" : ", ") + quotedIdentifier(column);
    std::vector<ASValue> cells;
    std::string sql = "SELECT " + names + " FROM " + quotedIdentifier(table) + whereClause(query, cells);
    std::string order;
    for (auto& item : query.orders())
        order += (order.empty() ? " ORDER BY " : ", ") + quotedIdentifier(item.column)
            + (item.direction == ASDirection::Ascending ? " ASC" : " DESC");
    // Rows of equal sort keys, and every row without an order, keep the order they were stored in.
    if (m_columns[table].contains("id"))
        order += order.empty() ? " ORDER BY \"id\" ASC" : ", \"id\" ASC";
    sql += order;
    if (query.rowLimit()) {
        sql += " LIMIT ?";
        cells.push_back(ASValue(static_cast<long long>(*query.rowLimit())));
    }

    auto statement = prepare(sql);
    if (!statement)
        return ASError { statement.error() };
    StatementReset reset(*statement);
    if (auto bound = bind(*statement, cells); !bound)
        return ASError { bound.error() };
    std::vector<std::vector<ASValue>> rows;
    int rc;
    while ((rc = sqlite3_step(*statement)) == SQLITE_ROW) {
        std::vector<ASValue> row;
        row.reserve(columns.size());
        for (int i = 0; i < static_cast<int>(columns.size()); ++i)
            row.push_back(readCell(*statement, i));
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        return failure("cannot read " + table);
    return rows;
}

ASStatus ASDatabase::transaction(const std::function<ASStatus()>& body)
{
    std::lock_guard guard(m_lock);
    std::string savepoint = "\"as_transaction_" + std::to_string(m_transactionDepth) + "\"";
    if (auto begun = run("SAVEPOINT " + savepoint); !begun)
        return begun;
    ++m_transactionDepth;
    auto rollback = [&] {
        --m_transactionDepth;
        run("ROLLBACK TO " + savepoint);
        run("RELEASE " + savepoint);
        // A rolled-back ALTER TABLE may leave the cached schema knowledge wrong.
        m_columns.clear();
        m_ensuredTables.clear();
    };
    ASStatus result;
    try {
        result = body();
    } catch (...) {
        rollback();
        throw;
    }
    if (!result) {
        rollback();
        return result;
    }
    --m_transactionDepth;
    if (auto released = run("RELEASE " + savepoint); !released) {
        ++m_transactionDepth;
        rollback();
        return released;
    }
    return {};
}
