#include "app/Extensions/UIImageGif.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "tests/app/support/ApiTestSupport.h"
#include "tests/platform/ui/GifTestEncoder.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/TestKeys.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using zvtest::GifColor;
using zvtest::GifTestFrame;
using zvtest::GifTestImage;

// A 2x2 GIF whose frame i is painted with colour i, one frame per entry; a delay of nullopt
// writes no control block.
Data gifWithDelays(const std::vector<std::optional<int>>& centiseconds)
{
    GifTestImage gif;
    gif.width = gif.height = 2;
    for (std::size_t i = 0; i < centiseconds.size(); ++i)
        gif.globalColors.push_back({ static_cast<std::uint8_t>(40 * i), 0, 0 });
    for (std::size_t i = 0; i < centiseconds.size(); ++i) {
        GifTestFrame frame;
        frame.width = frame.height = 2;
        frame.indices.assign(4, static_cast<std::uint8_t>(i));
        frame.control = centiseconds[i].has_value();
        frame.delay = centiseconds[i].value_or(0);
        gif.frames.push_back(frame);
    }
    return zvtest::encodeGif(gif);
}

// The source frame each shown frame comes from, by its red value (40 per frame).
std::vector<int> frameOrder(const UIImage& image)
{
    std::vector<int> order;
    for (const auto& frame : image.images())
        order.push_back(static_cast<int>(std::lround(frame.pixel(0, 0).red * 255 / 40)));
    return order;
}

struct LogCapture {
    std::vector<std::string> lines;
    LogCapture()
    {
        Log::setSink([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~LogCapture() { Log::setSink({}); }
};

TEST(UIImageGif, FramesRepeatInStepsOfTheCommonDivisorOfTheirDelays)
{
    // 0.1, 0.2 and 0.05 s: the last is raised to 0.1, so 100, 200, 100 ms with a step of 100.
    auto image = UIImageGif::gifImage(gifWithDelays({ 10, 20, 5 }));
    ASSERT_TRUE(image);
    EXPECT_EQ(frameOrder(*image), (std::vector<int> { 0, 1, 1, 2 }));
    EXPECT_DOUBLE_EQ(image->duration(), 0.4);

    // 30 ms counts as 100; 100 and 120 have a step of 20: 5 and 6 copies over 0.22 s.
    image = UIImageGif::gifImage(gifWithDelays({ 3, 12 }));
    ASSERT_TRUE(image);
    EXPECT_EQ(frameOrder(*image), (std::vector<int> { 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1 }));
    EXPECT_DOUBLE_EQ(image->duration(), 0.22);

    // A written 0 and a missing control block both play at the minimum; 1.13 s stays 1130 ms
    // (cutting 1.13 * 1000 would give 1129 and a step of 1).
    image = UIImageGif::gifImage(gifWithDelays({ 0, std::nullopt, 113 }));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->images().size(), 10u + 10u + 113u); // step 10 ms
    EXPECT_DOUBLE_EQ(image->duration(), 1.33);

    image = UIImageGif::gifImage(gifWithDelays({ 7 }));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->images().size(), 1u);
    EXPECT_DOUBLE_EQ(image->duration(), 0.1);
}

TEST(UIImageGif, DelaysWithoutAUsefulDivisorCannotBlowUpTheFrameList)
{
    // 655.35 s and 655.34 s share only 10 ms: 131 069 entries unbounded.
    auto image = UIImageGif::gifImage(gifWithDelays({ 65535, 65534 }));
    ASSERT_TRUE(image);
    EXPECT_LE(image->images().size(), UIImageGif::maximumFrameEntries);
    EXPECT_GE(image->images().size(), 2u);
    EXPECT_EQ(frameOrder(*image).front(), 0);
    EXPECT_EQ(frameOrder(*image).back(), 1);
    EXPECT_DOUBLE_EQ(image->duration(), 1310.69);
}

TEST(UIImageGif, FailuresGiveNothingAndTheirConsoleLine)
{
    LogCapture log;
    EXPECT_FALSE(UIImageGif::gifImage(Data { 'n', 'o', 'p', 'e' }));
    EXPECT_FALSE(UIImageGif::gifImageWithURL("not a url"));
    EXPECT_FALSE(UIImageGif::gifImageWithURL("file:///no/such/file.gif"));
    EXPECT_FALSE(UIImageGif::gifImageWithURL("relative/name.gif"));
    EXPECT_FALSE(UIImageGif::gifImageNamed("no_such_animation"));
    EXPECT_EQ(log.lines,
        (std::vector<std::string> {
            "image doesn't exist",
            "image named \"not a url\" doesn't exist",
            "image named \"file:///no/such/file.gif\" into NSData",
            "image named \"relative/name.gif\" into NSData",
            "SwiftGif: This image named \"no_such_animation\" does not exist",
        }));

    // An empty source is an animated image of no frames.
    auto empty = UIImageGif::gifAnimatedImage(GifImage {});
    EXPECT_TRUE(empty.images().empty());
    EXPECT_EQ(empty.duration(), 0);
}

TEST(UIImageGif, FileAddressesAreRead)
{
    zvtest::TempDir dir;
    auto file = dir / "two frames.gif";
    ASSERT_TRUE(FileSystem::writeFileAtomically(file, gifWithDelays({ 10, 20 })));
    auto image = UIImageGif::gifImageWithURL("file://" + (dir.path() / "two%20frames.gif").string());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->images().size(), 3u);
    EXPECT_DOUBLE_EQ(image->duration(), 0.3);
}

