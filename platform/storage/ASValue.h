#pragma once

#include "platform/foundation/Data.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>

// The declared type of a record column. Bool is kept as an INTEGER 0 or 1.
enum class ASColumnType {
    Integer,
    Real,
    Text,
    Bool,
};

const char* asColumnTypeName(ASColumnType type);

// One cell of a row, mirroring SQLite's storage classes. Built from the C++ value
// explicitly so that a string literal never turns into a bool.
class ASValue {
public:
    enum class Kind {
        Null,
        Integer,
        Real,
        Text,
        Blob,
    };

    ASValue() = default;
    ASValue(std::nullptr_t) { }
    ASValue(int value)
        : m_value(std::int64_t { value })
    { }
    ASValue(long value)
        : m_value(std::int64_t { value })
    { }
    ASValue(long long value)
        : m_value(std::int64_t { value })
    { }
    ASValue(double value)
        : m_value(value)
    { }
    ASValue(bool value)
        : m_value(std::int64_t { value ? 1 : 0 })
    { }
    ASValue(const char* value)
        : m_value(std::string(value ? value : ""))
    { }
    ASValue(std::string value)
        : m_value(std::move(value))
    { }
    ASValue(std::string_view value)
        : m_value(std::string(value))
    { }
    ASValue(Data value)
        : m_value(std::move(value))
    { }

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool isNull() const { return kind() == Kind::Null; }

    // Accessors for a value of the matching kind; the wrong kind gives a neutral value.
    std::int64_t integer() const;
    double real() const;
    const std::string& text() const;
    const Data& blob() const;

    bool operator==(const ASValue&) const = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string, Data> m_value;
};

const char* asValueKindName(ASValue::Kind kind);

// Column name to value: the equality conditions of a query, or the cells of a write.
using ASValues = std::map<std::string, ASValue>;
