// Feeds untrusted JSON to the local test server's one reader of whole numbers, as callers of the
// API and damaged state files may write them, within bounds taken from the input too: a number is
// read only within its field, exactly as written, and one outside is never told as no number.

#include "tools/testserver/JsonText.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Two bounds and a flag first, the JSON after them.
    if (size < 17)
        return 0;
    testserver::IntegerField field;
    std::memcpy(&field.low, data, 8);
    std::memcpy(&field.high, data + 8, 8);
    field.textToo = data[16] & 1;
    if (field.low > field.high)
        return 0;
    std::string_view text(reinterpret_cast<const char*>(data + 17), size - 17);
    nlohmann::json value = nlohmann::json::parse(text, nullptr, false);
    if (value.is_discarded())
        return 0;
    testserver::IntegerRead read = testserver::readInteger(value, field);
    if (read) {
        check(*read >= field.low && *read <= field.high);
        if (value.is_number_integer())
            check(testserver::textOf(value) == std::to_string(*read));
        else
            check(field.textToo && value.is_string());
    }
    // A number of a signed or unsigned kind is a whole number: read, or outside its field.
    if (value.is_number_integer())
        check(read || testserver::isOutside(read.fault));
    return 0;
}
