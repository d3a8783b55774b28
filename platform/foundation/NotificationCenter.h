#pragma once

#include <any>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// One notification: its name, the object it is about (any type, empty for none) and details.
struct Notification {
    std::string name;
    std::any object;
    std::map<std::string, std::any> userInfo;
};

// In-process broadcast of named notifications.
//
// Delivery is synchronous on the posting thread, in the order the observers were added.
// The observers a post reaches are fixed when it starts: one added during the post does not get
// that notification; one removed during the post (also by itself, or from another thread) is not
// called after its removal. Posting from inside an observer is allowed. Thread-safe.
//
// An observer added with an owner belongs to that object and must be removed when it goes;
// observers of process-long objects (singletons) are added without an owner.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;
    // Decides from the posted object whether an observer wants the notification.
    using ObjectFilter = std::function<bool(const std::any& object)>;

    class Token {
    public:
        Token() = default;
        explicit operator bool() const { return m_id != 0; }
        bool operator==(const Token&) const = default;

    private:
        friend class NotificationCenter;
        explicit Token(std::uint64_t id)
            : m_id(id)
        { }
        std::uint64_t m_id = 0;
    };

    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // `owner` tags the observer for removeObservers(owner); null for none.
    Token addObserver(
        std::string name, Handler handler, const void* owner = nullptr, ObjectFilter filter = {});
    void removeObserver(Token token);
    // Removes every observer added with this owner (none for a null owner).
    void removeObservers(const void* owner);

    // What is registered, oldest first (tests look for observers that outlived their owner).
    struct ObserverRecord {
        Token token;
        std::string name;
        const void* owner = nullptr;
    };
    std::vector<ObserverRecord> observers();

    void post(const Notification& notification);
    void post(std::string name, std::any object = {}, std::map<std::string, std::any> userInfo = {});

    // A filter passing only notifications whose object is `object`: posted as T*, const T*,
    // std::shared_ptr<T> or std::weak_ptr<T>.
    template<class T> static ObjectFilter matchingObject(const T* object)
    {
        return [object](const std::any& posted) {
            if (auto* pointer = std::any_cast<T*>(&posted))
                return *pointer == object;
            if (auto* pointer = std::any_cast<const T*>(&posted))
                return *pointer == object;
            if (auto* shared = std::any_cast<std::shared_ptr<T>>(&posted))
                return shared->get() == object;
            if (auto* weak = std::any_cast<std::weak_ptr<T>>(&posted))
                return weak->lock().get() == object;
            return false;
        };
    }

private:
    struct Observer {
        std::uint64_t id;
        std::string name;
        const void* owner;
        ObjectFilter filter;
        Handler handler;
        std::atomic<bool> active { true };
    };

    std::mutex m_mutex;
    std::uint64_t m_nextId = 1;
    std::vector<std::shared_ptr<Observer>> m_observers;
};
