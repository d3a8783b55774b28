#pragma once

#include "platform/foundation/PropertyList.h"

#include <concepts>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// The platform's defaults store: small typed values under text keys, kept in a JSON file whose
// values carry type tags, so Booleans, integers, doubles and data come back as they were stored.
// Every change is written through at once (atomic replace). A damaged file is renamed aside,
// reported on the log and whatever could be read from it is kept. Thread-safe.
class UserDefaults {
public:
    // The store of the app: "Library/Preferences/UserDefaults.json" in the app container,
    // loaded on first use.
    static UserDefaults& standard();
    // Drops the loaded standard store; the next standard() loads it again from the current app
    // container, as a restart of the app would. References to the old store must not be used.
    static void resetStandardForTesting();

    explicit UserDefaults(std::filesystem::path file);
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    std::optional<PropertyList> objectForKey(std::string_view key) const;

    // Typed getters with the platform's conversions (see PropertyList::boolValue and friends):
    // a missing key gives none, false, 0 and 0.0.
    std::optional<std::string> stringForKey(std::string_view key) const;
    std::optional<std::vector<std::string>> stringArrayForKey(std::string_view key) const;
    bool boolForKey(std::string_view key) const;
    std::int64_t integerForKey(std::string_view key) const;
    double doubleForKey(std::string_view key) const;

    void set(const PropertyList& value, std::string_view key);
    // No value removes the entry.
    void set(std::nullopt_t, std::string_view key) { removeObjectForKey(key); }
    template<class T>
    requires std::same_as<std::remove_cvref_t<T>, std::optional<PropertyList>>
    void set(T&& value, std::string_view key)
    {
        if (value)
            set(*value, key);
        else
            removeObjectForKey(key);
    }
    void setBool(bool value, std::string_view key) { set(PropertyList(value), key); }
    void setInteger(std::int64_t value, std::string_view key) { set(PropertyList(value), key); }
    void setDouble(double value, std::string_view key) { set(PropertyList(value), key); }

    void removeObjectForKey(std::string_view key);

    const std::filesystem::path& filePath() const { return m_file; }

private:
    void load();
    void save() const;

    mutable std::mutex m_mutex;
    std::filesystem::path m_file;
    PropertyList::Dictionary m_values;
};
