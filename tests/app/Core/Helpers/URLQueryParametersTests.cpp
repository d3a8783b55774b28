#include "app/Core/Helpers/URLQueryParameters.h"

#include <gtest/gtest.h>

namespace {

using Parameters = std::map<std::string, std::string>;

TEST(URLQueryParameters, ItemsInOrderLaterWinsAndAnItemWithoutValueRemoves)
{
    struct Case {
        const char* url;
        std::optional<Parameters> expected;
    };
    const Case cases[] = {
        { "https://h.example/p?a=1&b=2", Parameters { { "a", "1" }, { "b", "2" } } },
        { "https://h.example/p", std::nullopt },
        { "https://h.example/p#frag?x=1", std::nullopt },
        { "https://h.example/p?", Parameters {} },
        { "https://h.example/p?a=1&a=2", Parameters { { "a", "2" } } },
        { "https://h.example/p?a=1&a&b", Parameters {} },
        { "https://h.example/p?a&a=3&b=", Parameters { { "a", "3" }, { "b", "" } } },
        { "https://h.example/p?q=%E4%B8%AD+x&k%3D=v=w#frag",
            Parameters { { "q", "\xE4\xB8\xAD+x" }, { "k=", "v=w" } } },
        { "?id=7", Parameters { { "id", "7" } } },
        { "https://h.example/p?a=two words", std::nullopt },
        { "https://h.example/p?a=%zz", std::nullopt },
        { "", std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(queryParameters(c.url), c.expected) << c.url;
}

}
