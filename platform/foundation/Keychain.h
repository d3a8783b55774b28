#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Text items by service and key, kept outside the app container so they outlive a reinstall.
// All services share one JSON file readable by the owner only (mode 0600, folder 0700).
// Its path: setStoreFile() when called, else the environment variable ZV_KEYCHAIN_FILE, else
// "$XDG_DATA_HOME/zentavo-keychain/keychain.json" (or under "~/.local/share").
// Every operation reads the file afresh; a damaged file is renamed aside and reported on the log.
// Thread-safe.
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

private:
    std::string m_service;
};
