// Text from outside in a log line: one line, bounded, never a broken UTF-8 sequence.

#include "app/Core/Helpers/LogText.h"

#include <gtest/gtest.h>

TEST(LogText, KeepsOneBoundedLineOfWholeCharacters)
{
    struct Case {
        std::string text;
        std::size_t maxBytes;
        std::string line;
    };
    const Case cases[] = {
        { "影片不存在", 80, "影片不存在" },
        { "two\nlines\tand\x7f", 80, "two lines and " },
        { "abcdef", 6, "abcdef" },
        { "abcdefg", 6, "abcdef…" },
        // Each of these is 3 bytes: a limit inside the third keeps two.
        { "网络异常", 7, "网络…" },
        { "网络异常", 8, "网络…" },
        { "网络异常", 9, "网络异…" },
        { "", 0, "" },
        { "x", 0, "…" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(logText(c.text, c.maxBytes), c.line) << c.text << " " << c.maxBytes;
}