// A download that starts on https never follows a redirect to plain http; one within https, or
// from http, is followed.
class UIImageGifDownload : public zvtest::ApiServerTest { };

TEST_F(UIImageGifDownload, RedirectsNeverLeaveHTTPS)
{
    Data gif = gifWithDelays({ 10 });
    server().script(
        "/anim.gif", testserver::Reply::text(200, std::string(gif.begin(), gif.end()), "image/gif"));
    testserver::Reply redirect;
    redirect.status = 302;
    redirect.headers = { { "Location", server().httpURL() + "/anim.gif" } };
    server().script("/down.gif", redirect);
    redirect.headers = { { "Location", serverURL() + "/anim.gif" } };
    server().script("/within.gif", redirect);

    EXPECT_FALSE(UIImageGif::gifImageWithURL(serverURL() + "/down.gif"));
    EXPECT_TRUE(server().requestsTo("/anim.gif").empty());
    EXPECT_TRUE(UIImageGif::gifImageWithURL(serverURL() + "/within.gif"));
    EXPECT_TRUE(UIImageGif::gifImageWithURL(server().httpURL() + "/down.gif"));
}

// The download's connection ends for the server with the download, also when a helper process
// (the web engine starts some) was started while it was open and inherited descriptors.
TEST_F(UIImageGifDownload, ConnectionClosesThoughAHelperProcessRuns)
{
    // A server of its own: the shared one keeps the connections of other clients.
    testserver::ServerOptions options;
    options.keysDir = zvtest::testKeysDir();
    std::string error;
    auto own = testserver::TestServer::start(options, &error);
    ASSERT_TRUE(own) << error;
    Data gif = gifWithDelays({ 10 });
    std::optional<zvtest::HelperProcess> helper;
    own->route("/anim.gif", [&](const testserver::Request&) {
        helper.emplace();
        return testserver::Reply::text(200, std::string(gif.begin(), gif.end()), "image/gif");
    });
    EXPECT_TRUE(UIImageGif::gifImageWithURL(own->httpURL() + "/anim.gif"));
    ASSERT_TRUE(helper && helper->running());
    EXPECT_TRUE(runUntil([&] { return own->openConnections() == 0; }, 5));
}

}
