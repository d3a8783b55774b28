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

constexpr std::string_view kFormat = "zentavo.keychain";
constexpr int kVersion = 1;

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

fs::path configuredStoreFile()
{
    if (!explicitStoreFile().empty())
        return explicitStoreFile();
    if (const char* configured = std::getenv("ZV_KEYCHAIN_FILE"); configured && *configured)
        return configured;
    fs::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".local" / "share";
    else
        base = fs::temp_directory_path() / ("zentavo-" + std::to_string(::getuid()));
    return base / "zentavo-keychain" / "keychain.json";
}

// The items of the store: {"service": {"key": "value"}}. Caller holds the mutex.
json loadItems(const fs::path& file)
{
    auto contents = FileSystem::readFile(file);
    if (!contents)
        return json::object();
    json document = json::parse(contents->begin(), contents->end(), nullptr, false);
    bool valid = document.is_object() && document.value("format", "") == kFormat
        && document.value("version", 0) == kVersion && document.contains("items")
        && document["items"].is_object();
    if (valid) {
        for (auto& [service, items] : document["items"].items()) {
            if (!items.is_object()) {
                valid = false;
                break;
            }
            for (auto& [key, value] : items.items()) {
                if (!value.is_string())
                    valid = false;
            }
        }
    }
    if (valid)
        return std::move(document["items"]);

    auto aside = FileSystem::moveAside(file);
    Log::write("Keychain: damaged store " + file.string()
        + (aside ? " moved to " + aside->string() : std::string(" could not be moved aside")));
    return json::object();
}

bool saveItems(const fs::path& file, const json& items)
{
    fs::path folder = file.parent_path();
    if (!folder.empty()) {
        std::error_code error;
        if (!fs::exists(folder, error)) {
            if (!FileSystem::createDirectories(folder))
                return false;
            ::chmod(folder.c_str(), 0700);
        }
    }
    json document { { "format", kFormat }, { "version", kVersion }, { "items", items } };
    std::string text;
    try {
        text = document.dump(1, '\t');
    } catch (const json::exception&) {
        return false;
    }
    if (!FileSystem::writeFileAtomically(file, dataFromString(text), 0600)) {
        Log::write("Keychain: cannot write " + file.string());
        return false;
    }
    return true;
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
    json items = loadItems(configuredStoreFile());
    auto service = items.find(m_service);
    if (service == items.end())
        return std::nullopt;
    auto item = service->find(std::string(key));
    if (item == service->end())
        return std::nullopt;
    return item->get<std::string>();
}

bool Keychain::set(std::string_view value, std::string_view key)
{
    std::lock_guard lock(keychainMutex());
    fs::path file = configuredStoreFile();
    json items = loadItems(file);
    items[m_service][std::string(key)] = std::string(value);
    return saveItems(file, items);
}

bool Keychain::remove(std::string_view key)
{
    std::lock_guard lock(keychainMutex());
    fs::path file = configuredStoreFile();
    json items = loadItems(file);
    auto service = items.find(m_service);
    if (service == items.end() || !service->contains(std::string(key)))
        return true;
    service->erase(std::string(key));
    if (service->empty())
        items.erase(service);
    return saveItems(file, items);
}
