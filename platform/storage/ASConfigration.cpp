#include "platform/storage/ASConfigration.h"

#include <mutex>

namespace {

struct State {
    std::mutex lock;
    std::string path;
    std::string name;
    std::shared_ptr<ASDatabase> database;
};

State& state()
{
    static State instance;
    return instance;
}

}

void ASConfigration::setDefaultDB(const std::string& path, const std::string& name)
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    if (path != s.path)
        s.database.reset();
    s.path = path;
    s.name = name;
}

std::string ASConfigration::defaultDBPath()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    return s.path;
}

std::string ASConfigration::defaultDBName()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    return s.name;
}

ASResult<std::shared_ptr<ASDatabase>> ASConfigration::defaultDB()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    if (s.database)
        return s.database;
    if (s.path.empty())
        return ASError { "no default database has been set" };
    auto opened = ASDatabase::open(s.path);
    if (!opened)
        return opened;
    s.database = opened.value();
    return s.database;
}

void ASConfigration::closeDefaultDB()
{
    std::shared_ptr<ASDatabase> closing;
    {
        auto& s = state();
        std::lock_guard guard(s.lock);
        closing = std::move(s.database);
    }
}
