#pragma once

#include "platform/foundation/UserDefaults.h"

#include <concepts>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

// Typed keys of the standard defaults store. A key type derives from UserDefaultSettable<Self> and
// provides `static constexpr std::string_view typeName` and `std::string_view rawValue() const`;
// the key string of a case is the type name, a full stop and the raw value ("StoreData.pureMode").
// Nothing is cached: every read goes to the store and sees the last write.
template<class Key> class UserDefaultSettable {
public:
    std::string key() const
    {
        std::string key(Key::typeName);
        key += '.';
        key += static_cast<const Key&>(*this).rawValue();
        return key;
    }

    // The stored value; none when nothing is stored.
    static std::optional<PropertyList> value(const Key& key) { return store().objectForKey(key.key()); }

    // Stores the value; no value removes the entry.
    static void set(const PropertyList& value, const Key& key) { store().set(value, key.key()); }
    static void set(std::nullopt_t, const Key& key) { remove(key); }
    template<class T>
    requires std::same_as<std::remove_cvref_t<T>, std::optional<PropertyList>>
    static void set(T&& value, const Key& key)
    {
        if (value)
            set(*value, key);
        else
            remove(key);
    }

    // The stored Boolean (with the store's conversions); false when nothing is stored.
    static bool boolValue(const Key& key) { return store().boolForKey(key.key()); }
    static void setBool(bool value, const Key& key) { store().setBool(value, key.key()); }

    static void remove(const Key& key) { store().removeObjectForKey(key.key()); }

private:
    static UserDefaults& store() { return UserDefaults::standard(); }
};
