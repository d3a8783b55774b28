#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/JSONMembers.h"
#include "platform/foundation/Log.h"

#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>

using json = nlohmann::json;

namespace {

constexpr std::string_view kFormat = "zentavo.defaults";
constexpr int kVersion = 1;
constexpr int kMaxDefaultsDepth = 64;

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80 ? 1
            : (byte >> 5) == 0x6         ? 2
            : (byte >> 4) == 0xE         ? 3
            : (byte >> 3) == 0x1E        ? 4
                                         : 0;
        if (length == 0 || i + length > text.size())
            return false;
        std::uint32_t codePoint = length == 1 ? byte : byte & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = codePoint << 6 | (next & 0x3F);
        }
        static constexpr std::uint32_t kMinimum[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (codePoint < kMinimum[length] || codePoint > 0x10FFFF
            || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// A value as a one-member object whose name is its type: {"int": 3}, {"data": "AAE="} ...
json encode(const PropertyList& value)
{
    switch (value.type()) {
    case PropertyList::Type::Bool:
        return json { { "bool", *value.asBool() } };
    case PropertyList::Type::Integer:
        return json { { "int", *value.asInteger() } };
    case PropertyList::Type::Double: {
        double number = *value.asDouble();
        if (std::isnan(number))
            return json { { "double", "nan" } };
        if (std::isinf(number))
            return json { { "double", number > 0 ? "inf" : "-inf" } };
        return json { { "double", number } };
    }
    case PropertyList::Type::String: {
        auto& text = *value.asString();
        // JSON text must be UTF-8; other bytes are kept exactly through base64.
        if (!isValidUtf8(text))
            return json { { "bytes", Base64::encode(dataFromString(text)) } };
        return json { { "string", text } };
    }
    case PropertyList::Type::Data:
        return json { { "data", Base64::encode(*value.asData()) } };
    case PropertyList::Type::Array: {
        json items = json::array();
        for (auto& item : *value.asArray())
            items.push_back(encode(item));
        return json { { "array", std::move(items) } };
    }
    case PropertyList::Type::Dictionary: {
        json members = json::object();
        for (auto& [name, item] : *value.asDictionary())
            members[name] = encode(item);
        return json { { "dict", std::move(members) } };
    }
    }
    return json();
}

std::optional<PropertyList> decode(const json& tagged, int depth)
{
    if (depth > kMaxDefaultsDepth || !tagged.is_object() || tagged.size() != 1)
        return std::nullopt;
    auto member = tagged.begin();
    const std::string& tag = member.key();
    const json& value = member.value();
    if (tag == "bool" && value.is_boolean())
        return PropertyList(value.get<bool>());
    if (tag == "int" && value.is_number_integer()) {
        if (value.is_number_unsigned() && value.get<std::uint64_t>() > std::uint64_t(INT64_MAX))
            return std::nullopt;
        return PropertyList(value.get<std::int64_t>());
    }
    if (tag == "double") {
        if (value.is_number())
            return PropertyList(value.get<double>());
        if (value == "nan")
            return PropertyList(std::nan(""));
        if (value == "inf")
            return PropertyList(HUGE_VAL);
        if (value == "-inf")
            return PropertyList(-HUGE_VAL);
        return std::nullopt;
    }
    if (tag == "string" && value.is_string())
        return PropertyList(value.get<std::string>());
    if ((tag == "bytes" || tag == "data") && value.is_string()) {
        auto bytes = Base64::decode(value.get_ref<const std::string&>());
        if (!bytes)
            return std::nullopt;
        if (tag == "bytes")
            return PropertyList(stringFromData(*bytes));
        return PropertyList(std::move(*bytes));
    }
    if (tag == "array" && value.is_array()) {
        PropertyList::Array items;
        for (auto& item : value) {
            auto decoded = decode(item, depth + 1);
            if (!decoded)
                return std::nullopt;
            items.push_back(std::move(*decoded));
        }
        return PropertyList(std::move(items));
    }
    if (tag == "dict" && value.is_object()) {
        PropertyList::Dictionary members;
        for (auto& [name, item] : value.items()) {
            auto decoded = decode(item, depth + 1);
            if (!decoded)
                return std::nullopt;
            members.emplace(name, std::move(*decoded));
        }
        return PropertyList(std::move(members));
    }
    return std::nullopt;
}

std::mutex& standardMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::unique_ptr<UserDefaults>& standardStore()
{
    static std::unique_ptr<UserDefaults> store;
    return store;
}

}

UserDefaults& UserDefaults::standard()
{
    std::lock_guard lock(standardMutex());
    auto& store = standardStore();
    if (!store)
        store = std::make_unique<UserDefaults>(AppContainer::preferencesDirectory() / "UserDefaults.json");
    return *store;
}

void UserDefaults::resetStandardForTesting()
{
    std::lock_guard lock(standardMutex());
    standardStore().reset();
}

UserDefaults::UserDefaults(std::filesystem::path file)
    : m_file(std::move(file))
{
    load();
}

std::optional<UserDefaults::Contents> UserDefaults::parse(std::string_view text)
{
    try {
        json document = json::parse(text.begin(), text.end(), nullptr, false);
        if (document.is_discarded())
            return salvage(text);
        if (!document.is_object())
            return std::nullopt;
        auto format = document.find("format");
        auto version = document.find("version");
        auto values = document.find("values");
        if (format == document.end() || !format->is_string()
            || format->get_ref<const std::string&>() != kFormat)
            return std::nullopt;
        if (version == document.end() || !version->is_number_integer()
            || version->get<std::int64_t>() != kVersion)
            return std::nullopt;
        if (values == document.end() || !values->is_object())
            return std::nullopt;
        Contents contents;
        for (auto& [key, tagged] : values->items()) {
            if (auto value = decode(tagged, 0))
                contents.values.insert_or_assign(key, std::move(*value));
            else
                contents.lose(key);
        }
        return contents;
    } catch (const json::exception&) {
        // Whatever the checks above missed is damage too, never a reason to stop the app.
        return std::nullopt;
    }
}

std::optional<UserDefaults::Contents> UserDefaults::salvage(std::string_view text)
{
    // Text that is not JSON as a whole (a bad byte, a cut end): each entry that reads well on its
    // own is kept.
    std::optional<JSONRawObject> values = salvageStoredContainer(text, kFormat, kVersion, "values");
    if (!values)
        return std::nullopt;
    Contents contents;
    contents.cut = !values->complete;
    for (const JSONRawMember& member : values->members) {
        json name = json::parse(member.name.begin(), member.name.end(), nullptr, false);
        json tagged = json::parse(member.value.begin(), member.value.end(), nullptr, false);
        std::optional<PropertyList> value;
        if (name.is_string() && !tagged.is_discarded())
            value = decode(tagged, 0);
        if (value)
            contents.values.insert_or_assign(name.get<std::string>(), std::move(*value));
        else
            contents.lose(readableMemberName(member.name));
    }
    if (values->broken)
        contents.lose(readableMemberName(values->broken->name));
    return contents;
}

std::string UserDefaults::serialize(const PropertyList::Dictionary& values)
{
    json members = json::object();
    for (auto& [key, value] : values)
        members[key] = encode(value);
    json document { { "format", kFormat }, { "version", kVersion }, { "values", std::move(members) } };
    // Keys that are not UTF-8 cannot be JSON names; they are written with replacement characters.
    return document.dump(1, '\t', false, json::error_handler_t::replace);
}

void UserDefaults::load()
{
    FileSystem::FileRead read = FileSystem::readFileChecked(m_file, maximumFileSize);
    if (read.status == FileSystem::FileRead::Status::Missing)
        return;
    if (read.status == FileSystem::FileRead::Status::Unreadable) {
        m_saving = false;
        Log::write("UserDefaults: cannot read " + m_file.string() + " (" + read.reason
            + "); it is left as it is and this run keeps its settings in memory only");
        return;
    }

    std::optional<Contents> contents;
    if (read.status == FileSystem::FileRead::Status::Read)
        contents = parse(std::string_view(reinterpret_cast<const char*>(read.data.data()), read.data.size()));
    if (contents)
        m_values = std::move(contents->values);
    if (contents && !contents->damaged()) {
        // A file that an older version left readable to others holds the token too.
        FileSystem::restrictToOwner(m_file);
        return;
    }

    auto aside = FileSystem::moveAside(m_file);
    std::string report = "UserDefaults: damaged file " + m_file.string();
    if (read.status == FileSystem::FileRead::Status::TooLarge)
        report += " (" + read.reason + ")";
    report += aside ? " moved to " + aside->string()
                    : std::string(" could not be moved aside; this run keeps its settings in memory only");
    if (contents) {
        report += "; kept " + std::to_string(m_values.size()) + " entries, dropped "
            + std::to_string(contents->dropped);
        std::string names;
        for (const std::string& name : contents->lost)
            names += (names.empty() ? "" : ", ") + name;
        if (!names.empty())
            report += " (" + names + ")";
        if (contents->cut)
            report += "; the file broke off, what followed is lost";
    }
    Log::write(report);
    if (!aside) {
        m_saving = false;
        return;
    }
    // Write the salvaged entries back so they do not depend on the damaged copy.
    if (!m_values.empty())
        save();
}

void UserDefaults::save() const
{
    if (!m_saving)
        return;
    if (!FileSystem::writeFileAtomically(m_file, dataFromString(serialize(m_values)), 0600))
        Log::write("UserDefaults: cannot write " + m_file.string());
}

std::optional<PropertyList> UserDefaults::objectForKey(std::string_view key) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_values.find(key);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const
{
    auto value = objectForKey(key);
    return value ? value->stringValue() : std::nullopt;
}

std::optional<std::vector<std::string>> UserDefaults::stringArrayForKey(std::string_view key) const
{
    auto value = objectForKey(key);
    return value ? value->stringArrayValue() : std::nullopt;
}

bool UserDefaults::boolForKey(std::string_view key) const
{
    auto value = objectForKey(key);
    return value && value->boolValue();
}

std::int64_t UserDefaults::integerForKey(std::string_view key) const
{
    auto value = objectForKey(key);
    return value ? value->integerValue() : 0;
}

double UserDefaults::doubleForKey(std::string_view key) const
{
    auto value = objectForKey(key);
    return value ? value->doubleValue() : 0.0;
}

void UserDefaults::set(const PropertyList& value, std::string_view key)
{
    setValues({ { std::string(key), value } });
}

void UserDefaults::setValues(const PropertyList::Dictionary& values)
{
    std::lock_guard lock(m_mutex);
    bool changed = false;
    for (const auto& [key, value] : values) {
        auto it = m_values.find(key);
        if (it != m_values.end() && it->second == value)
            continue;
        m_values.insert_or_assign(key, value);
        changed = true;
    }
    // Each write waits for the disk: the same values again (a server address file read at
    // every start) cost none.
    if (changed)
        save();
}

void UserDefaults::removeObjectForKey(std::string_view key)
{
    std::lock_guard lock(m_mutex);
    auto it = m_values.find(key);
    if (it == m_values.end())
        return;
    m_values.erase(it);
    save();
}
