#include "platform/foundation/Data.h"
#include "platform/ui/CGContext.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/detail/ImageCodecs.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

// 3 x 2 pixels: red, green, blue on top; a half-transparent white, clear, black below.
UIImage testImage()
{
    UIGraphicsImageRendererFormat format;
    format.scale = 1;
    return UIGraphicsImageRenderer({ 3, 2 }, format).image([](CGContext& c) {
        c.setFillColor(UIColor::red());
        c.fill({ 0, 0, 1, 1 });
        c.setFillColor(UIColor::green());
        c.fill({ 1, 0, 1, 1 });
        c.setFillColor(UIColor::blue());
        c.fill({ 2, 0, 1, 1 });
        c.setFillColor(UIColor::white().withAlphaComponent(0.5));
        c.fill({ 0, 1, 1, 1 });
        c.setFillColor(UIColor::black());
        c.fill({ 2, 1, 1, 1 });
    });
}

// Big-endian TIFF inside an APP1 "Exif" segment carrying just the orientation tag.
Data exifSegment(int orientation)
{
    Data tiff = { 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0,
        static_cast<std::uint8_t>(orientation), 0, 0, 0, 0, 0, 0 };
    Data payload = { 'E', 'x', 'i', 'f', 0, 0 };
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    Data segment = { 0xFF, 0xE1, static_cast<std::uint8_t>((payload.size() + 2) >> 8),
        static_cast<std::uint8_t>((payload.size() + 2) & 0xFF) };
    segment.insert(segment.end(), payload.begin(), payload.end());
    return segment;
}

TEST(Image, PngRoundTripKeepsPixelsAndAlpha)
{
    UIImage image = testImage();
    auto png = image.pngData();
    ASSERT_TRUE(png);
    auto decoded = UIImage::fromData(*png, 2);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pixelWidth(), 3);
    EXPECT_EQ(decoded->scale(), 2);
    EXPECT_EQ(decoded->size(), (CGSize { 1.5, 1 }));
    EXPECT_EQ(decoded->pixel(1, 0), (UIColor::RGBA { 0, 1, 0, 1 }));
    auto half = decoded->pixel(0, 1);
    EXPECT_NEAR(half.alpha, 0.5, 0.01);
    EXPECT_NEAR(half.red, 1, 0.01);
    EXPECT_EQ(decoded->pixel(1, 1).alpha, 0);
    EXPECT_EQ(decoded->pixel(9, 9).alpha, 0);
}

TEST(Image, JpegExifOrientationIsReadAndDrawnUpright)
{
    auto jpeg = *testImage().jpegData(1.0);
    Data segment = exifSegment(6);
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    auto image = UIImage::fromData(jpeg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->imageOrientation(), UIImageOrientation::right);
    // Stored 3 x 2; "right" shows it turned a quarter clockwise: 2 x 3.
    EXPECT_EQ(image->size(), (CGSize { 2, 3 }));

    // Exact pixels from the lossless original with the same orientation.
    UIImage turned = testImage().withOrientation(UIImageOrientation::right);
    UIGraphicsImageRendererFormat format;
    format.scale = 1;
    UIImage upright = UIGraphicsImageRenderer({ 2, 3 }, format).image([&](CGContext& c) {
        c.draw(turned, { 0, 0, 2, 3 });
    });
    // Stored top row (red, green, blue) becomes the right column, top to bottom.
    EXPECT_EQ(upright.pixel(1, 0), (UIColor::RGBA { 1, 0, 0, 1 }));
    EXPECT_EQ(upright.pixel(1, 1), (UIColor::RGBA { 0, 1, 0, 1 }));
    EXPECT_EQ(upright.pixel(1, 2), (UIColor::RGBA { 0, 0, 1, 1 }));
    // Stored bottom row becomes the left column: half white, clear, black.
    EXPECT_NEAR(upright.pixel(0, 0).alpha, 0.5, 0.01);
    EXPECT_EQ(upright.pixel(0, 1).alpha, 0);
    EXPECT_EQ(upright.pixel(0, 2), (UIColor::RGBA { 0, 0, 0, 1 }));

    // "left" is the opposite quarter turn; "downMirrored" flips top and bottom.
    UIImage left = UIGraphicsImageRenderer({ 2, 3 }, format).image([&](CGContext& c) {
        c.draw(testImage().withOrientation(UIImageOrientation::left), { 0, 0, 2, 3 });
    });
    EXPECT_EQ(left.pixel(0, 2), (UIColor::RGBA { 1, 0, 0, 1 }));
    EXPECT_EQ(left.pixel(0, 0), (UIColor::RGBA { 0, 0, 1, 1 }));
    UIImage flipped = UIGraphicsImageRenderer({ 3, 2 }, format).image([&](CGContext& c) {
        c.draw(testImage().withOrientation(UIImageOrientation::downMirrored), { 0, 0, 3, 2 });
    });
    EXPECT_EQ(flipped.pixel(0, 1), (UIColor::RGBA { 1, 0, 0, 1 }));
    EXPECT_EQ(flipped.pixel(2, 0), (UIColor::RGBA { 0, 0, 0, 1 }));
}

