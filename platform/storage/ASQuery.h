#pragma once

#include "platform/storage/ASValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// How a filter compares its column with the value. Both compare NULL like any other
// value, so "state is not finish" also finds a row whose state is missing.
enum class ASCompare {
    Equal,
    NotEqual,
};

enum class ASDirection {
    Ascending,
    Descending,
};

struct ASFilter {
    std::string column;
    ASCompare compare = ASCompare::Equal;
    ASValue value;
};

struct ASOrder {
    std::string column;
    ASDirection direction = ASDirection::Ascending;
};

// The filters (joined with AND), the order and the row limit of a find or delete.
// Without an order the rows come in the order they were stored.
class ASQuery {
public:
    // Every column of the map must equal its value.
    static ASQuery matching(const ASValues& equalities);

    // Each adds to the query. On a temporary they give a new query by value, so a chain can be
    // kept in a variable of any kind without dangling.
    ASQuery& equal(std::string column, ASValue value) &;
    ASQuery equal(std::string column, ASValue value) &&;
    ASQuery& notEqual(std::string column, ASValue value) &;
    ASQuery notEqual(std::string column, ASValue value) &&;
    ASQuery& orderBy(std::string column, ASDirection direction = ASDirection::Ascending) &;
    ASQuery orderBy(std::string column, ASDirection direction = ASDirection::Ascending) &&;
    ASQuery& limit(std::int64_t count) &;
    ASQuery limit(std::int64_t count) &&;

    const std::vector<ASFilter>& filters() const { return m_filters; }
    const std::vector<ASOrder>& orders() const { return m_orders; }
    std::optional<std::int64_t> rowLimit() const { return m_limit; }

private:
    std::vector<ASFilter> m_filters;
    std::vector<ASOrder> m_orders;
    std::optional<std::int64_t> m_limit;
};
