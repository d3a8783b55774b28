#pragma once

#include "platform/storage/ASDatabase.h"
#include "platform/storage/ASQuery.h"
#include "platform/storage/ASResult.h"
#include "platform/storage/ASTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace detail {

// The default database with the record table made ready for use.
ASResult<std::shared_ptr<ASDatabase>> recordDatabase(const ASTableSchema& schema);
std::int64_t recordTimestamp();
void reportDamagedCell(const std::string& table, std::int64_t id, const std::string& column,
    ASValue::Kind found, ASColumnType expected);
ASStatus defaultDatabaseTransaction(const std::function<ASStatus()>& body);

}

// Base of the record classes. A record class is a plain struct of its columns plus a table
// declaration, for example:
//
//     struct Note : ASModel<Note> {
//         std::string text;
//         double weight = 1.0;
//         static const ASTable<Note>& table()
//         {
//             static const ASTable<Note> table { "Note", { { "text", &Note::text }, { "weight", &Note::weight
//             } } }; return table;
//         }
//     };
//
// Each record gets its own row identity "id" and the time stamps "created_at" and "updated_at"
// (milliseconds since 1970). Records live in the default database (ASConfigration); the table
// is created, or given its missing columns, on first use.
template<typename Derived> class ASModel {
public:
    // Absent until the record is saved (and again after it is deleted).
    std::optional<std::int64_t> id() const { return m_id; }
    std::int64_t createdAt() const { return m_createdAt; }
    std::int64_t updatedAt() const { return m_updatedAt; }

    // Inserts a new record, or writes every column of a stored one.
    ASStatus save()
    {
        if (m_id)
            return update();
        auto database = detail::recordDatabase(Derived::table().schema());
        if (!database)
            return ASError { database.error() };
        std::int64_t now = detail::recordTimestamp();
        ASValues cells = columnValues();
        cells["created_at"] = ASValue(static_cast<long long>(now));
        cells["updated_at"] = ASValue(static_cast<long long>(now));
        auto inserted = (*database)->insert(Derived::table().name(), cells);
        if (!inserted)
            return ASError { inserted.error() };
        m_id = *inserted;
        m_createdAt = now;
        m_updatedAt = now;
        return {};
    }

    // Writes every column of the stored row. A record that was never saved, or whose row is
    // gone, gives an error.
    ASStatus update()
    {
        if (!m_id)
            return ASError { "a new " + Derived::table().name() + " record has no row to update" };
        auto database = detail::recordDatabase(Derived::table().schema());
        if (!database)
            return ASError { database.error() };
        std::int64_t now = detail::recordTimestamp();
        ASValues cells = columnValues();
        cells["updated_at"] = ASValue(static_cast<long long>(now));
        auto changed = (*database)->update(Derived::table().name(), cells, idQuery(*m_id));
        if (!changed)
            return ASError { changed.error() };
        if (*changed == 0)
            return ASError { "no " + Derived::table().name() + " row with id " + std::to_string(*m_id) };
        m_updatedAt = now;
        return {};
    }

    // Deletes the stored row; the record counts as new afterwards. Deleting a row that is already
    // gone succeeds.
    ASStatus deleteRecord()
    {
        if (!m_id)
            return {};
        auto database = detail::recordDatabase(Derived::table().schema());
        if (!database)
            return ASError { database.error() };
        auto removed = (*database)->remove(Derived::table().name(), idQuery(*m_id));
        if (!removed)
            return ASError { removed.error() };
        m_id.reset();
        return {};
    }

    // Every record that passes the query's filters, in its order (else in the order stored).
    static ASResult<std::vector<Derived>> findAll(const ASQuery& query = ASQuery())
    {
        auto& table = Derived::table();
        auto database = detail::recordDatabase(table.schema());
        if (!database)
            return ASError { database.error() };
        std::vector<std::string> columns { "id" };
        for (auto& column : table.schema().columns)
            columns.push_back(column.name);
        auto rows = (*database)->select(table.name(), columns, query);
        if (!rows)
            return ASError { rows.error() };

        std::vector<Derived> records;
        records.reserve(rows->size());
        for (auto& row : *rows)
            records.push_back(fromRow(row));
        return records;
    }

    // Every record whose columns equal the given values.
    static ASResult<std::vector<Derived>> findAll(const ASValues& equalities)
    {
        return findAll(ASQuery::matching(equalities));
    }

    static ASResult<std::optional<Derived>> findFirst(const ASQuery& query)
    {
        ASQuery first = query;
        first.limit(1);
        auto found = findAll(first);
        if (!found)
            return ASError { found.error() };
        if (found->empty())
            return std::optional<Derived>();
        return std::optional<Derived>(std::move(found->front()));
    }

    static ASResult<std::optional<Derived>> findFirst(const ASValues& equalities)
    {
        return findFirst(ASQuery::matching(equalities));
    }

    // Deletes every record whose columns equal the given values (all records for an empty
    // map) and answers how many went.
    static ASResult<std::int64_t> deleteWhere(const ASValues& equalities)
    {
        auto database = detail::recordDatabase(Derived::table().schema());
        if (!database)
            return ASError { database.error() };
        return (*database)->remove(Derived::table().name(), ASQuery::matching(equalities));
    }

    static ASResult<std::int64_t> deleteAll() { return deleteWhere({}); }

    // Runs the body in one transaction of the default database; its writes are kept only when
    // it succeeds.
    static ASStatus transaction(const std::function<ASStatus()>& body)
    {
        return detail::defaultDatabaseTransaction(body);
    }

private:
    static ASQuery idQuery(std::int64_t id)
    {
        return ASQuery().equal("id", ASValue(static_cast<long long>(id)));
    }

    ASValues columnValues() const
    {
        ASValues cells;
        auto& self = static_cast<const Derived&>(*this);
        for (auto& field : Derived::table().fields())
            cells[field.name()] = field.read(self);
        return cells;
    }

    // Cells of the wrong kind (a damaged or foreign row) keep the record's default and go to the log.
    static Derived fromRow(const std::vector<ASValue>& row)
    {
        auto& table = Derived::table();
        Derived record;
        record.m_id = row[0].integer();
        auto& fields = table.fields();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (!fields[i].write(record, row[i + 1]))
                detail::reportDamagedCell(
                    table.name(), *record.m_id, fields[i].name(), row[i + 1].kind(), fields[i].type());
        }
        const ASValue& created = row[fields.size() + 1];
        const ASValue& updated = row[fields.size() + 2];
        record.m_createdAt = created.kind() == ASValue::Kind::Integer ? created.integer() : 0;
        record.m_updatedAt = updated.kind() == ASValue::Kind::Integer ? updated.integer() : 0;
        return record;
    }

    std::optional<std::int64_t> m_id;
    std::int64_t m_createdAt = 0;
    std::int64_t m_updatedAt = 0;
};
