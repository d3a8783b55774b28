#include "platform/net/HTTPHeaders.h"

#include <gtest/gtest.h>

TEST(HeaderFieldSafety, FieldsThatCouldSplitARequestAreDropped)
{
    using namespace std::string_literals;
    struct Case {
        std::string name;
        std::string value;
        bool kept;
    };
    for (const Case& c : std::vector<Case> {
             { "User-Agent", "Mozilla/5.0 (Linux) like Gecko", true },
             { "X-Custom_Token.v2", "a=b; c, d \"quoted\" \t tab", true },
             { "!#$%&'*+-.^_`|~09AZaz", "", true },
             { "Referer", "https://example.test/\xE4\xB8\xAD", true }, // bytes past ASCII are no line break
             { "X-Split", "a\r\nInjected: 1", false },
             { "X-Lf", "a\nb", false },
             { "X-Cr", "a\rb", false },
             { "X-Nul", "a\0b"s, false },
             { "", "empty name", false },
             { "Bad Name", "space", false },
             { "Bad:Name", "colon", false },
             { "X-A\r\nX-B", "in the name", false },
             { "Name\xE4\xB8\xAD", "not ASCII", false },
             { "(comment)", "separators", false },
         }) {
        SCOPED_TRACE(c.name);
        HTTPHeaders kept = safeHeaderFields({ { c.name, c.value } });
        EXPECT_EQ(kept.size(), c.kept ? 1u : 0u);
    }
    // The others keep their order.
    EXPECT_EQ(safeHeaderFields({ { "B", "1" }, { "X", "\n" }, { "A", "2" } }), (HTTPHeaders { { "B", "1" }, { "A", "2" } }));
}
