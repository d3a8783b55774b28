#include "platform/foundation/Keychain.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/JSONMembers.h"
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

bool saveItems(const fs::path& file, const Keychain::Items& items);

// The items of the store, or none when the file cannot be read and must be left alone. A damaged
// file is set aside (and then counts as empty). Caller holds the mutex.
std::optional<Keychain::Items> loadItems(const fs::path& file)
{
    FileSystem::FileRead read = FileSystem::readFileChecked(file, Keychain::maximumFileSize);
    if (read.status == FileSystem::FileRead::Status::Missing)
        return Keychain::Items();
    // Every operation reads the file, and the device identifier is asked for with every request:
    // an unreadable store is reported once, until it can be read again.
    static fs::path reportedUnreadable;
    if (read.status == FileSystem::FileRead::Status::Unreadable) {
        if (reportedUnreadable != file)
            Log::write(
                "Keychain: cannot read " + file.string() + " (" + read.reason + "); it is left as it is");
        reportedUnreadable = file;
        return std::nullopt;
    }
    if (reportedUnreadable == file)
        reportedUnreadable.clear();
    std::optional<Keychain::Contents> contents;
    if (read.status == FileSystem::FileRead::Status::Read) {
        std::string_view text(reinterpret_cast<const char*>(read.data.data()), read.data.size());
        contents = Keychain::parse(text);
        if (contents && !contents->damaged())
            return std::move(contents->items);
    }

    auto aside = FileSystem::moveAside(file);
    std::string report = "Keychain: damaged store " + file.string();
    if (read.status == FileSystem::FileRead::Status::TooLarge)
        report += " (" + read.reason + ")";
    if (!aside) {
        Log::write(report + " could not be moved aside; it is left as it is");
        return std::nullopt;
    }
    report += " moved to " + aside->string();
    if (!contents) {
        Log::write(report);
        return Keychain::Items();
    }
    std::string names;
    for (const std::string& name : contents->lost)
        names += (names.empty() ? "" : ", ") + name;
    report += "; lost " + std::to_string(contents->dropped) + " items";
    if (!names.empty())
        report += " (" + names + ")";
    if (contents->cut)
        report += "; the file broke off, what followed is lost";
    // What reads well is written back at once: every operation reads the file afresh.
    if (!contents->items.empty() && !saveItems(file, contents->items))
        report += "; the items kept could not be written back";
    Log::write(report);
    return std::move(contents->items);
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

namespace {

// The items of one service's object; a value that is not text is lost on its own.
void readService(const std::string& service, const json& entries, Keychain::Contents& contents)
{
    auto& serviceItems = contents.items[service];
    for (auto& [key, value] : entries.items()) {
        if (value.is_string())
            serviceItems.insert_or_assign(key, value.get<std::string>());
        else
            contents.lose(service + "/" + key);
    }
    if (serviceItems.empty())
        contents.items.erase(service);
}

}

std::optional<Keychain::Contents> Keychain::parse(std::string_view text)
{
    try {
        json document = json::parse(text.begin(), text.end(), nullptr, false);
        if (document.is_discarded())
            return salvage(text);
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
        Contents contents;
        for (auto& [service, entries] : services->items()) {
            if (entries.is_object())
                readService(service, entries, contents);
            else
                contents.lose(service);
        }
        return contents;
    } catch (const json::exception&) {
        // Whatever the checks above missed is damage too, never a reason to stop the app.
        return std::nullopt;
    }
}

std::optional<Keychain::Contents> Keychain::salvage(std::string_view text)
{
    // Text that is not JSON as a whole (a bad byte, a cut end): each item that reads well on its
    // own is kept.
    std::optional<JSONRawObject> services
        = salvageStoredContainer(text, kKeychainFormat, kKeychainVersion, "items");
    if (!services)
        return std::nullopt;
    Contents contents;
    contents.cut = !services->complete;
    std::vector<JSONRawMember> members = services->members;
    // The service that the cut went through still has its items before the cut.
    if (services->broken)
        members.push_back(*services->broken);
    for (const JSONRawMember& service : members) {
        json name = json::parse(service.name.begin(), service.name.end(), nullptr, false);
        json entries = json::parse(service.value.begin(), service.value.end(), nullptr, false);
        if (name.is_string() && entries.is_object()) {
            readService(name.get<std::string>(), entries, contents);
            continue;
        }
        // The service's own object holds the damage: its items are tried one by one.
        std::optional<JSONRawObject> items = splitJSONObject(service.value);
        if (!name.is_string() || !items) {
            contents.lose(readableMemberName(service.name));
            continue;
        }
        const std::string serviceName = name.get<std::string>();
        if (!items->complete)
            contents.lose(
                serviceName + "/" + (items->broken ? readableMemberName(items->broken->name) : "..."));
        for (const JSONRawMember& item : items->members) {
            json key = json::parse(item.name.begin(), item.name.end(), nullptr, false);
            json value = json::parse(item.value.begin(), item.value.end(), nullptr, false);
            if (key.is_string() && value.is_string())
                contents.items[serviceName].insert_or_assign(
                    key.get<std::string>(), value.get<std::string>());
            else
                contents.lose(serviceName + "/" + readableMemberName(item.name));
        }
    }
    return contents;
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
