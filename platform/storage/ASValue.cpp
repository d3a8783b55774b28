#include "platform/storage/ASValue.h"

const char* asColumnTypeName(ASColumnType type)
{
    switch (type) {
    case ASColumnType::Integer:
        return "integer";
    case ASColumnType::Real:
        return "real";
    case ASColumnType::Text:
        return "text";
    case ASColumnType::Bool:
        return "bool";
    }
    return "unknown";
}

const char* asValueKindName(ASValue::Kind kind)
{
    switch (kind) {
    case ASValue::Kind::Null:
        return "null";
    case ASValue::Kind::Integer:
        return "integer";
    case ASValue::Kind::Real:
        return "real";
    case ASValue::Kind::Text:
        return "text";
    case ASValue::Kind::Blob:
        return "blob";
    }
    return "unknown";
}

std::int64_t ASValue::integer() const
{
    if (auto* value = std::get_if<std::int64_t>(&m_value))
        return *value;
    return 0;
}

double ASValue::real() const
{
    if (auto* value = std::get_if<double>(&m_value))
        return *value;
    if (auto* value = std::get_if<std::int64_t>(&m_value))
        return static_cast<double>(*value);
    return 0.0;
}

const std::string& ASValue::text() const
{
    static const std::string empty;
    if (auto* value = std::get_if<std::string>(&m_value))
        return *value;
    return empty;
}

const Data& ASValue::blob() const
{
    static const Data empty;
    if (auto* value = std::get_if<Data>(&m_value))
        return *value;
    return empty;
}
