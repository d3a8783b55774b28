#include "platform/ui/text/NSAttributedString.h"

#include <gtest/gtest.h>

namespace {

NSAttributes colour(const UIColor& color)
{
    NSAttributes attributes;
    attributes.foregroundColor = color;
    return attributes;
}

TEST(AttributedString, RangesCountUtf16UnitsAndStylesMergeByAttribute)
{
    NSAttributes base;
    base.font = UIFont::systemFont(14);
    base.foregroundColor = UIColor::black();
    // "😀" takes two UTF-16 units, each Chinese character one.
    NSMutableAttributedString text("😀导演 张三", base);
    EXPECT_EQ(text.length(), 7u);

    // "导演" is at units 2..4; only the colour changes, the font stays.
    ASSERT_TRUE(text.addAttributes(colour(UIColor::red()), NSMakeRange(2, 2)));
    NSRange effective;
    NSAttributes styled = text.attributes(3, &effective);
    EXPECT_EQ(effective, NSMakeRange(2, 2));
    EXPECT_EQ(styled.foregroundColor, UIColor::red());
    EXPECT_EQ(styled.font, UIFont::systemFont(14));
    EXPECT_EQ(text.attributes(0, &effective).foregroundColor, UIColor::black());
    EXPECT_EQ(effective, NSMakeRange(0, 2));
    EXPECT_EQ(text.attributes(4, &effective).foregroundColor, UIColor::black());
    EXPECT_EQ(effective, NSMakeRange(4, 3));

    // A range that splits the surrogate pair takes the whole emoji.
    ASSERT_TRUE(text.addAttributes(colour(UIColor::blue()), NSMakeRange(1, 1)));
    EXPECT_EQ(text.attributes(0, &effective).foregroundColor, UIColor::blue());
    EXPECT_EQ(effective, NSMakeRange(0, 2));

    // Past the end: refused, nothing changes.
    NSMutableAttributedString before = text;
    EXPECT_FALSE(text.addAttributes(colour(UIColor::green()), NSMakeRange(5, 3)));
    EXPECT_FALSE(text.addAttributes(colour(UIColor::green()), NSMakeRange(NSNotFound, 1)));
    EXPECT_EQ(text, before);
    EXPECT_TRUE(text.attributes(7).empty());

    // Styling back to the neighbours' attributes joins the runs again.
    ASSERT_TRUE(text.addAttributes(colour(UIColor::black()), NSMakeRange(0, 4)));
    EXPECT_EQ(text.styledText().runs.size(), 1u);
}

TEST(AttributedString, AppendingAndTheStyledTextThatLabelsDraw)
{
    NSParagraphStyle paragraph;
    paragraph.lineSpacing = 6;
    paragraph.alignment = NSTextAlignment::center;
    NSAttributes first = colour(UIColor::red());
    first.paragraphStyle = paragraph;
    NSMutableAttributedString text("回复：", first);
    NSAttributes second = colour(UIColor::gray());
    second.underline = true;
    text.append(NSAttributedString("好的", second));
    text.append(NSAttributedString("!", second));
    EXPECT_EQ(text.string(), "回复：好的!");
    EXPECT_EQ(text.length(), 6u);

    StyledText styled = text.styledText();
    ASSERT_EQ(styled.runs.size(), 2u);
    EXPECT_EQ(styled.runs[0].text, "回复：");
    EXPECT_EQ(styled.runs[0].foregroundColor, UIColor::red());
    EXPECT_FALSE(styled.runs[0].font.has_value());
    EXPECT_EQ(styled.runs[1].text, "好的!");
    EXPECT_TRUE(styled.runs[1].underline);
    EXPECT_EQ(styled.lineSpacing, 6);
    EXPECT_EQ(styled.alignment, NSTextAlignment::center);

    // Invalid bytes become one replacement character each, counted as such.
    NSAttributedString repaired(std::string("a\xff", 2));
    EXPECT_EQ(repaired.string(), "a\xEF\xBF\xBD");
    EXPECT_EQ(repaired.length(), 2u);
}

}
