#pragma once

#include "platform/storage/ASQuery.h"
#include "platform/storage/ASResult.h"
#include "platform/storage/ASValue.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

struct ASColumn {
    std::string name;
    ASColumnType type = ASColumnType::Text;
    ASValue defaultValue;
};

// A record table: its own integer key "id" plus the declared columns. Indexed columns get an
// index of their own, so finding and ordering by them does not read the whole table.
struct ASTableSchema {
    std::string name;
    std::vector<ASColumn> columns;
    std::vector<std::string> indexedColumns;
};

enum class ASOpenMode {
    ReadWrite,
    ReadOnly,
};

// What SQLite's own check finds in a database file.
enum class ASIntegrity {
    Intact,
    Damaged, // pages, their links or the header are wrong; the file cannot be trusted
    Unknown, // the check could not run (permissions, I/O, a lock): nothing is known of damage
};

// One SQLite connection. Every statement binds its values; table and column names must be
// plain identifiers and must exist in the table, so nothing from a caller is pasted into SQL.
// Calls from several threads are serialised; a transaction holds the connection for its thread.
class ASDatabase {
public:
    // Opens (and for ReadWrite creates, owner-only) the file, in WAL mode with a busy timeout. A
    // file that is not an SQLite database gives an error and is left untouched.
    static ASResult<std::shared_ptr<ASDatabase>> open(
        const std::string& path, ASOpenMode mode = ASOpenMode::ReadWrite);
    ~ASDatabase();
    ASDatabase(const ASDatabase&) = delete;
    ASDatabase& operator=(const ASDatabase&) = delete;

    const std::string& path() const { return m_path; }

    // Checks every page of the file and its indexes (PRAGMA quick_check); its time grows with the
    // size of the file.
    ASIntegrity checkIntegrity();
    // The same for a file that would not open for use, through a read-only connection of its own.
    static ASIntegrity checkIntegrity(const std::string& path);

    // Creates the table when missing, or adds the columns an existing table lacks (old rows get
    // the column's default), and the missing indexes. Checked once per table and connection.
    ASStatus ensureTable(const ASTableSchema& schema);

    // The id of the new row.
    ASResult<std::int64_t> insert(const std::string& table, const ASValues& values);
    // The number of rows changed.
    ASResult<std::int64_t> update(const std::string& table, const ASValues& values, const ASQuery& where);
    // The number of rows deleted; an empty query deletes every row.
    ASResult<std::int64_t> remove(const std::string& table, const ASQuery& where);
    // The cells of the given columns, row by row. Rows of a table with an "id" column come in id
    // order (the order they were stored) within the query's own order.
    ASResult<std::vector<std::vector<ASValue>>> select(
        const std::string& table, const std::vector<std::string>& columns, const ASQuery& query);

    // Runs the body in a transaction (a savepoint when nested) and keeps its writes only when it
    // succeeds.
    ASStatus transaction(const std::function<ASStatus()>& body);

private:
    ASDatabase(sqlite3* handle, std::string path);

    struct StatementDeleter {
        void operator()(sqlite3_stmt* statement) const;
    };
    using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

    ASResult<sqlite3_stmt*> prepare(const std::string& sql);
    ASStatus bind(sqlite3_stmt* statement, const std::vector<ASValue>& values);
    ASStatus run(const std::string& sql, const std::vector<ASValue>& values = {});
    ASStatus checkColumns(const std::string& table, const std::vector<std::string>& columns);
    ASResult<std::set<std::string>> loadColumns(const std::string& table);
    std::string whereClause(const ASQuery& query, std::vector<ASValue>& values) const;
    ASError failure(const std::string& what) const;

    sqlite3* m_handle = nullptr;
    std::string m_path;
    std::recursive_mutex m_lock;
    std::map<std::string, StatementPtr> m_statements;
    std::map<std::string, std::set<std::string>> m_columns;
    std::set<std::string> m_ensuredTables;
    int m_transactionDepth = 0;
};
