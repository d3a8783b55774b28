#include "platform/json/JSON.h"
#include "platform/json/JSONSerialization.h"

#include <gtest/gtest.h>

namespace {

std::string text(const JSON& value)
{
    return JSONSerialization::string(value).value_or("<failed>");
}

TEST(JSONBuilder, ParametersFromInitializerLists)
{
    std::string title = "片名";
    JSON params = JSON::object({ { "id", 5 }, { "name", title }, { "state", true }, { "page", 1u } });
    EXPECT_EQ(text(params), R"({"id":5,"name":"片名","page":1,"state":true})");
    EXPECT_EQ(text(JSON::object({ { "k", 1 }, { "k", 2 } })), R"({"k":2})");
}

TEST(JSONBuilder, SubscriptAssignmentSetsAndReplaces)
{
    JSON params = JSON::object({ { "id", 5 } });
    params["timestamp"] = "1700000000";
    params["id"] = "6";
    EXPECT_EQ(text(params), R"({"id":"6","timestamp":"1700000000"})");

    JSON fresh;
    fresh["a"]["b"] = 1; // null turns into objects on the way down
    fresh["a"]["c"] = JSON::array({ 2 });
    EXPECT_EQ(text(fresh), R"({"a":{"b":1,"c":[2]}})");

    auto slot = fresh["a"];
    slot = 3;
    EXPECT_EQ(text(fresh), R"({"a":3})");
}

TEST(JSONBuilder, WritesOfTheWrongShapeAreIgnored)
{
    JSON list = JSON::array({ 1 });
    list["a"] = 2;
    list.set("b", 3);
    EXPECT_EQ(text(list), "[1]");

    JSON object = JSON::object();
    object.push_back(1);
    EXPECT_EQ(text(object), "{}");

    JSON number = 4;
    number["x"] = 1;
    number.push_back(1);
    EXPECT_EQ(text(number), "4");
}

TEST(JSONBuilder, PushBackBuildsArrays)
{
    JSON list;
    list.push_back(1);
    list.push_back(JSON::object({ { "a", "b" } }));
    list.push_back(JSON::object()["missing"]); // a missing value is stored as null
    EXPECT_EQ(text(list), R"([1,{"a":"b"},null])");
    EXPECT_TRUE(list[2].exists());
}

TEST(JSONBuilder, CopiesAreNotChangedByLaterWrites)
{
    JSON original = JSON::parse(R"({"data":{"list":[1,2]},"msg":"ok"})");
    JSON copy = original;
    JSON inner = original["data"];
    copy["msg"] = "changed";
    inner["list"] = 0;
    JSON list = original["data"]["list"];
    list.push_back(3);

    EXPECT_EQ(text(original), R"({"data":{"list":[1,2]},"msg":"ok"})");
    EXPECT_EQ(text(copy), R"({"data":{"list":[1,2]},"msg":"changed"})");
    EXPECT_EQ(text(inner), R"({"list":0})");
    EXPECT_EQ(text(list), "[1,2,3]");
}

TEST(JSONBuilder, StoringAValueIntoItselfMakesNoCycle)
{
    JSON value = JSON::object({ { "a", 1 } });
    value["self"] = value;
    EXPECT_EQ(text(value), R"({"a":1,"self":{"a":1}})");
}

TEST(JSONBuilder, MovedFromValueIsNull)
{
    JSON value = JSON::array({ 1 });
    JSON taken = std::move(value);
    EXPECT_TRUE(value.isNull()); // NOLINT(bugprone-use-after-move): the moved-from state is defined
    EXPECT_EQ(taken.count(), 1u);
}

TEST(JSONBuilder, ContainersFromStandardTypes)
{
    std::map<std::string, JSON> headers { { "Referer", "https://x" }, { "X-A", 1 } };
    JSON object(headers);
    EXPECT_EQ(object.dictionaryValue(), headers);
    JSON list(std::vector<JSON> { 1, "a" });
    EXPECT_EQ(text(list), R"([1,"a"])");
}

}
