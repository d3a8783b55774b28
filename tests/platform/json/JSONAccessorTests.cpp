#include "platform/json/JSON.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct AccessorCase {
    const char* name;
    JSON value;
    std::string stringValue;
    std::int64_t intValue;
    double doubleValue;
    bool boolValue;
    std::size_t count;
    // Which optional accessor answers: s(tring) i(nteger) n(umber) b(oolean) a(rray) d(ictionary).
    const char* optionals;
};

const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

std::vector<AccessorCase> accessorCases()
{
    return {
        { "null", JSON(), "", 0, 0, false, 0, "" },
        { "missing", JSON::object()["nope"], "", 0, 0, false, 0, "" },
        { "true", JSON(true), "true", 1, 1, true, 0, "b" },
        { "false", JSON(false), "false", 0, 0, false, 0, "b" },
        { "int", JSON(42), "42", 42, 42, true, 0, "in" },
        { "zero", JSON(0), "0", 0, 0, false, 0, "in" },
        { "negative", JSON(-7), "-7", -7, -7, true, 0, "in" },
        { "uint64", JSON(18446744073709551615ull), "18446744073709551615", kMax, 18446744073709551615.0, true,
            0, "in" },
        { "fraction", JSON(3.75), "3.75", 3, 3.75, true, 0, "in" },
        { "negative fraction", JSON(-3.75), "-3.75", -3, -3.75, true, 0, "in" },
        { "integral double", JSON(3.0), "3", 3, 3, true, 0, "in" },
        { "huge double", JSON(1e300), "1e+300", kMax, 1e300, true, 0, "in" },
        { "huge negative double", JSON(-1e300), "-1e+300", kMin, -1e300, true, 0, "in" },
        { "text", JSON("abc"), "abc", 0, 0, false, 0, "s" },
        { "empty text", JSON(""), "", 0, 0, false, 0, "s" },
        { "numeric text", JSON("12"), "12", 12, 12, false, 0, "s" },
        { "signed text", JSON("-12"), "-12", -12, -12, false, 0, "s" },
        { "fraction text", JSON("12.7"), "12.7", 12, 12.7, false, 0, "s" },
        { "exponent text", JSON("1e3"), "1e3", 1000, 1000, false, 0, "s" },
        { "padded text", JSON(" 7 "), " 7 ", 7, 7, false, 0, "s" },
        { "text too big for int", JSON("99999999999999999999"), "99999999999999999999", kMax, 1e20, false, 0,
            "s" },
        { "trailing letters", JSON("12abc"), "12abc", 0, 0, false, 0, "s" },
        { "hex text", JSON("0x10"), "0x10", 0, 0, false, 0, "s" },
        { "true text", JSON("true"), "true", 0, 0, true, 0, "s" },
        { "YES text", JSON("YES"), "YES", 0, 0, true, 0, "s" },
        { "one text", JSON("1"), "1", 1, 1, true, 0, "s" },
        { "no text", JSON("no"), "no", 0, 0, false, 0, "s" },
        { "array", JSON::array({ 1, "x" }), "", 0, 0, false, 2, "a" },
        { "empty array", JSON::array({}), "", 0, 0, false, 0, "a" },
        { "object", JSON::object({ { "a", 1 } }), "", 0, 0, false, 1, "d" },
        { "empty object", JSON::object(), "", 0, 0, false, 0, "d" },
    };
}

bool has(const char* flags, char flag)
{
    return std::string_view(flags).find(flag) != std::string_view::npos;
}

TEST(JSONAccessors, ConversionTableOverEveryKind)
{
    for (const AccessorCase& c : accessorCases()) {
        SCOPED_TRACE(c.name);
        const JSON& v = c.value;
        EXPECT_EQ(v.stringValue(), c.stringValue);
        EXPECT_EQ(v.intValue(), c.intValue);
        EXPECT_DOUBLE_EQ(v.doubleValue(), c.doubleValue);
        EXPECT_EQ(v.boolValue(), c.boolValue);
        EXPECT_EQ(v.count(), c.count);
        EXPECT_EQ(v.isEmpty(), c.count == 0);
        EXPECT_EQ(v.arrayValue().size(), has(c.optionals, 'a') ? c.count : 0);
        EXPECT_EQ(v.dictionaryValue().size(), has(c.optionals, 'd') ? c.count : 0);

        EXPECT_EQ(v.string().has_value(), has(c.optionals, 's'));
        EXPECT_EQ(v.integer().has_value(), has(c.optionals, 'i'));
        EXPECT_EQ(v.number().has_value(), has(c.optionals, 'n'));
        EXPECT_EQ(v.boolean().has_value(), has(c.optionals, 'b'));
        EXPECT_EQ(v.array().has_value(), has(c.optionals, 'a'));
        EXPECT_EQ(v.dictionary().has_value(), has(c.optionals, 'd'));
        if (v.string()) {
            EXPECT_EQ(*v.string(), c.stringValue);
        }
        if (v.integer()) {
            EXPECT_EQ(*v.integer(), c.intValue);
        }
    }
}

