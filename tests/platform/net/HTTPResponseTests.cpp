#include "platform/net/HTTPResponse.h"

#include <gtest/gtest.h>

namespace {

HTTPResponse withBody(std::string_view contentType, Data body)
{
    HTTPResponse response;
    response.statusCode = 200;
    if (!contentType.empty())
        response.headers.emplace_back("content-type", std::string(contentType));
    response.body = std::move(body);
    return response;
}

}

TEST(HTTPResponse, TextFollowsTheCharsetOfTheReply)
{
    Data utf8 = dataFromString("caf\xC3\xA9");
    EXPECT_EQ(withBody("", utf8).text(), "caf\xC3\xA9");
    EXPECT_EQ(withBody("application/json; charset=UTF-8", utf8).text(), "caf\xC3\xA9");
    EXPECT_EQ(
        withBody("text/plain; charset=\"ISO-8859-1\"", Data { 'c', 'a', 'f', 0xE9 }).text(), "caf\xC3\xA9");
    EXPECT_EQ(withBody("text/plain; charset=us-ascii", dataFromString("plain")).text(), "plain");
    EXPECT_EQ(withBody("text/plain; charset=us-ascii", utf8).text(), std::nullopt);
    // Unknown charsets read as UTF-8.
    EXPECT_EQ(withBody("text/plain; charset=x-unknown", utf8).text(), "caf\xC3\xA9");
    EXPECT_EQ(withBody("", Data {}).text(), "");

    HTTPResponse noBody;
    EXPECT_EQ(noBody.text(), std::nullopt);
}

TEST(HTTPResponse, MalformedUTF8DoesNotDecode)
{
    for (Data bad : { Data { 0xC3 }, Data { 0xC0, 0xAF }, Data { 0xED, 0xA0, 0x80 },
             Data { 0xF4, 0x90, 0x80, 0x80 }, Data { 0x80 }, Data { 0xE2, 0x28, 0xA1 }, Data { 0xFF } })
        EXPECT_EQ(withBody("", bad).text(), std::nullopt);
    EXPECT_EQ(withBody("", Data { 0xF0, 0x9F, 0x98, 0x80 }).text(), "\xF0\x9F\x98\x80");
}
