#include "platform/foundation/Keychain.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"

#include <cstdlib>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

constexpr std::string_view kKeychainFormat = "zentavo.keychain";
constexpr int kKeychainVersion = 1;

std::mutex& keychainMutex()
{
    static std::mutex mutex;
    return mutex;
}

fs::path& explicitStoreFile()
{
    static fs::path file;
    return file;
}

fs::path defaultStoreFile()
{
    fs::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".local" / "share";
    else
        base = fs::temp_directory_path() / ("zentavo-" + std::to_string(::getuid()));
    return base / "zentavo-keychain" / "keychain.json";
}

fs::path configuredStoreFile()
{
    if (!explicitStoreFile().empty())
        return explicitStoreFile();
    if (const char* configured = std::getenv("ZV_KEYCHAIN_FILE"); configured && *configured)
        return configured;
    return defaultStoreFile();
}

// The items of the store, or none when the file cannot be read and must be left alone. A damaged
// file is set aside (and then counts as empty). Caller holds the mutex.
std::optional<Keychain::Items> loadItems(const fs::path& file)
{
    FileSystem::FileRead read = FileSystem::readFileChecked(file, Keychain::maximumFileSize);
    if (read.status == FileSystem::FileRead::Status::Missing)
        return Keychain::Items();
    if (read.status == FileSystem::FileRead::Status::Unreadable) {
        Log::write("Keychain: cannot read " + file.string() + " (" + read.reason + "); it is left as it is");
        return std::nullopt;
    }
    if (read.status == FileSystem::FileRead::Status::Read) {
        std::string_view text(reinterpret_cast<const char*>(read.data.data()), read.data.size());
        if (std::optional<Keychain::Items> items = Keychain::parse(text))
            return items;
    }

    auto aside = FileSystem::moveAside(file);
    std::string report = "Keychain: damaged store " + file.string();
    if (read.status == FileSystem::FileRead::Status::TooLarge)
        report += " (" + read.reason + ")";
    if (!aside) {
        Log::write(report + " could not be moved aside; it is left as it is");
        return std::nullopt;
    }
    Log::write(report + " moved to " + aside->string());
    return Keychain::Items();
}

bool saveItems(const fs::path& file, const Keychain::Items& items)
{
    fs::path folder = file.parent_path();
    if (!folder.empty()) {
        std::error_code error;
        bool existed = fs::exists(folder, error);
        if (!existed && !FileSystem::createDirectories(folder))
            return false;
        // Its own folder of the default place is narrowed even when an older run left it open.
        if (!existed || file == defaultStoreFile())
            FileSystem::restrictToOwner(folder);
    }
    std::optional<std::string> text = Keychain::serialize(items);
    if (!text)
        return false;
    if (!FileSystem::writeFileAtomically(file, dataFromString(*text), 0600)) {
        Log::write("Keychain: cannot write " + file.string());
        return false;
    }
    return true;
}

}

std::optional<Keychain::Items> Keychain::parse(std::string_view text)
{
    try {
        json document = json::parse(text.begin(), text.end(), nullptr, false);
        if (!document.is_object())
            return std::nullopt;
        auto format = document.find("format");
        auto version = document.find("version");
        auto services = document.find("items");
        if (format == document.end() || !format->is_string()
            || format->get_ref<const std::string&>() != kKeychainFormat)
            return std::nullopt;
        if (version == document.end() || !version->is_number_integer()
            || version->get<std::int64_t>() != kKeychainVersion)
            return std::nullopt;
        if (services == document.end() || !services->is_object())
            return std::nullopt;
        Items items;
        for (auto& [service, entries] : services->items()) {
            if (!entries.is_object())
                return std::nullopt;
            auto& serviceItems = items[service];
            for (auto& [key, value] : entries.items()) {
                if (!value.is_string())
                    return std::nullopt;
                serviceItems.insert_or_assign(key, value.get<std::string>());
            }
        }
        return items;
    } catch (const json::exception&) {
        // Whatever the checks above missed is damage too, never a reason to stop the app.
        return std::nullopt;
    }
}

std::optional<std::string> Keychain::serialize(const Items& items)
{
    try {
        json services = json::object();
        for (auto& [service, entries] : items) {
            json members = json::object();
            for (auto& [key, value] : entries)
                members[key] = value;
            services[service] = std::move(members);
        }
        json document { { "format", kKeychainFormat }, { "version", kKeychainVersion },
            { "items", std::move(services) } };
        return document.dump(1, '\t');
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

Keychain::Keychain(std::string service)
    : m_service(std::move(service))
{ }

void Keychain::setStoreFile(fs::path file)
{
    std::lock_guard lock(keychainMutex());
    explicitStoreFile() = std::move(file);
}

fs::path Keychain::storeFile()
{
    std::lock_guard lock(keychainMutex());
    return configuredStoreFile();
}

std::optional<std::string> Keychain::get(std::string_view key) const
{
    std::lock_guard lock(keychainMutex());
    std::optional<Items> items = loadItems(configuredStoreFile());
    if (!items)
        return std::nullopt;
    auto service = items->find(m_service);
    if (service == items->end())
        return std::nullopt;
    auto item = service->second.find(key);
    if (item == service->second.end())
        return std::nullopt;
    return item->second;
}

bool Keychain::set(std::string_view value, std::string_view key)
{
    std::lock_guard lock(keychainMutex());
    fs::path file = configuredStoreFile();
    std::optional<Items> items = loadItems(file);
    if (!items)
        return false;
    (*items)[m_service].insert_or_assign(std::string(key), std::string(value));
    return saveItems(file, *items);
}

bool Keychain::remove(std::string_view key)
{
    std::lock_guard lock(keychainMutex());
    fs::path file = configuredStoreFile();
    std::optional<Items> items = loadItems(file);
    if (!items)
        return false;
    auto service = items->find(m_service);
    if (service == items->end())
        return true;
    auto item = service->second.find(key);
    if (item == service->second.end())
        return true;
    service->second.erase(item);
    if (service->second.empty())
        items->erase(service);
    return saveItems(file, *items);
}
