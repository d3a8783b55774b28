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
// Every change is written through at once (atomic replace), readable by the owner only: it holds
// the access token. A damaged file (bad bytes, fields of the wrong kind, cut short, too large) is
// renamed aside, reported on the log in one line that names the entries lost, and every entry that
// reads well is kept and written back. A file that
// is there but cannot be read (permissions, I/O error) is never replaced: the store reports it and
// keeps this run's changes in memory only. Thread-safe.
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

    // A value equal to the stored one changes nothing and writes nothing.
    void set(const PropertyList& value, std::string_view key);
    // Several entries in one write of the file.
    void setValues(const PropertyList::Dictionary& values);
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
    // The file format, for the store and for checking it against untrusted text: the entries of
    // a defaults file that read well, each on its own (one bad byte loses one entry), and the
    // names of those lost as damaged; none when the text is not a defaults file at all. Never
    // throws.
    struct Contents {
        PropertyList::Dictionary values;
        std::size_t dropped = 0;
        std::vector<std::string> lost; // readable names, at most maximumLostNames of them
        bool cut = false; // the text broke off: entries after the last one read may be lost

        static constexpr std::size_t maximumLostNames = 20;
        bool damaged() const { return dropped > 0 || cut; }
        void lose(std::string name)
        {
            ++dropped;
            if (lost.size() < maximumLostNames)
                lost.push_back(std::move(name));
        }
    };
    static std::optional<Contents> parse(std::string_view text);
    static std::string serialize(const PropertyList::Dictionary& values);

    // Larger files are taken for damage.
    static constexpr std::uint64_t maximumFileSize = 16 * 1024 * 1024;

private:
    static std::optional<Contents> salvage(std::string_view text);
    void load();
    void save() const;

    mutable std::mutex m_mutex;
    std::filesystem::path m_file;
    PropertyList::Dictionary m_values;
    // Off when the file could not be read or set aside: it must not be replaced.
    bool m_saving = true;
};
