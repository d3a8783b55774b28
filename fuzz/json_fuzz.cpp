// Feeds arbitrary bytes to both JSON readers, checks them against nlohmann's
// parser as a second opinion, then checks that whatever was read writes back
// out and reads again to the same value.

#include "platform/json/JSON.h"
#include "platform/json/JSONSerialization.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

JSON fromNlohmann(const nlohmann::json& value)
{
    switch (value.type()) {
    case nlohmann::json::value_t::boolean:
        return JSON(value.get<bool>());
    case nlohmann::json::value_t::number_integer:
        return JSON(value.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned:
        return JSON(value.get<std::uint64_t>());
    case nlohmann::json::value_t::number_float:
        return JSON(value.get<double>());
    case nlohmann::json::value_t::string:
        return JSON(value.get<std::string>());
    case nlohmann::json::value_t::array: {
        JSON list = JSON::array({});
        for (const auto& element : value)
            list.push_back(fromNlohmann(element));
        return list;
    }
    case nlohmann::json::value_t::object: {
        JSON object = JSON::object();
        for (const auto& [key, member] : value.items())
            object.set(key, fromNlohmann(member));
        return object;
    }
    default:
        return JSON();
    }
}

// Both parsers must agree on what is JSON and on its value. Ours also refuses
// raw NUL bytes (nlohmann stops reading at one) and nesting past the limit.
void compareWithNlohmann(std::string_view text, const std::optional<JSON>& ours)
{
    if (text.find('\0') != std::string_view::npos) {
        check(!ours);
        return;
    }
    auto theirs = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (theirs.is_discarded()) {
        check(!ours);
        return;
    }
    if (!ours) {
        auto openers = std::count_if(text.begin(), text.end(), [](char c) { return c == '[' || c == '{'; });
        check(openers > static_cast<long>(JSON::maxDepth));
        return;
    }
    check(fromNlohmann(theirs) == *ours);
}

// Touches every accessor of every value, as model code does.
void readAll(const JSON& value, std::size_t depth)
{
    (void)value.stringValue();
    (void)value.intValue();
    (void)value.doubleValue();
    (void)value.boolValue();
    (void)value.integer();
    (void)value["id"]["name"][0].stringValue();
    (void)value[static_cast<std::size_t>(-1)].exists();
    if (depth > 8)
        return;
    for (const JSON& element : value.arrayValue())
        readAll(element, depth + 1);
    for (const auto& [key, member] : value.dictionaryValue()) {
        check(value[key] == member);
        readAll(member, depth + 1);
    }
}

void roundTrip(const JSON& value)
{
    auto compact = JSONSerialization::string(value);
    check(compact.has_value()); // everything the reader accepts is writable
    JSON again = JSON::parse(*compact);
    check(again == value);
    check(JSONSerialization::string(again) == compact);

    auto pretty = value.rawString(JSONWritingOptions { .prettyPrinted = true });
    check(pretty.has_value());
    if (value.type() == JSON::Type::Array || value.type() == JSON::Type::Object)
        check(JSON::parse(*pretty) == value);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    Data data(bytes, bytes + size);
    std::string_view text(reinterpret_cast<const char*>(bytes), size);
    auto strict = JSONSerialization::jsonObject(data, /*fragmentsAllowed=*/false);
    auto loose = JSONSerialization::jsonObject(data);
    JSON parsed = JSON::parse(text);
    compareWithNlohmann(text, loose);

    if (strict)
        check(loose && *loose == *strict);
    if (!loose) {
        check(parsed.isNull());
        return 0;
    }
    check(parsed == *loose);
    readAll(*loose, 0);
    roundTrip(*loose);
    return 0;
}
