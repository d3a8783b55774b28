#include "platform/json/JSON.h"
#include "platform/json/JSONSerialization.h"

#include <gtest/gtest.h>

namespace {

std::string text(const JSON& value)
{
    return JSONSerialization::string(value).value_or("<failed>");
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

TEST(JSONBuilder, StoringAValueIntoItselfMakesNoCycle)
{
    JSON value = JSON::object({ { "a", 1 } });
    value["self"] = value;
    EXPECT_EQ(text(value), R"({"a":1,"self":{"a":1}})");
}

}
