#include "platform/ui/gif/GifDecoder.h"
#include "tests/platform/ui/GifTestEncoder.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

using zvtest::encodeGif;
using zvtest::GifColor;
using zvtest::GifTestFrame;
using zvtest::GifTestImage;

namespace {

constexpr GifColor red { 255, 0, 0 };
constexpr GifColor green { 0, 255, 0 };
constexpr GifColor blue { 0, 0, 255 };
constexpr GifColor white { 255, 255, 255 };

// Index 0 red, 1 green, 2 blue, 3 white.
const std::vector<GifColor> palette = { red, green, blue, white };

const UIColor::RGBA opaqueRed { 1, 0, 0, 1 };
const UIColor::RGBA opaqueGreen { 0, 1, 0, 1 };
const UIColor::RGBA opaqueBlue { 0, 0, 1, 1 };
const UIColor::RGBA opaqueWhite { 1, 1, 1, 1 };
const UIColor::RGBA clear { 0, 0, 0, 0 };

GifTestFrame frame(int left, int top, int width, int height, std::vector<std::uint8_t> indices)
{
    GifTestFrame f;
    f.left = left;
    f.top = top;
    f.width = width;
    f.height = height;
    f.indices = std::move(indices);
    return f;
}

GifTestImage screen(int width, int height, std::vector<GifTestFrame> frames)
{
    GifTestImage image;
    image.width = width;
    image.height = height;
    image.globalColors = palette;
    image.frames = std::move(frames);
    return image;
}

std::vector<UIColor::RGBA> row(const UIImage& image, int y)
{
    std::vector<UIColor::RGBA> pixels;
    for (int x = 0; x < image.pixelWidth(); ++x)
        pixels.push_back(image.pixel(x, y));
    return pixels;
}

}

TEST(GifDecoder, FramesDelaysAndLoopCountAsWritten)
{
    auto first = frame(0, 0, 2, 2, { 0, 1, 2, 3 });
    first.delay = 10;
    auto second = frame(0, 0, 2, 2, { 3, 3, 3, 3 });
    second.delay = 0; // kept as 0: minimum delays are the player's business
    auto third = frame(0, 0, 2, 2, { 1, 1, 1, 1 });
    third.control = false;
    GifTestImage image = screen(2, 2, { first, second, third });
    image.loopCount = 0;

    auto gif = GifDecoder::decode(encodeGif(image));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->width, 2);
    EXPECT_EQ(gif->height, 2);
    EXPECT_EQ(gif->loopCount, 0);
    ASSERT_EQ(gif->frames.size(), 3u);
    EXPECT_EQ(gif->frames[0].delayCentiseconds, 10);
    EXPECT_DOUBLE_EQ(gif->frames[0].delaySeconds(), 0.1);
    EXPECT_EQ(gif->frames[1].delayCentiseconds, 0);
    EXPECT_EQ(gif->frames[2].delayCentiseconds, std::nullopt);

    const UIImage& picture = gif->frames[0].image;
    EXPECT_EQ(picture.pixelWidth(), 2);
    EXPECT_EQ(picture.pixelHeight(), 2);
    EXPECT_EQ(row(picture, 0), (std::vector { opaqueRed, opaqueGreen }));
    EXPECT_EQ(row(picture, 1), (std::vector { opaqueBlue, opaqueWhite }));
    EXPECT_EQ(gif->frames[2].image.pixel(1, 1), opaqueGreen);

    image.loopCount = 3;
    EXPECT_EQ(GifDecoder::decode(encodeGif(image))->loopCount, 3);
    image.loopCount.reset();
    EXPECT_EQ(GifDecoder::decode(encodeGif(image))->loopCount, std::nullopt);
}

TEST(GifDecoder, AFileFromAnotherEncoderKeepsItsFramesAndDelays)
{
    // Written by giflib with real LZW compression: 12 x 8, looping forever; red over green rows
    // (7/100 s), a blue square at (4, 2) put back to the background afterwards (25/100 s), a white
    // stripe at the left (1 s).
    std::ifstream file(zvtest::sourceDir() / "tests/platform/ui/data/three_frames.gif", std::ios::binary);
    ASSERT_TRUE(file);
    Data bytes { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
    auto gif = GifDecoder::decode(bytes);
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->width, 12);
    EXPECT_EQ(gif->height, 8);
    EXPECT_EQ(gif->loopCount, 0);
    ASSERT_EQ(gif->frames.size(), 3u);
    EXPECT_EQ(gif->frames[0].delayCentiseconds, 7);
    EXPECT_EQ(gif->frames[1].delayCentiseconds, 25);
    EXPECT_EQ(gif->frames[2].delayCentiseconds, 100);

    EXPECT_EQ(gif->frames[0].image.pixel(11, 3), opaqueRed);
    EXPECT_EQ(gif->frames[0].image.pixel(0, 4), opaqueGreen);
    EXPECT_EQ(gif->frames[1].image.pixel(4, 2), opaqueBlue);
    EXPECT_EQ(gif->frames[1].image.pixel(8, 2), opaqueRed);
    const UIImage& last = gif->frames[2].image;
    EXPECT_EQ(last.pixel(1, 7), opaqueWhite);
    EXPECT_EQ(last.pixel(5, 3), clear);
    EXPECT_EQ(last.pixel(11, 7), opaqueGreen);
}

