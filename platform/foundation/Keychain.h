#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text items by service and key, kept outside the app container so they outlive a reinstall.
// All services share one JSON file readable by the owner only (mode 0600, folder 0700).
// Its path: setStoreFile() when called, else the environment variable ZV_KEYCHAIN_FILE, else
// "$XDG_DATA_HOME/zentavo-keychain/keychain.json" (or under "~/.local/share").
// Every operation reads the file afresh. A damaged file (bad bytes, items of the wrong kind, cut
// short, too large) is renamed aside and reported on the log in one line that names the items
// lost; the items that read well are written back at once. A file that is there but cannot be
// read (permissions, I/O error) is never replaced: reads find nothing, writes fail, and the log
// says why. Thread-safe.
class Keychain {
public:
    explicit Keychain(std::string service);

    // None when there is no item, or the store cannot be read.
    std::optional<std::string> get(std::string_view key) const;
    // False when the store cannot be written (or the value is not UTF-8 text).
    bool set(std::string_view value, std::string_view key);
    // False only when the store cannot be written; removing a missing item succeeds.
    bool remove(std::string_view key);

    const std::string& service() const { return m_service; }

    static void setStoreFile(std::filesystem::path file);
    static std::filesystem::path storeFile();

    // The file format, for the store and for checking it against untrusted text. Never throw.
    using Items = std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>>;
    // The items by service and key that read well, each on its own (one bad byte or one value of
    // the wrong kind loses that item only), and the names ("service/key") of those lost; none
    // when the text is not a keychain file.
    struct Contents {
        Items items;
        std::size_t dropped = 0;
        std::vector<std::string> lost; // at most maximumLostNames of them
        bool cut = false; // the text broke off: items after the last one read may be lost

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
    // None when a text is not UTF-8.
    static std::optional<std::string> serialize(const Items& items);

    // Larger files are taken for damage.
    static constexpr std::uint64_t maximumFileSize = 4 * 1024 * 1024;

private:
    static std::optional<Contents> salvage(std::string_view text);

    std::string m_service;
};