TEST(Image, JpegQualityTradesSizeForFidelity)
{
    // Fine detail, which a low quality gives away.
    UIGraphicsImageRendererFormat format;
    format.scale = 1;
    UIImage detailed = UIGraphicsImageRenderer({ 64, 64 }, format).image([](CGContext& c) {
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                c.setFillColor(
                    UIColor(((x * 37 + y * 11) % 64) / 63.0, ((x ^ y) % 32) / 31.0, (y % 8) / 7.0, 1));
                c.fill({ CGFloat(x), CGFloat(y), 1, 1 });
            }
        }
    });
    auto low = detailed.jpegData(0.1);
    auto high = detailed.jpegData(0.95);
    ASSERT_TRUE(low && high);
    EXPECT_LT(low->size() * 2, high->size());
    // Out-of-range qualities are clamped, not refused.
    auto over = detailed.jpegData(7);
    ASSERT_TRUE(over);
    EXPECT_GE(over->size(), high->size());
    auto decoded = UIImage::fromData(*low);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), (CGSize { 64, 64 }));
}

TEST(Image, ExifParserRejectsDamagedSegments)
{
    Data good = exifSegment(3);
    const std::uint8_t* payload = good.data() + 4;
    std::size_t size = good.size() - 4;
    EXPECT_EQ(detail::exifOrientation(payload, size), 3);
    // Everything up to the end of the orientation entry is needed.
    for (std::size_t cut = 0; cut < size - 4; ++cut)
        EXPECT_FALSE(detail::exifOrientation(payload, cut)) << cut;
    Data bad = exifSegment(9);
    EXPECT_FALSE(detail::exifOrientation(bad.data() + 4, bad.size() - 4));
}

