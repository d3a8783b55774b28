#pragma once

#include "platform/storage/ASDatabase.h"
#include "platform/storage/ASValue.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

// One column of a record class: its name and the member that holds it. The column's type
// follows from the member's type, so a column cannot be declared with the wrong one.
template<typename Record> class ASField {
public:
    ASField(std::string name, std::string Record::*member)
        : m_name(std::move(name))
        , m_member(member)
    { }
    ASField(std::string name, double Record::*member)
        : m_name(std::move(name))
        , m_member(member)
    { }
    ASField(std::string name, std::int64_t Record::*member)
        : m_name(std::move(name))
        , m_member(member)
    { }
    ASField(std::string name, bool Record::*member)
        : m_name(std::move(name))
        , m_member(member)
    { }

    const std::string& name() const { return m_name; }

    ASColumnType type() const
    {
        static constexpr ASColumnType types[]
            = { ASColumnType::Text, ASColumnType::Real, ASColumnType::Integer, ASColumnType::Bool };
        return types[m_member.index()];
    }

// GCC cannot see which member a member pointer names and warns about reading padding of the
// freshly built record in ASTable; every member read here is initialised.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
    ASValue read(const Record& record) const
    {
        switch (m_member.index()) {
        case 0:
            return ASValue(record.*std::get<0>(m_member));
        case 1:
            return ASValue(record.*std::get<1>(m_member));
        case 2:
            return ASValue(record.*std::get<2>(m_member));
        case 3:
            return ASValue(record.*std::get<3>(m_member));
        }
        return ASValue();
    }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

    // Stores a cell of a fitting kind and answers true; any other cell leaves the member as it is.
    bool write(Record& record, const ASValue& cell) const
    {
        using Kind = ASValue::Kind;
        switch (m_member.index()) {
        case 0:
            if (cell.kind() != Kind::Text)
                return false;
            record.*std::get<0>(m_member) = cell.text();
            return true;
        case 1:
            if (cell.kind() != Kind::Real && cell.kind() != Kind::Integer)
                return false;
            record.*std::get<1>(m_member) = cell.real();
            return true;
        case 2:
            if (cell.kind() != Kind::Integer)
                return false;
            record.*std::get<2>(m_member) = cell.integer();
            return true;
        case 3:
            if (cell.kind() != Kind::Integer)
                return false;
            record.*std::get<3>(m_member) = cell.integer() != 0;
            return true;
        }
        return false;
    }

private:
    std::string m_name;
    std::variant<std::string Record::*, double Record::*, std::int64_t Record::*, bool Record::*> m_member;
};

// The table of a record class: its name, its columns and the columns to index. The column
// defaults are the values of a newly constructed record, so they are written once, as member
// initialisers.
template<typename Record> class ASTable {
public:
    ASTable(std::string name, std::initializer_list<ASField<Record>> fields,
        std::vector<std::string> indexedColumns = {})
        : m_fields(fields)
    {
        m_schema.indexedColumns = std::move(indexedColumns);
        const Record fresh = Record();
        m_schema.name = std::move(name);
        for (auto& field : m_fields)
            m_schema.columns.push_back({ field.name(), field.type(), field.read(fresh) });
        m_schema.columns.push_back({ "created_at", ASColumnType::Integer, ASValue(0) });
        m_schema.columns.push_back({ "updated_at", ASColumnType::Integer, ASValue(0) });
    }

    const std::string& name() const { return m_schema.name; }
    const std::vector<ASField<Record>>& fields() const { return m_fields; }
    // The declared columns plus the bookkeeping columns "created_at" and "updated_at".
    const ASTableSchema& schema() const { return m_schema; }

private:
    std::vector<ASField<Record>> m_fields;
    ASTableSchema m_schema;
};
