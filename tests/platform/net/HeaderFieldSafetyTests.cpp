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

TEST(ReplyHead, LinesAddFoldAndRestartTheFields)
{
    HTTPHeaders fields;
    for (std::string_view line : { "HTTP/1.1 302 Found\r\n", "Location: /a\r\n", "\r\n", "HTTP/1.1 200 OK\r\n",
             "Content-Type:  text/plain \r\n", "X-Long: one\r\n", "  two \r\n", "\tthree\r\n", "   \r\n",
             ": no name\r\n", "no colon\r\n", "x-app-data-encrypt: true\r\n", "\r\n" })
        addReplyHeadLine(fields, line);
    EXPECT_EQ(fields,
        (HTTPHeaders { { "Content-Type", "text/plain" }, { "X-Long", "one two three" }, { "x-app-data-encrypt", "true" } }));

    // A head without bound is refused line by line, and what came before stays.
    HTTPHeaders many;
    ReplyHeadLine last = ReplyHeadLine::Field;
    for (int i = 0; last == ReplyHeadLine::Field; ++i)
        last = addReplyHeadLine(many, "X-" + std::to_string(i) + ": v\r\n");
    EXPECT_EQ(last, ReplyHeadLine::TooLarge);
    EXPECT_EQ(many.size(), maxReplyHeadFields);
    HTTPHeaders folded { { "X", "" } };
    std::string chunk = " " + std::string(1000, 'a') + "\r\n";
    while (addReplyHeadLine(folded, chunk) == ReplyHeadLine::Field) { }
    EXPECT_LE(folded[0].second.size(), maxReplyHeadBytes);
    EXPECT_GT(folded[0].second.size(), maxReplyHeadBytes - 2000);
}
