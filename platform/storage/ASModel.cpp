#include "platform/storage/ASModel.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/Log.h"
#include "platform/storage/ASConfigration.h"

#include <cmath>

namespace detail {

ASResult<std::shared_ptr<ASDatabase>> recordDatabase(const ASTableSchema& schema)
{
    auto database = ASConfigration::defaultDB();
    if (!database)
        return database;
    if (auto ready = (*database)->ensureTable(schema); !ready)
        return ASError { ready.error() };
    return database;
}

std::int64_t recordTimestamp()
{
    return static_cast<std::int64_t>(std::llround(Date::now().timeIntervalSince1970() * 1000.0));
}

void reportDamagedCell(const std::string& table, std::int64_t id, const std::string& column,
    ASValue::Kind found, ASColumnType expected)
{
    Log::write("[ASModel] " + table + " row " + std::to_string(id) + ": column \"" + column + "\" holds "
        + asValueKindName(found) + " where " + asColumnTypeName(expected)
        + " was expected; read as the default");
}

ASStatus defaultDatabaseTransaction(const std::function<ASStatus()>& body)
{
    auto database = ASConfigration::defaultDB();
    if (!database)
        return ASError { database.error() };
    return (*database)->transaction(body);
}

}
