#include "platform/foundation/Bundle.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>

extern char** environ;

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

constexpr std::string_view kEnvironmentPrefix = "ZV_INFO_";
constexpr int kMaxDepth = 64;

constexpr std::pair<std::string_view, std::string_view> kDefaults[] = {
    { InfoKey::DisplayName, "Zentavo" },
    { InfoKey::MainURL, "https://127.0.0.1:9313/api/" },
    { InfoKey::ShortURL, "http://127.0.0.1:4399/api/v1/video/display" },
    { InfoKey::CaptchaURL, "https://127.0.0.1:9312/captcha.html" },
    { InfoKey::HelpURL, "http://127.0.0.1:8823/" },
    { InfoKey::WebSocketURL, "wss://127.0.0.1:9314/ws" },
    { InfoKey::DomainFileURL, "https://127.0.0.1:9310/domain_v2.json" },
    { InfoKey::DoHResolverURL, "" },
    { InfoKey::ProbeHost, "127.0.0.1" },
    { InfoKey::APIPublicKey, "" },
    { InfoKey::TrustedCAFile, "" },
    { InfoKey::DeviceModel, "iPhone 14" },
    { InfoKey::SystemVersion, "17.0" },
    { InfoKey::MaxAPIReplyBytes, "4194304" },
    { InfoKey::MaxImageReplyBytes, "33554432" },
    { InfoKey::UnresolvedPlayURL, "https://127.0.0.1:9/index.m3u8" },
};

constexpr std::string_view kByteCountKeys[] = { InfoKey::MaxAPIReplyBytes, InfoKey::MaxImageReplyBytes };

std::optional<std::size_t> byteCount(const PropertyList& value)
{
    if (const std::int64_t* number = value.asInteger())
        return *number > 0 ? std::optional<std::size_t>(*number) : std::nullopt;
    const std::string* text = value.asString();
    if (!text || text->empty() || text->size() > 18)
        return std::nullopt;
    std::size_t count = 0;
    for (char c : *text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        count = count * 10 + static_cast<std::size_t>(c - '0');
    }
    return count > 0 ? std::optional(count) : std::nullopt;
}

std::optional<fs::path> findUpwards(fs::path start)
{
    std::error_code error;
    for (fs::path folder = start; !folder.empty(); folder = folder.parent_path()) {
        fs::path candidate = folder / "app" / "Resources";
        if (fs::is_directory(candidate, error))
            return candidate;
        if (folder == folder.parent_path())
            break;
    }
    return std::nullopt;
}

fs::path locateResources()
{
    if (const char* configured = std::getenv("ZV_BUNDLE_DIR"); configured && *configured)
        return configured;
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        if (auto found = findUpwards(executable.parent_path()))
            return *found;
    }
    fs::path current = fs::current_path(error);
    if (!error) {
        if (auto found = findUpwards(current))
            return *found;
    }
    Log::write("Bundle: no resource folder found; set ZV_BUNDLE_DIR");
    return current / "app" / "Resources";
}

std::optional<PropertyList> fromJSON(const json& value, int depth)
{
    if (depth > kMaxDepth)
        return std::nullopt;
    switch (value.type()) {
    case json::value_t::boolean:
        return PropertyList(value.get<bool>());
    case json::value_t::number_integer:
        return PropertyList(value.get<std::int64_t>());
    case json::value_t::number_unsigned:
        if (value.get<std::uint64_t>() > std::uint64_t(INT64_MAX))
            return PropertyList(value.get<double>());
        return PropertyList(value.get<std::int64_t>());
    case json::value_t::number_float:
        return PropertyList(value.get<double>());
    case json::value_t::string:
        return PropertyList(value.get<std::string>());
    case json::value_t::array: {
        PropertyList::Array items;
        for (auto& item : value) {
            if (auto converted = fromJSON(item, depth + 1))
                items.push_back(std::move(*converted));
        }
        return PropertyList(std::move(items));
    }
    case json::value_t::object: {
        PropertyList::Dictionary members;
        for (auto& [name, item] : value.items()) {
            if (auto converted = fromJSON(item, depth + 1))
                members.emplace(name, std::move(*converted));
        }
        return PropertyList(std::move(members));
    }
    default:
        return std::nullopt;
    }
}

std::mutex& bundleMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::unique_ptr<Bundle>& mainBundle()
{
    static std::unique_ptr<Bundle> bundle;
    return bundle;
}

}

