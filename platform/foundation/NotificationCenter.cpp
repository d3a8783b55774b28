#include "platform/foundation/NotificationCenter.h"

#include <algorithm>

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(
    std::string name, Handler handler, const void* owner, ObjectFilter filter)
{
    auto observer = std::make_shared<Observer>();
    observer->name = std::move(name);
    observer->owner = owner;
    observer->filter = std::move(filter);
    observer->handler = std::move(handler);
    std::lock_guard lock(m_mutex);
    observer->id = m_nextId++;
    m_observers.push_back(observer);
    return Token(observer->id);
}

void NotificationCenter::removeObserver(Token token)
{
    if (!token)
        return;
    std::lock_guard lock(m_mutex);
    std::erase_if(m_observers, [&](const std::shared_ptr<Observer>& observer) {
        if (observer->id != token.m_id)
            return false;
        observer->active = false;
        return true;
    });
}

void NotificationCenter::removeObservers(const void* owner)
{
    if (!owner)
        return;
    std::lock_guard lock(m_mutex);
    std::erase_if(m_observers, [&](const std::shared_ptr<Observer>& observer) {
        if (observer->owner != owner)
            return false;
        observer->active = false;
        return true;
    });
}

std::vector<NotificationCenter::ObserverRecord> NotificationCenter::observers()
{
    std::lock_guard lock(m_mutex);
    std::vector<ObserverRecord> records;
    records.reserve(m_observers.size());
    for (const auto& observer : m_observers)
        records.push_back({ Token(observer->id), observer->name, observer->owner });
    return records;
}

void NotificationCenter::post(const Notification& notification)
{
    std::vector<std::shared_ptr<Observer>> targets;
    {
        std::lock_guard lock(m_mutex);
        for (auto& observer : m_observers) {
            if (observer->name == notification.name)
                targets.push_back(observer);
        }
    }
    // The snapshot keeps each handler alive while it runs, even when it removes itself.
    for (auto& observer : targets) {
        if (!observer->active)
            continue;
        if (observer->filter && !observer->filter(notification.object))
            continue;
        observer->handler(notification);
    }
}

void NotificationCenter::post(std::string name, std::any object, std::map<std::string, std::any> userInfo)
{
    post(Notification { std::move(name), std::move(object), std::move(userInfo) });
}