TEST(GifDecoder, TransparentPixelsShowWhatLiesBelow)
{
    // Frame 1 fills the screen red; frame 2 covers the right two pixels of the top row with
    // "transparent, blue".
    auto first = frame(0, 0, 3, 2, std::vector<std::uint8_t>(6, 0));
    first.disposal = 1;
    auto second = frame(1, 0, 2, 1, { 3, 2 });
    second.transparentIndex = 3;
    auto gif = GifDecoder::decode(encodeGif(screen(3, 2, { first, second })));
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->frames.size(), 2u);
    EXPECT_EQ(row(gif->frames[1].image, 0), (std::vector { opaqueRed, opaqueRed, opaqueBlue }));
    EXPECT_EQ(row(gif->frames[1].image, 1), (std::vector { opaqueRed, opaqueRed, opaqueRed }));
    // The first frame's picture is not changed by what comes after.
    EXPECT_EQ(gif->frames[0].image.pixel(2, 0), opaqueRed);

    // A transparent pixel on the empty screen stays transparent.
    auto lone = frame(0, 0, 2, 1, { 3, 1 });
    lone.transparentIndex = 3;
    auto single = GifDecoder::decode(encodeGif(screen(2, 1, { lone })));
    ASSERT_TRUE(single);
    EXPECT_EQ(row(single->frames[0].image, 0), (std::vector { clear, opaqueGreen }));
}

TEST(GifDecoder, DisposalToBackgroundClearsTheFrameArea)
{
    auto first = frame(0, 0, 3, 2, std::vector<std::uint8_t>(6, 3)); // white screen, kept
    first.disposal = 1;
    auto second = frame(0, 0, 2, 2, { 0, 0, 0, 0 }); // red square, then cleared
    second.disposal = 2;
    auto third = frame(2, 1, 1, 1, { 1 });
    auto gif = GifDecoder::decode(encodeGif(screen(3, 2, { first, second, third })));
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->frames.size(), 3u);
    EXPECT_EQ(row(gif->frames[1].image, 0), (std::vector { opaqueRed, opaqueRed, opaqueWhite }));
    EXPECT_EQ(row(gif->frames[2].image, 0), (std::vector { clear, clear, opaqueWhite }));
    EXPECT_EQ(row(gif->frames[2].image, 1), (std::vector { clear, clear, opaqueGreen }));
}

TEST(GifDecoder, DisposalToPreviousRestoresTheScreen)
{
    auto first = frame(0, 0, 2, 1, { 0, 0 });
    auto second = frame(0, 0, 1, 1, { 2 });
    second.disposal = 3;
    auto third = frame(1, 0, 1, 1, { 1 });
    auto gif = GifDecoder::decode(encodeGif(screen(2, 1, { first, second, third })));
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->frames.size(), 3u);
    EXPECT_EQ(row(gif->frames[1].image, 0), (std::vector { opaqueBlue, opaqueRed }));
    EXPECT_EQ(row(gif->frames[2].image, 0), (std::vector { opaqueRed, opaqueGreen }));

    // Restoring after the very first frame goes back to the empty screen.
    auto only = frame(0, 0, 1, 1, { 1 });
    only.disposal = 3;
    auto after = frame(1, 0, 1, 1, { 2 });
    auto empty = GifDecoder::decode(encodeGif(screen(2, 1, { only, after })));
    ASSERT_TRUE(empty);
    EXPECT_EQ(row(empty->frames[1].image, 0), (std::vector { clear, opaqueBlue }));
}

TEST(GifDecoder, InterlacedRowsAndLocalColourTables)
{
    // Nine rows, one colour each, written in interlaced order.
    std::vector<std::uint8_t> indices = { 0, 1, 2, 3, 0, 1, 2, 3, 0 };
    auto tall = frame(0, 0, 1, 9, indices);
    tall.interlaced = true;
    auto gif = GifDecoder::decode(encodeGif(screen(1, 9, { tall })));
    ASSERT_TRUE(gif);
    const UIColor::RGBA expected[] = { opaqueRed, opaqueGreen, opaqueBlue, opaqueWhite };
    for (int y = 0; y < 9; ++y)
        EXPECT_EQ(gif->frames[0].image.pixel(0, y), expected[indices[y]]) << "row " << y;

    auto local = frame(0, 0, 2, 1, { 0, 1 });
    local.localColors = { white, blue };
    auto withLocal = GifDecoder::decode(encodeGif(screen(2, 1, { local })));
    ASSERT_TRUE(withLocal);
    EXPECT_EQ(row(withLocal->frames[0].image, 0), (std::vector { opaqueWhite, opaqueBlue }));
}

