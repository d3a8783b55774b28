#include "platform/json/JSON.h"
#include "platform/json/JSONSerialization.h"

#include <gtest/gtest.h>

namespace {

std::optional<JSON> read(std::string_view text, bool fragmentsAllowed = true)
{
    return JSONSerialization::jsonObject(dataFromString(text), fragmentsAllowed);
}

std::string nested(std::size_t depth)
{
    return std::string(depth, '[') + std::string(depth, ']');
}

TEST(JSONParser, ReadsAReplyEnvelope)
{
    auto reply
        = read(R"( {"errorCode":0,"msg":"成功","data":{"id":123,"ratio":0.5,"tags":["a","b"],"ok":true}} )");
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)["errorCode"].intValue(), 0);
    EXPECT_EQ((*reply)["msg"].stringValue(), "成功");
    EXPECT_EQ((*reply)["data"]["id"].stringValue(), "123");
    EXPECT_DOUBLE_EQ((*reply)["data"]["ratio"].doubleValue(), 0.5);
    EXPECT_EQ((*reply)["data"]["tags"][1].stringValue(), "b");
    EXPECT_TRUE((*reply)["data"]["ok"].boolValue());
}

TEST(JSONParser, RejectsTextThatIsNotJSON)
{
    const char* bad[] = {
        "",
        "   ",
        "{",
        "[1,2",
        R"({"a":1,})",
        "[1,]",
        R"({"a" 1})",
        R"({'a':1})",
        "{\"a\":\"unterminated}",
        "nul",
        "tru",
        "01",
        "1.",
        "-",
        ".5",
        "+1",
        "NaN",
        "Infinity",
        "1e400", // beyond the range of a double
        "[1] [2]",
        "{} x",
        "\"tab\tinside\"",
        "\"bad escape \\x\"",
        "\"lone surrogate \\ud800\"",
        "\"reversed pair \\udc00\\ud800\"",
        "/* comment */ 1",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(read(text));
        EXPECT_TRUE(JSON::parse(text).isNull());
        EXPECT_TRUE(JSON::parse(text).exists());
    }
    EXPECT_FALSE(read(std::string_view("[1]\0", 4)));
}

TEST(JSONParser, RejectsInvalidUTF8)
{
    const char* bad[] = {
        "\"\xff\"",
        "\"\xc3\"", // cut sequence
        "\"\xc0\xaf\"", // overlong "/"
        "\"\xed\xa0\x80\"", // encoded surrogate
        "\"\xf4\x90\x80\x80\"", // above U+10FFFF
        "{\"\xfe\":1}",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(read(text));
    }
}

TEST(JSONParser, DecodesEscapesAndUTF8)
{
    auto value = read(R"(["\u00e9\u4e2d\ud83d\ude00","a\/b","\"\\\b\f\n\r\t","\u0000"])");
    ASSERT_TRUE(value);
    EXPECT_EQ((*value)[0].stringValue(), "é中😀");
    EXPECT_EQ((*value)[1].stringValue(), "a/b");
    EXPECT_EQ((*value)[2].stringValue(), "\"\\\b\f\n\r\t");
    EXPECT_EQ((*value)[3].stringValue(), std::string(1, '\0'));
}

TEST(JSONParser, DepthIsLimited)
{
    EXPECT_TRUE(read(nested(JSON::maxDepth)));
    EXPECT_FALSE(read(nested(JSON::maxDepth + 1)));
    EXPECT_FALSE(read(nested(100000)));
    EXPECT_FALSE(read(std::string(100000, '[')));
    std::string objects;
    for (int i = 0; i < 5000; ++i)
        objects += "{\"a\":";
    EXPECT_FALSE(read(objects + "1" + std::string(5000, '}')));
    EXPECT_TRUE(JSON::parse(nested(100000)).isNull());
}

TEST(JSONParser, HugeNumbersAreSafe)
{
    auto value = read("[9223372036854775807,-9223372036854775808,18446744073709551615,"
                      "123456789012345678901234567890,-123456789012345678901234567890,1e308,5e-324,1e-400]");
    ASSERT_TRUE(value);
    EXPECT_EQ((*value)[0].intValue(), INT64_MAX);
    EXPECT_EQ((*value)[1].intValue(), INT64_MIN);
    EXPECT_EQ((*value)[2].stringValue(), "18446744073709551615");
    EXPECT_EQ((*value)[2].intValue(), INT64_MAX);
    EXPECT_DOUBLE_EQ((*value)[3].doubleValue(), 1.2345678901234568e29);
    EXPECT_EQ((*value)[3].intValue(), INT64_MAX);
    EXPECT_EQ((*value)[4].intValue(), INT64_MIN);
    EXPECT_EQ((*value)[5].stringValue(), "1e+308");
    EXPECT_GT((*value)[6].doubleValue(), 0);
    EXPECT_EQ((*value)[7].doubleValue(), 0);

    // Negative zero keeps its sign through a round trip.
    EXPECT_EQ(JSONSerialization::string(JSON::parse("[-0,-0.0,-1e-400,0e999]")), "[-0,-0,-0,0]");
}

TEST(JSONParser, FragmentsOnlyWhenAllowed)
{
    const char* fragments[] = { "\"text\"", "42", "-1.5", "true", "null" };
    for (const char* text : fragments) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(read(text, true));
        EXPECT_FALSE(read(text, false));
    }
    EXPECT_EQ(read("\"text\"")->stringValue(), "text");
    EXPECT_TRUE(read("[]", false));
    EXPECT_TRUE(read("{}", false));
    // The text parser takes fragments too.
    EXPECT_EQ(JSON::parse(" 42 ").intValue(), 42);
}

TEST(JSONParser, AcceptsAByteOrderMark)
{
    auto value = read("\xef\xbb\xbf{\"a\":1}");
    ASSERT_TRUE(value);
    EXPECT_EQ((*value)["a"].intValue(), 1);
}

}
