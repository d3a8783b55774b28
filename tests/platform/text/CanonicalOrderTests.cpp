#include "platform/text/CanonicalOrder.h"

#include <gtest/gtest.h>
#include <string>

TEST(CanonicalOrder, ComparesNormalisedScalarsWithoutReadingNumbers)
{
    struct Case {
        std::string a;
        std::string b;
        bool less;
    };
    const Case cases[] = {
        { "第10集", "第2集", true }, // digits as characters, not numbers
        { "第2集", "第10集", false }, { "a", "b", true }, { "B", "a", true }, // scalar order: capitals first
        { "abc", "abcd", true }, // a prefix comes first
        { "", "a", true }, { "é", "e\xCC\x81", false }, // composed and decomposed are equal
        { "e\xCC\x81", "é", false }, { "e\xCC\x81", "f", false }, // U+00E9 after U+0066
        { "z", "é", true }, // U+007A before U+00E9
        { "\xEF\xBF\xBD", "\xFF", false }, // invalid UTF-8 reads as U+FFFD
    };
    for (const Case& c : cases)
        EXPECT_EQ(CanonicalOrder::less(c.a, c.b), c.less) << c.a << " < " << c.b;
    EXPECT_EQ(CanonicalOrder::normalizedNFC("e\xCC\x81"), "é");
}
