#include "platform/foundation/FileSystem.h"
#include "platform/ui/QRCode.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

// What Debian's zbar reads from the picture (its raw text, without the line end it adds).
std::optional<std::string> scan(const UIImage& image, const std::filesystem::path& file)
{
    auto png = image.pngData();
    if (!png || !FileSystem::writeFileAtomically(file, *png))
        return std::nullopt;
    std::string command = "zbarimg --raw -q -Sdisable -Sqrcode.enable '" + file.string() + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return std::nullopt;
    std::string out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        out.append(buffer, n);
    if (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

}

TEST(QRCode, CodesDecodeBackToTheirText)
{
    zvtest::TempDir dir;
    const std::vector<std::pair<std::string, CGFloat>> texts = {
        { "https://127.0.0.1:9313/api/down/qrcode.png", 120 },
        { "你想看的，都在这里", 120 },
        // The most the medium level holds: the largest code, which needs room for its modules.
        { std::string(2331, 'z'), 400 },
    };
    for (const auto& [text, side] : texts) {
        auto made = QRCode::image(text, side, 2);
        ASSERT_TRUE(std::holds_alternative<UIImage>(made)) << text.substr(0, 40);
        const UIImage& image = std::get<UIImage>(made);
        EXPECT_EQ(image.pixelWidth(), static_cast<int>(side * 2));
        // The quiet zone is white all round.
        EXPECT_EQ(image.pixel(1, 1), UIColor::white().rgba());
        EXPECT_EQ(image.pixel(image.pixelWidth() - 2, image.pixelHeight() - 2), UIColor::white().rgba());
        EXPECT_EQ(scan(image, dir.path() / "code.png"), text) << text.substr(0, 40);
    }
}

TEST(QRCode, TextsThatMakeNoCodeAreErrors)
{
    const std::vector<std::pair<std::string, long>> cases = {
        { "", QRCode::emptyText },
        { std::string(2332, 'z'), QRCode::textTooLong },
        { std::string(1 << 20, 'z'), QRCode::textTooLong },
    };
    for (const auto& [text, code] : cases) {
        auto made = QRCode::image(text, 100);
        ASSERT_TRUE(std::holds_alternative<NSError>(made)) << text.size();
        EXPECT_EQ(std::get<NSError>(made).domain, QRCode::errorDomain);
        EXPECT_EQ(std::get<NSError>(made).code, code) << text.size();
    }
    // The low level holds more of the same text.
    EXPECT_TRUE(
        std::holds_alternative<QRCode>(QRCode::encode(std::string(2332, 'z'), QRCode::CorrectionLevel::low)));
}
