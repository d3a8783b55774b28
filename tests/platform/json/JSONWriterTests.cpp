#include "platform/json/JSON.h"
#include "platform/json/JSONSerialization.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

std::string write(const JSON& value)
{
    auto text = JSONSerialization::string(value);
    EXPECT_TRUE(text);
    return text.value_or("<failed>");
}

TEST(JSONWriter, CompactTextWithoutSpaces)
{
    JSON value = JSON::object({
        { "list", JSON::array({ 1, -2, 2.5, true, nullptr, "x" }) },
        { "empty", JSON::object() },
        { "none", JSON::array({}) },
    });
    EXPECT_EQ(write(value), R"({"empty":{},"list":[1,-2,2.5,true,null,"x"],"none":[]})");
}

TEST(JSONWriter, DeviceHeaderBytesAreExact)
{
    // Members given out of order come out in ascending key order.
    JSON device = JSON::object({
        { "type", 2 },
        { "system_version", "16.4.1" },
        { "sdk_version", "308" },
        { "model", "iPhone Xr" },
        { "device_id", "6F1C2B9A-1D2E-4F30-8A7B-0C9D8E7F6A5B" },
        { "brand", "Apple" },
    });
    EXPECT_EQ(JSONSerialization::string(device, /*sortedKeys=*/true),
        R"({"brand":"Apple","device_id":"6F1C2B9A-1D2E-4F30-8A7B-0C9D8E7F6A5B","model":"iPhone Xr",)"
        R"("sdk_version":"308","system_version":"16.4.1","type":2})");
    EXPECT_EQ(
        JSONSerialization::string(JSON::object({ { "pure-mode", false } }), true), R"({"pure-mode":false})");
}

TEST(JSONWriter, SortedKeysFollowUTF8ByteOrder)
{
    JSON value = JSON::object({ { "é", 1 }, { "b", 2 }, { "B", 3 }, { "a_b", 4 }, { "ab", 5 }, { "", 6 } });
    EXPECT_EQ(JSONSerialization::string(value, true), R"({"":6,"B":3,"a_b":4,"ab":5,"b":2,"é":1})");
}

TEST(JSONWriter, EscapesOnlyWhatJSONNeeds)
{
    EXPECT_EQ(write(JSON("https://a.b/c?d=1")), R"("https://a.b/c?d=1")");
    EXPECT_EQ(write(JSON("中文 é 😀")), "\"中文 é 😀\"");
    EXPECT_EQ(write(JSON("q\"b\\n\n\r\t\b\f")), R"("q\"b\\n\n\r\t\b\f")");
    EXPECT_EQ(write(JSON(std::string("\x01\x1f\x7f", 3))), "\"\\u0001\\u001f\x7f\"");
    EXPECT_EQ(write(JSON(std::string(1, '\0'))), R"("\u0000")");
}

TEST(JSONWriter, NumbersInShortestForm)
{
    EXPECT_EQ(write(JSON(3.0)), "3");
    EXPECT_EQ(write(JSON(0.1)), "0.1");
    EXPECT_EQ(write(JSON(-0.5)), "-0.5");
    EXPECT_EQ(write(JSON(1e21)), "1e+21");
    EXPECT_EQ(write(JSON(std::numeric_limits<std::int64_t>::min())), "-9223372036854775808");
    EXPECT_EQ(write(JSON(std::numeric_limits<std::uint64_t>::max())), "18446744073709551615");
}

TEST(JSONWriter, ReportsWhatCannotBeWritten)
{
    EXPECT_FALSE(JSONSerialization::string(JSON(std::nan(""))));
    EXPECT_FALSE(JSONSerialization::string(JSON::array({ std::numeric_limits<double>::infinity() })));
    EXPECT_FALSE(JSONSerialization::string(JSON::object({ { "a", JSON(std::string("\xff")) } })));
    EXPECT_FALSE(JSONSerialization::string(JSON::object({ { "\xc3", 1 } })));
    EXPECT_FALSE(JSONSerialization::string(JSON(std::string("\xed\xa0\x80"))));
    EXPECT_FALSE(JSONSerialization::string(JSON("x"), false, /*fragmentsAllowed=*/false));
    EXPECT_FALSE(JSONSerialization::string(JSON(5), false, false));
    EXPECT_FALSE(JSONSerialization::string(JSON(), false, false));
    EXPECT_EQ(JSONSerialization::string(JSON::array({}), false, false), "[]");
    EXPECT_EQ(JSONSerialization::string(JSON(), false, true), "null");

    JSON deep = JSON::array({});
    for (std::size_t i = 1; i < JSON::maxDepth; ++i)
        deep = JSON::array({ deep });
    EXPECT_TRUE(JSONSerialization::string(deep));
    EXPECT_FALSE(JSONSerialization::string(JSON::array({ deep })));
}

TEST(JSONWriter, RoundTripKeepsTheValue)
{
    const char* texts[] = {
        R"({"data":{"list":[{"id":"1","n":-0.25,"big":18446744073709551615,"e":1e-300}],"s":"\u0001中\"/"},"ok":true})",
        R"([null,false,0,-0,[],{},[[[]]],"",9007199254740993])",
        R"("only a string")",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        JSON first = JSON::parse(text);
        ASSERT_FALSE(first.isNull());
        auto written = JSONSerialization::string(first);
        ASSERT_TRUE(written);
        JSON second = JSON::parse(*written);
        EXPECT_EQ(first, second);
        EXPECT_EQ(JSONSerialization::string(second), written);
    }
}

}
