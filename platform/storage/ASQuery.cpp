#include "platform/storage/ASQuery.h"

ASQuery ASQuery::matching(const ASValues& equalities)
{
    ASQuery query;
    for (auto& [column, value] : equalities)
        query.equal(column, value);
    return query;
}

ASQuery& ASQuery::equal(std::string column, ASValue value) &
{
    m_filters.push_back({ std::move(column), ASCompare::Equal, std::move(value) });
    return *this;
}

ASQuery& ASQuery::notEqual(std::string column, ASValue value) &
{
    m_filters.push_back({ std::move(column), ASCompare::NotEqual, std::move(value) });
    return *this;
}

ASQuery& ASQuery::orderBy(std::string column, ASDirection direction) &
{
    m_orders.push_back({ std::move(column), direction });
    return *this;
}

ASQuery& ASQuery::limit(std::int64_t count) &
{
    m_limit = count;
    return *this;
}

ASQuery ASQuery::equal(std::string column, ASValue value) &&
{
    equal(std::move(column), std::move(value));
    return std::move(*this);
}

ASQuery ASQuery::notEqual(std::string column, ASValue value) &&
{
    notEqual(std::move(column), std::move(value));
    return std::move(*this);
}

ASQuery ASQuery::orderBy(std::string column, ASDirection direction) &&
{
    orderBy(std::move(column), direction);
    return std::move(*this);
}

ASQuery ASQuery::limit(std::int64_t count) &&
{
    limit(count);
    return std::move(*this);
}
