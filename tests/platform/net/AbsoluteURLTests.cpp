#include "platform/net/AbsoluteURL.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Base URLs from the server-address file and the cache pass this check before they replace a
// default, so every form that names no host of its own must fail it.
TEST(AbsoluteURL, OnlyASchemeWithItsAuthorityAndHostPasses)
{
    struct Case {
        std::string url;
        bool absolute;
    };
    const Case cases[] = {
        { "https://127.0.0.1:9313/api/", true },
        { "http://example.com", true },
        { "HTTPS://Example.com/x", true },
        { "https://user@example.com/x", true },
        { "https:///x", false },
        { "https:////x", false },
        { "https://\\x", false },
        { "https:/x", false },
        { "https:x", false },
        { "https://", false },
        { "//example.com/x", false },
        { "/api/", false },
        { "ftp://example.com/x", false },
        { "https://exa mple.com/", false },
        { std::string("https://example.com/\0evil", 25), false },
        { "", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(isAbsoluteURL(c.url, { "http", "https" }), c.absolute) << c.url;
    EXPECT_TRUE(isAbsoluteURL("wss://127.0.0.1:9314/ws", { "ws", "wss" }));
    EXPECT_FALSE(isAbsoluteURL("wss:///ws", { "ws", "wss" }));
    EXPECT_FALSE(isAbsoluteURL("wss://127.0.0.1:9314/ws", { "http", "https" }));
}

}
