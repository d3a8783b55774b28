#include "app/Core/Helpers/ChatBubble.h"
#include "app/Extensions/LayoutConstants.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIScreen.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

const UIColor kBubble = UIColor::black().withAlphaComponent(0.1);

CGSize pointSize(const UIImage& image)
{
    return { image.pixelWidth() / image.scale(), image.pixelHeight() / image.scale() };
}

// A point's pixel at the image's scale (the middle pixel of the point).
UIColor::RGBA at(const UIImage& image, CGFloat x, CGFloat y)
{
    int px = static_cast<int>(std::floor((x + 0.5) * image.scale()));
    int py = static_cast<int>(std::floor((y + 0.5) * image.scale()));
    return image.pixel(px, py);
}

TEST(ChatBubble, ShortTextGetsItsOwnSizePlusPaddingAndSpaceBelow)
{
    const std::string text = "听雨的小鱼 12:30";
    CGSize textSize = TextLayout::measure(text, UIFont::systemFont(12));
    UIImage image = chatBubbleImage(std::nullopt, StyledText::plain(text), UIColor::black(), kBubble);
    ASSERT_TRUE(image.hasBitmap());
    EXPECT_EQ(image.scale(), UIScreen::main().scale());
    CGSize size = pointSize(image);
    EXPECT_DOUBLE_EQ(size.width, textSize.width + 16);
    EXPECT_DOUBLE_EQ(size.height, textSize.height + 8 + 10);

    // Rounded corners and the empty strip below are transparent; the bubble is 10% black.
    EXPECT_EQ(at(image, 0, 0).alpha, 0);
    EXPECT_EQ(at(image, size.width - 1, 0).alpha, 0);
    EXPECT_EQ(at(image, size.width / 2, size.height - 5).alpha, 0);
    UIColor::RGBA fill = at(image, 2, size.height - 10 - 2 - 8 / 2.0);
    EXPECT_NEAR(fill.alpha, 0.1, 0.01);
    EXPECT_EQ(fill.red, 0);
}

TEST(ChatBubble, OnlyAQuotedImageMakesRoomForItsThumbnail)
{
    StyledText text = StyledText::plain("名字 昨天");
    const CGFloat plainHeight
        = pointSize(chatBubbleImage(std::nullopt, text, UIColor::white(), kBubble)).height;
    for (MessageType kind : { MessageType::mtUnknown, MessageType::mtText, MessageType::mtFace,
             MessageType::mtCommand, MessageType::mtCustom, messageTypeFromRawValue(42) }) {
        EXPECT_DOUBLE_EQ(
            pointSize(chatBubbleImage(kind, text, UIColor::white(), kBubble)).height, plainHeight)
            << rawValue(kind);
    }

    UIImage withImage = chatBubbleImage(MessageType::mtImage, text, UIColor::white(), kBubble);
    CGSize size = pointSize(withImage);
    EXPECT_DOUBLE_EQ(size.height, plainHeight + 44);
    // The extra room is part of the bubble, the last 10 points are not.
    EXPECT_NEAR(at(withImage, size.width / 2, size.height - 10 - 20).alpha, 0.1, 0.01);
    EXPECT_EQ(at(withImage, size.width / 2, size.height - 5).alpha, 0);
}

TEST(ChatBubble, LongTextWrapsWithinTheScreenWidthLessAMargin)
{
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "这是一段很长的引用消息 ";
    const CGFloat oneLine = TextLayout::measure("这", UIFont::systemFont(12)).height;
    UIImage image = chatBubbleImage(std::nullopt, StyledText::plain(text), UIColor::black(), kBubble);
    CGSize size = pointSize(image);
    EXPECT_LE(size.width, screenWidth() - 120);
    EXPECT_GT(size.width, screenWidth() - 120 - 24); // wrapped lines fill nearly the whole width
    CGSize wrapped = TextLayout::measure(text, UIFont::systemFont(12), screenWidth() - 120 - 16);
    EXPECT_GT(wrapped.height, 2 * oneLine);
    EXPECT_DOUBLE_EQ(size.height, wrapped.height + 8 + 10);
}

}