TEST(Image, GarbageAndTruncatedBytesGiveNothing)
{
    EXPECT_FALSE(UIImage::fromData({}));
    EXPECT_FALSE(UIImage::fromData(dataFromString("not an image at all")));
    EXPECT_FALSE(UIImage::fromData(Data { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' }));
    EXPECT_FALSE(UIImage::fromData(Data { 0xFF, 0xD8, 0xFF }));
    auto png = *testImage().pngData();
    auto jpeg = *testImage().jpegData(0.8);
    for (std::size_t cut : { std::size_t(10), png.size() / 2, png.size() - 13 })
        EXPECT_FALSE(UIImage::fromData(Data(png.begin(), png.begin() + static_cast<long>(cut)))) << cut;
    EXPECT_FALSE(UIImage::fromData(Data(jpeg.begin(), jpeg.begin() + 20)));
    // Flipped bytes in the compressed data must not crash, whatever comes out.
    for (std::size_t i = 20; i < jpeg.size(); i += 7) {
        Data damaged = jpeg;
        damaged[i] ^= 0x5A;
        (void)UIImage::fromData(damaged);
    }
}

TEST(Image, OversizedHeadersAreRefusedBeforeDecoding)
{
    auto png = *testImage().pngData();
    // IHDR width at bytes 16..19: claim 100000 pixels.
    png[16] = 0;
    png[17] = 0x01;
    png[18] = 0x86;
    png[19] = 0xA0;
    EXPECT_FALSE(UIImage::fromData(png));

    auto jpeg = *testImage().jpegData(0.8);
    // SOF0 height and width: 60000 x 60000.
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 0xEA;
            jpeg[i + 6] = 0x60;
            jpeg[i + 7] = 0xEA;
            jpeg[i + 8] = 0x60;
            break;
        }
    }
    EXPECT_FALSE(UIImage::fromData(jpeg));
}

TEST(Image, FilesScaleSuffixAndTint)
{
    zvtest::TempDir dir;
    auto png = *testImage().pngData();
    std::ofstream(dir / "icon@2x.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), png.size());
    auto image = UIImage::fromFile(dir / "icon@2x.png");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_FALSE(UIImage::fromFile(dir / "missing.png"));

    UIImage tinted = image->withTintColor(UIColor::red());
    EXPECT_EQ(tinted.renderingMode(), UIImageRenderingMode::alwaysOriginal);
    EXPECT_NEAR(tinted.pixel(2, 0).red, 1, 0.01);
    EXPECT_NEAR(tinted.pixel(0, 1).alpha, 0.5, 0.01);
    EXPECT_EQ(tinted.pixel(1, 1).alpha, 0);

    UIImage animated = UIImage::animated({ *image, tinted }, 0.4);
    EXPECT_EQ(animated.images().size(), 2u);
    EXPECT_EQ(animated.duration(), 0.4);
    EXPECT_EQ(animated.size(), image->size());
    EXPECT_TRUE(UIImage().isEmpty());
    EXPECT_EQ(UIImage().size(), CGSize {});
}

TEST(Image, ADynamicImageDrawsTheVariantOfTheStyleItIsDrawnIn)
{
    UIImage light = UIImage::filled(UIColor::black(), { 2, 2 });
    UIImage dark = UIImage::filled(UIColor::white(), { 2, 2 });
    UIImage image = UIImage::dynamic(light, dark);
    EXPECT_TRUE(image.isDynamic());
    EXPECT_FALSE(light.isDynamic());
    EXPECT_EQ(image.resolved(UIUserInterfaceStyle::unspecified).pixel(0, 0), light.pixel(0, 0));
    // Everything but drawing reads the light variant.
    EXPECT_EQ(image.pixel(0, 0), light.pixel(0, 0));

    auto drawnIn = [](const UIImage& picture, UIUserInterfaceStyle style) {
        UIGraphicsImageRendererFormat format;
        format.scale = 1;
        format.interfaceStyle = style;
        return UIGraphicsImageRenderer({ 2, 2 }, format)
            .image([&](CGContext& c) {
                c.draw(picture, { 0, 0, 2, 2 });
            })
            .pixel(1, 1);
    };
    struct Case {
        UIUserInterfaceStyle style;
        double red;
    };
    for (Case c : { Case { UIUserInterfaceStyle::light, 0 }, Case { UIUserInterfaceStyle::unspecified, 0 },
             Case { UIUserInterfaceStyle::dark, 1 } }) {
        SCOPED_TRACE(static_cast<int>(c.style));
        EXPECT_NEAR(drawnIn(image, c.style).red, c.red, 0.01);
        // Turned, the variants stay paired.
        EXPECT_NEAR(drawnIn(image.withOrientation(UIImageOrientation::down), c.style).red, c.red, 0.01);
    }
    // A plain image draws itself in either style.
    EXPECT_NEAR(drawnIn(light, UIUserInterfaceStyle::dark).red, 0, 0.01);

    // A fill of a dynamic colour (a bar of the system background) is dynamic as well.
    UIImage bar = UIImage::filled(UIColor::systemBackground(), { 2, 2 });
    ASSERT_TRUE(bar.isDynamic());
    EXPECT_NEAR(drawnIn(bar, UIUserInterfaceStyle::light).red, 1, 0.01);
    EXPECT_NEAR(drawnIn(bar, UIUserInterfaceStyle::dark).red, 0, 0.01);
    EXPECT_FALSE(UIImage::filled(UIColor::white(), { 2, 2 }).isDynamic());
}

TEST(Image, ATintOfADynamicColourGivesEachStyleItsOwnColour)
{
    UIImage shape = testImage();
    UIImage plain = shape.withTintColor(UIColor::red());
    EXPECT_FALSE(plain.isDynamic());

    UIImage tinted = shape.withTintColor(UIColor::dynamic(UIColor::red(), UIColor::blue()));
    ASSERT_TRUE(tinted.isDynamic());
    const UIImage& light = tinted.resolved(UIUserInterfaceStyle::light);
    const UIImage& dark = tinted.resolved(UIUserInterfaceStyle::dark);
    EXPECT_NEAR(light.pixel(2, 0).red, 1, 0.01);
    EXPECT_NEAR(dark.pixel(2, 0).blue, 1, 0.01);
    EXPECT_NEAR(dark.pixel(2, 0).red, 0, 0.01);
    // The shape's alpha is kept in both.
    EXPECT_NEAR(dark.pixel(0, 1).alpha, 0.5, 0.01);
    EXPECT_EQ(dark.pixel(1, 1).alpha, 0);

    // A dynamic image tinted with a plain colour keeps the dark variant's own shape.
    UIImage wide = UIImage::filled(UIColor::black(), { 3, 2 });
    UIImage both = UIImage::dynamic(shape, wide).withTintColor(UIColor::green());
    ASSERT_TRUE(both.isDynamic());
    EXPECT_EQ(both.resolved(UIUserInterfaceStyle::light).pixel(1, 1).alpha, 0);
    EXPECT_NEAR(both.resolved(UIUserInterfaceStyle::dark).pixel(1, 1).green, 1, 0.01);
    EXPECT_FALSE(both == shape.withTintColor(UIColor::green()));
}

}