const Bundle& Bundle::main()
{
    std::lock_guard lock(bundleMutex());
    auto& bundle = mainBundle();
    if (!bundle)
        bundle = std::make_unique<Bundle>(Passkey {});
    return *bundle;
}

void Bundle::resetForTesting()
{
    std::lock_guard lock(bundleMutex());
    mainBundle().reset();
}

Bundle::Bundle(Passkey)
    : m_root(locateResources())
{
    for (auto& [key, value] : kDefaults)
        m_info.insert_or_assign(std::string(key), PropertyList(value));

    fs::path infoFile = m_root / "Info.json";
    bool named = false;
    if (const char* configured = std::getenv("ZV_INFO_FILE"); configured && *configured) {
        infoFile = configured;
        named = true;
    }
    std::error_code error;
    bool present = fs::exists(infoFile, error);
    std::optional<Data> contents = present ? FileSystem::readFile(infoFile) : std::nullopt;
    // Only the resource folder's own file may be absent without a word.
    if (!contents && (named || present))
        Log::write("Bundle: information file " + infoFile.string() + " cannot be read ("
            + (present ? "not readable" : "no such file") + "); using the built-in defaults");
    if (contents) {
        json document = json::parse(contents->begin(), contents->end(), nullptr, false);
        if (document.is_object()) {
            for (auto& [key, value] : document.items()) {
                if (auto converted = fromJSON(value, 0))
                    m_info.insert_or_assign(key, std::move(*converted));
            }
        } else {
            Log::write(
                "Bundle: information file " + infoFile.string() + " is not a JSON object; using defaults");
        }
    }

    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view variable(*entry);
        if (!variable.starts_with(kEnvironmentPrefix))
            continue;
        auto equals = variable.find('=');
        if (equals == std::string_view::npos || equals == kEnvironmentPrefix.size())
            continue;
        std::string key(variable.substr(kEnvironmentPrefix.size(), equals - kEnvironmentPrefix.size()));
        m_info.insert_or_assign(std::move(key), PropertyList(variable.substr(equals + 1)));
    }

    for (std::string_view key : kByteCountKeys) {
        auto it = m_info.find(key);
        if (it != m_info.end() && !byteCount(it->second))
            Log::write(
                "Bundle: " + std::string(key) + " is not a byte count above zero; using the built-in limit");
    }
}

std::optional<fs::path> Bundle::path(std::string_view resource, std::string_view type) const
{
    if (resource.empty())
        return std::nullopt;
    std::string name(resource);
    if (!type.empty()) {
        name += '.';
        name += type;
    }
    // Names are file names, never paths out of the bundle.
    if (name.find('/') != std::string::npos || name == "." || name == "..")
        return std::nullopt;
    std::error_code error;
    if (fs::is_regular_file(m_root / name, error))
        return m_root / name;
    std::optional<fs::path> found;
    fs::recursive_directory_iterator it(m_root, fs::directory_options::skip_permission_denied, error);
    fs::recursive_directory_iterator end;
    while (!error && it != end) {
        std::error_code entryError;
        if (it->path().filename() == name && it->is_regular_file(entryError)) {
            // The first in path order, so the answer does not depend on the directory order.
            if (!found || it->path() < *found)
                found = it->path();
        }
        it.increment(error);
    }
    return found;
}

std::optional<fs::path> Bundle::imagePath(std::string_view name) const
{
    if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..")
        return std::nullopt;
    fs::path images = m_root / "Images";
    std::error_code error;
    for (std::string_view extension : { ".png", ".jpg" }) {
        fs::path candidate = images / (std::string(name) + std::string(extension));
        if (fs::is_regular_file(candidate, error))
            return candidate;
    }
    if (fs::is_regular_file(images / std::string(name), error))
        return images / std::string(name);
    return std::nullopt;
}

std::optional<PropertyList> Bundle::infoObject(std::string_view key) const
{
    auto it = m_info.find(key);
    if (it == m_info.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> Bundle::infoString(std::string_view key) const
{
    auto it = m_info.find(key);
    if (it == m_info.end())
        return std::nullopt;
    return it->second.stringValue();
}

std::optional<std::size_t> Bundle::infoByteCount(std::string_view key) const
{
    auto it = m_info.find(key);
    if (it == m_info.end())
        return std::nullopt;
    return byteCount(it->second);
}