TEST(JSONAccessors, MissingNullAndEmptyAreTellApart)
{
    JSON reply = JSON::parse(R"({"a":null,"b":{},"c":[],"d":""})");
    EXPECT_TRUE(reply["a"].exists());
    EXPECT_TRUE(reply["a"].isNull());
    EXPECT_FALSE(reply["z"].exists());
    EXPECT_TRUE(reply["z"].isNull());
    EXPECT_TRUE(reply["b"].exists());
    EXPECT_FALSE(reply["b"].isNull());
    EXPECT_TRUE(reply["b"].isEmpty());
    EXPECT_TRUE(reply["c"].isEmpty());
    EXPECT_TRUE(reply["d"].isEmpty()); // scalars count as empty values
    EXPECT_TRUE(reply["d"].exists());
    // A missing member still compares equal to null, as both are null values.
    EXPECT_EQ(reply["z"], JSON());
    EXPECT_EQ(reply["a"], reply["z"]);
}

TEST(JSONAccessors, ChainedSubscriptsNeverFail)
{
    JSON reply = JSON::parse(R"({"data":{"list":[{"id":7},{"id":"8"}],"total":"2"},"msg":"ok"})");
    EXPECT_EQ(reply["data"]["list"][0]["id"].intValue(), 7);
    EXPECT_EQ(reply["data"]["list"][1]["id"].intValue(), 8);
    EXPECT_EQ(reply["data"]["list"][1]["id"].stringValue(), "8");
    EXPECT_EQ(reply["data"]["total"].intValue(), 2);

    EXPECT_FALSE(reply["data"]["list"][2]["id"].exists()); // index out of range
    EXPECT_FALSE(reply["data"]["list"]["id"].exists()); // key on an array
    EXPECT_FALSE(reply["msg"][0].exists()); // index on a string
    EXPECT_FALSE(reply["data"][0].exists()); // index on an object
    EXPECT_FALSE(reply["nope"]["deeper"][3]["still"].exists());
    EXPECT_FALSE(reply["data"]["list"][static_cast<std::size_t>(-1)].exists());
    EXPECT_EQ(reply["nope"]["deeper"].stringValue(), "");
}

TEST(JSONAccessors, NonConstReadsDoNotInsertKeys)
{
    JSON reply = JSON::parse(R"({"a":1})");
    EXPECT_FALSE(reply["b"]["c"].exists());
    EXPECT_EQ(reply["a"].intValue(), 1);
    EXPECT_EQ(reply.count(), 1u);
}

TEST(JSONAccessors, ArrayAndDictionaryValuesKeepContent)
{
    JSON value = JSON::parse(R"({"b":[1,"two",null],"a":{"k":true}})");
    auto members = value.dictionaryValue();
    ASSERT_EQ(members.size(), 2u);
    EXPECT_TRUE(members["a"]["k"].boolValue());
    auto elements = members["b"].arrayValue();
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[1].stringValue(), "two");
    EXPECT_TRUE(elements[2].isNull());
    EXPECT_TRUE(elements[2].exists());
}

TEST(JSONAccessors, EqualityComparesValuesAcrossNumberForms)
{
    EXPECT_EQ(JSON(1), JSON(1.0));
    EXPECT_NE(JSON(1), JSON(1.5));
    EXPECT_NE(JSON(1), JSON(true));
    EXPECT_NE(JSON(1), JSON("1"));
    EXPECT_EQ(JSON(18446744073709551615ull), JSON(18446744073709551615ull));
    EXPECT_NE(JSON(18446744073709551615ull), JSON(-1));
    EXPECT_NE(JSON(9007199254740993LL), JSON(9007199254740992.0)); // no rounding of the integer
    EXPECT_EQ(JSON::parse(R"({"a":[1,{"b":null}]})"),
        JSON::object({ { "a", JSON::array({ 1, JSON::object({ { "b", nullptr } }) }) } }));
    EXPECT_NE(JSON::array({ 1, 2 }), JSON::array({ 2, 1 }));
    EXPECT_NE(JSON::object(), JSON::array({}));
}

}
