#include "tests/platform/ui/GoldenImage.h"

#include "platform/ui/Renderer.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace uitest {

namespace {

std::filesystem::path actualDir()
{
    std::filesystem::path dir = zvtest::buildDir() / "golden-actual";
    std::filesystem::create_directories(dir);
    return dir;
}

}

::testing::AssertionResult matchesGolden(const UIImage& image, const std::string& name)
{
    if (!image.hasBitmap())
        return ::testing::AssertionFailure() << "no image rendered for " << name;
    std::filesystem::path actual = actualDir() / (name + ".png");
    Renderer::writePNG(image, actual);
    std::filesystem::path golden = zvtest::sourceDir() / "tests/platform/ui/golden" / (name + ".png");
    const char* update = std::getenv("ZV_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::filesystem::create_directories(golden.parent_path());
        if (!Renderer::writePNG(image, golden))
            return ::testing::AssertionFailure() << "cannot write " << golden;
        return ::testing::AssertionSuccess();
    }
    auto expected = UIImage::fromFile(golden);
    if (!expected)
        return ::testing::AssertionFailure()
            << "missing golden " << golden << " (run with ZV_UPDATE_GOLDEN=1)";
    if (expected->pixelWidth() != image.pixelWidth() || expected->pixelHeight() != image.pixelHeight())
        return ::testing::AssertionFailure()
            << name << ": size " << image.pixelWidth() << "x" << image.pixelHeight()
            << " differs from golden " << expected->pixelWidth() << "x" << expected->pixelHeight()
            << "; actual at " << actual;
    // A pixel counts as different past 24/255 in a channel; up to 0.5% of pixels may differ, which
    // absorbs antialiasing and font rasteriser changes but not a moved edge or a wrong colour.
    long long differing = 0;
    for (int y = 0; y < image.pixelHeight(); ++y) {
        for (int x = 0; x < image.pixelWidth(); ++x) {
            auto a = image.pixel(x, y), b = expected->pixel(x, y);
            auto premul = [](const UIColor::RGBA& c, double v) { return v * c.alpha; };
            double d = std::max({ std::abs(premul(a, a.red) - premul(b, b.red)),
                std::abs(premul(a, a.green) - premul(b, b.green)),
                std::abs(premul(a, a.blue) - premul(b, b.blue)), std::abs(a.alpha - b.alpha) });
            if (d > 24.0 / 255)
                ++differing;
        }
    }
    long long total = static_cast<long long>(image.pixelWidth()) * image.pixelHeight();
    if (differing * 200 > total)
        return ::testing::AssertionFailure() << name << ": " << differing << " of " << total
                                             << " pixels differ from the golden; actual at " << actual;
    return ::testing::AssertionSuccess();
}

}
