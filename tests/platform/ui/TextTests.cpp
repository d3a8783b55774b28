#include "platform/ui/Renderer.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UILabel.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, MeasuringWrapsAtTheWidthAndLimitsLines)
{
    UIFont font = UIFont::systemFont(14);
    CGSize one = TextLayout::measure("Hello world, this is a longer line", font);
    EXPECT_EQ(one.height, std::ceil(font.lineHeight()));
    CGSize wrapped = TextLayout::measure("Hello world, this is a longer line", font, one.width / 2);
    EXPECT_LE(wrapped.width, one.width / 2);
    EXPECT_GE(wrapped.height, 2 * std::floor(font.lineHeight()));
    CGSize limited = TextLayout::measure("Hello world, this is a longer line", font, one.width / 3, 2);
    EXPECT_EQ(limited.height, TextLayout::measure("a\nb", font).height);
    EXPECT_EQ(TextLayout::measure("", font), CGSize {});
    // Chinese text measures with the CJK family: two glyphs are about two ems wide.
    CGSize cjk = TextLayout::measure("登录", font);
    EXPECT_NEAR(cjk.width, 28, 2);
    // Chinese has no spaces: twelve characters at a width of about five break between characters
    // into three lines, none wider than the width.
    CGSize cjkWrapped = TextLayout::measure("导演编剧主演剧情简介全部", font, 75);
    EXPECT_LE(cjkWrapped.width, 75);
    EXPECT_GE(cjkWrapped.width, 60);
    EXPECT_EQ(cjkWrapped.height, TextLayout::measure("a\nb\nc", font).height);
    // Invalid UTF-8 is repaired, not fatal.
    EXPECT_GT(TextLayout::measure(std::string("ab\xff\xfe", 4), font).width, 0);
}

TEST(Text, LabelSizingFollowsNumberOfLines)
{
    auto label = UIView::create<UILabel>();
    label->setFont(UIFont::systemFont(16));
    label->setText("A label text that will need more than one line at a narrow width");
    CGSize natural = label->intrinsicContentSize();
    // One line: the natural size whatever the proposed width.
    EXPECT_EQ(label->sizeThatFits({ 100, 1000 }), natural);
    label->setNumberOfLines(0);
    CGSize fitted = label->sizeThatFits({ 100, 1000 });
    EXPECT_LE(fitted.width, 100);
    EXPECT_GT(fitted.height, natural.height * 3);
    label->setNumberOfLines(2);
    EXPECT_EQ(label->sizeThatFits({ 100, 1000 }).height,
        TextLayout::measure("a\nb", UIFont::systemFont(16)).height);
    label->setPreferredMaxLayoutWidth(100);
    EXPECT_EQ(label->intrinsicContentSize(), label->sizeThatFits({ 100, 1000 }));

    label->setNumberOfLines(1);
    label->sizeToFit();
    EXPECT_EQ(label->bounds().size, natural);
    EXPECT_FALSE(label->isTextTruncated());
    label->setFrame({ 0, 0, natural.width / 2, natural.height });
    EXPECT_TRUE(label->isTextTruncated());

    label->setText("");
    EXPECT_EQ(label->intrinsicContentSize(), CGSize {});
}

TEST(Text, StyledTextRunsKeepTheirFonts)
{
    StyledText styled;
    TextRun big;
    big.text = "Big";
    big.font = UIFont::systemFont(30);
    TextRun small;
    small.text = "small";
    styled.runs = { big, small };
    EXPECT_EQ(styled.string(), "Bigsmall");
    CGSize mixed = TextLayout(styled, UIFont::systemFont(10), UIColor::black()).size();
    EXPECT_GE(mixed.height, std::floor(UIFont::systemFont(30).lineHeight()));
    styled.lineSpacing = 10;
    styled.runs[1].text = "small\nsecond line";
    CGSize spaced = TextLayout(styled, UIFont::systemFont(10), UIColor::black()).size();
    StyledText plain;
    plain.runs = styled.runs;
    CGSize unspaced = TextLayout(plain, UIFont::systemFont(10), UIColor::black()).size();
    EXPECT_NEAR(spaced.height - unspaced.height, 10, 1);
}

}