TEST(GifDecoder, OddScreensAndIndices)
{
    // A screen of 0 x 0 grows to hold the first frame; later frames are clipped to it.
    auto first = frame(1, 0, 2, 1, { 0, 1 });
    auto beyond = frame(2, 0, 4, 2, { 2, 2, 2, 2, 2, 2, 2, 2 });
    auto gif = GifDecoder::decode(encodeGif(screen(0, 0, { first, beyond })));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->width, 3);
    EXPECT_EQ(gif->height, 1);
    ASSERT_EQ(gif->frames.size(), 2u);
    EXPECT_EQ(row(gif->frames[1].image, 0), (std::vector { clear, opaqueRed, opaqueBlue }));

    // Indices past a two-entry table draw nothing; frames of no area still count as frames.
    GifTestImage small
        = screen(2, 1, { frame(0, 0, 2, 1, { 1, 3 }), frame(0, 0, 0, 0, {}), frame(1, 0, 0, 3, {}) });
    small.globalColors = { red, green };
    small.frames[0].localColors.clear();
    auto odd = GifDecoder::decode(encodeGif(small));
    ASSERT_TRUE(odd);
    ASSERT_EQ(odd->frames.size(), 3u);
    EXPECT_EQ(row(odd->frames[0].image, 0), (std::vector { opaqueGreen, clear }));

    // No colour table at all: the frame is there, but draws nothing.
    GifTestImage colourless = screen(1, 1, { frame(0, 0, 1, 1, { 0 }) });
    colourless.globalColors.clear();
    auto blank = GifDecoder::decode(encodeGif(colourless));
    ASSERT_TRUE(blank);
    ASSERT_EQ(blank->frames.size(), 1u);
    EXPECT_EQ(blank->frames[0].image.pixel(0, 0), clear);
}

TEST(GifDecoder, DamagedAndHostileInput)
{
    EXPECT_FALSE(GifDecoder::decode({}));
    EXPECT_FALSE(GifDecoder::decode({ 'G', 'I', 'F' }));
    EXPECT_FALSE(GifDecoder::decode({ 'G', 'I', 'F', '8', '9', 'a', 1 }));
    Data png = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0 };
    EXPECT_FALSE(GifDecoder::decode(png));

    Data whole
        = encodeGif(screen(2, 2, { frame(0, 0, 2, 2, { 0, 1, 2, 3 }), frame(0, 0, 2, 2, { 3, 2, 1, 0 }) }));
    ASSERT_EQ(GifDecoder::decode(whole)->frames.size(), 2u);
    // Cut inside the second frame: the first one survives. Every cut must be survivable.
    Data cut(whole.begin(), whole.end() - 6);
    auto partial = GifDecoder::decode(cut);
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->frames.size(), 1u);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        auto result = GifDecoder::decode(Data(whole.begin(), whole.begin() + length));
        if (result) {
            EXPECT_LE(result->frames.size(), 2u);
        }
    }

    // A header asking for a 65535 x 65535 screen is refused before anything is allocated.
    Data huge = encodeGif(screen(1, 1, { frame(0, 0, 1, 1, { 0 }) }));
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;
    EXPECT_FALSE(GifDecoder::decode(huge));
    // So is an image larger than the limits on a small screen: decoding stops before it.
    Data bigFrame = encodeGif(screen(1, 1, { frame(0, 0, 1, 1, { 0 }) }));
    std::size_t descriptor = bigFrame.size() - 1;
    while (bigFrame[descriptor] != 0x2C)
        --descriptor;
    bigFrame[descriptor + 5] = bigFrame[descriptor + 6] = bigFrame[descriptor + 7] = bigFrame[descriptor + 8]
        = 0xFF;
    auto refused = GifDecoder::decode(bigFrame);
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->frames.empty());

    // Flipped bytes anywhere never crash.
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        Data damaged = whole;
        for (int flips = 0; flips < 3; ++flips)
            damaged[random() % damaged.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
        (void)GifDecoder::decode(damaged);
    }
}

TEST(GifDecoder, LimitsBoundFramesAndPixels)
{
    std::vector<GifTestFrame> frames(5, frame(0, 0, 2, 2, { 0, 1, 2, 3 }));
    Data bytes = encodeGif(screen(2, 2, frames));
    GifDecoder::Limits limits;
    limits.maxFrames = 3;
    EXPECT_EQ(GifDecoder::decode(bytes, limits)->frames.size(), 3u);
    limits = {};
    limits.maxTotalPixels = 2 * (4 + 4); // two frames decoded and kept
    EXPECT_EQ(GifDecoder::decode(bytes, limits)->frames.size(), 2u);
    limits = {};
    limits.maxPixelsPerSide = 1;
    EXPECT_FALSE(GifDecoder::decode(bytes, limits));
}
