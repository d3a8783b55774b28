// The image loader against the local test server: caches, shared downloads, failures and views
// that moved on before their image arrived.

#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileSystem.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/imageloading/ImageLoader.h"
#include "tests/platform/net/NetTestFixture.h"
#include "tests/platform/ui/GifTestEncoder.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr const char* coverPath = "/images/cover.png"; // 60 x 90 in the server's data folder

std::string pngOf(const UIColor& color)
{
    Data png = *UIImage::filled(color, { 4, 4 }).pngData();
    return std::string(png.begin(), png.end());
}

testserver::Reply imageReply(const std::string& body, std::chrono::milliseconds delay = 0ms)
{
    testserver::Reply reply;
    reply.headers = { { "Content-Type", "image/png" } };
    reply.body = body;
    reply.delay = delay;
    return reply;
}

class ImageLoaderTest : public zvtest::NetTest {
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        loader = makeLoader();
        placeholder = UIImage::filled(UIColor::orange(), { 1, 1 });
    }

    void TearDown() override
    {
        loader.reset();
        NetTest::TearDown();
    }

    std::unique_ptr<ImageLoader> makeLoader()
    {
        ImageLoader::Configuration configuration;
        configuration.diskCacheFolder = dir / "images";
        configuration.client = client.get();
        configuration.timeout = 10;
        return std::make_unique<ImageLoader>(configuration);
    }

    // Loads into the view and waits for the completion.
    ImageLoadResult setAndWait(UIImageView& view, const std::string& url)
    {
        std::optional<ImageLoadResult> result;
        loader->setImage(view, url, placeholder, [&](const ImageLoadResult& r) { result = r; });
        EXPECT_TRUE(runUntil([&] { return result.has_value(); }, 20));
        return result.value_or(ImageLoadResult {});
    }

    std::size_t requestCount(const std::string& path) const { return server->requestsTo(path).size(); }

    zvtest::TempDir dir;
    std::unique_ptr<ImageLoader> loader;
    UIImage placeholder;
};

}

TEST_F(ImageLoaderTest, DownloadsOnceThenServesFromMemoryAndDiskUntilCleared)
{
    auto view = UIView::create<UIImageView>();
    std::optional<ImageLoadResult> result;
    loader->setImage(*view, http(coverPath), placeholder, [&](const ImageLoadResult& r) { result = r; });
    EXPECT_EQ(view->image(), placeholder); // at once, before any reply
    ASSERT_TRUE(runUntil([&] { return result.has_value(); }, 20));
    ASSERT_TRUE(result->succeeded()) << result->error->message;
    EXPECT_EQ(result->cacheType, ImageCacheType::none);
    ASSERT_TRUE(view->image());
    EXPECT_EQ(view->image()->pixelWidth(), 60);
    EXPECT_EQ(view->image()->pixelHeight(), 90);
    EXPECT_EQ(requestCount(coverPath), 1u);

    drain(); // the disk write runs on the cache's queue
    auto file = FileSystem::readFile(zvtest::sourceDir() / "tools/testserver/data/images/cover.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(loader->diskCacheSize(), file->size());

    // In memory: delivered before setImage returns, without the placeholder in between.
    auto second = UIView::create<UIImageView>();
    std::optional<ImageLoadResult> fromMemory;
    loader->setImage(
        *second, http(coverPath), placeholder, [&](const ImageLoadResult& r) { fromMemory = r; });
    ASSERT_TRUE(fromMemory);
    EXPECT_EQ(fromMemory->cacheType, ImageCacheType::memory);
    EXPECT_EQ(second->image(), view->image());

    // From disk once the memory is gone, and for a new loader on the same folder.
    loader->clearMemory();
    auto third = UIView::create<UIImageView>();
    ImageLoadResult fromDisk = setAndWait(*third, http(coverPath));
    EXPECT_EQ(fromDisk.cacheType, ImageCacheType::disk);
    EXPECT_EQ(third->image()->pixelWidth(), 60);
    auto later = makeLoader();
    auto cached = later->cachedImage(http(coverPath));
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->pixelHeight(), 90);
    EXPECT_FALSE(later->cachedImage(http("/images/banner-1.jpg")));
    EXPECT_EQ(requestCount(coverPath), 1u);

    // Clearing the disk leaves the memory; with both cleared the image is fetched again.
    bool cleared = false;
    loader->clearDisk([&] { cleared = true; });
    ASSERT_TRUE(runUntil([&] { return cleared; }));
    EXPECT_EQ(loader->diskCacheSize(), 0u);
    EXPECT_TRUE(loader->cachedImage(http(coverPath)));
    loader->clearMemory();
    EXPECT_FALSE(loader->cachedImage(http(coverPath)));
    EXPECT_EQ(setAndWait(*third, http(coverPath)).cacheType, ImageCacheType::none);
    EXPECT_EQ(requestCount(coverPath), 2u);
}

TEST_F(ImageLoaderTest, ConcurrentRequestsShareOneDownload)
{
    server->script("/shared.png", imageReply(pngOf(UIColor::red()), 200ms));
    auto a = UIView::create<UIImageView>();
    auto b = UIView::create<UIImageView>();
    int finished = 0;
    std::vector<ImageLoadResult> results;
    auto record = [&](const ImageLoadResult& r) {
        results.push_back(r);
        ++finished;
    };
    loader->setImage(*a, http("/shared.png"), placeholder, record);
    loader->setImage(*b, http("/shared.png"), placeholder, record);
    EXPECT_NE(loader->load(http("/shared.png"), record), 0u);
    ASSERT_TRUE(runUntil([&] { return finished == 3; }, 20));
    for (const auto& result : results)
        EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(a->image()->pixel(0, 0), (UIColor::RGBA { 1, 0, 0, 1 }));
    EXPECT_EQ(b->image(), a->image());
    EXPECT_EQ(requestCount("/shared.png"), 1u);
}

TEST_F(ImageLoaderTest, FailuresKeepThePlaceholderAndAreNotCached)
{
    auto view = UIView::create<UIImageView>();
    ImageLoadResult missing = setAndWait(*view, http("/images/missing.png"));
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->code, ImageLoadError::Code::BadStatus);
    EXPECT_EQ(missing.error->statusCode, 404);
    EXPECT_EQ(view->image(), placeholder);

    // A 404 that carries image bytes is still a failure.
    testserver::Reply notFound = imageReply(pngOf(UIColor::blue()));
    notFound.status = 404;
    server->script("/gone.png", notFound);
    EXPECT_EQ(setAndWait(*view, http("/gone.png")).error->code, ImageLoadError::Code::BadStatus);

    server->script("/garbage.png", imageReply("<html>not an image</html>"));
    ImageLoadResult garbage = setAndWait(*view, http("/garbage.png"));
    ASSERT_TRUE(garbage.error);
    EXPECT_EQ(garbage.error->code, ImageLoadError::Code::NotAnImage);
    EXPECT_EQ(view->image(), placeholder);
    // A GIF header with nothing after it is no image either.
    std::string emptyGif("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14);
    server->script("/empty.gif", imageReply(emptyGif));
    EXPECT_EQ(setAndWait(*view, http("/empty.gif")).error->code, ImageLoadError::Code::NotAnImage);

    ImageLoadResult refused = setAndWait(*view, "http://127.0.0.1:1/x.png");
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code, ImageLoadError::Code::Network);
    EXPECT_EQ(setAndWait(*view, "not a url").error->code, ImageLoadError::Code::InvalidURL);

    // An empty address fails at once and clears the view to the placeholder given.
    std::optional<ImageLoadResult> empty;
    loader->setImage(*view, "", std::nullopt, [&](const ImageLoadResult& r) { empty = r; });
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->error->code, ImageLoadError::Code::InvalidURL);
    EXPECT_FALSE(view->image());

    drain();
    EXPECT_EQ(loader->diskCacheSize(), 0u);
    setAndWait(*view, http("/garbage.png"));
    EXPECT_EQ(requestCount("/garbage.png"), 2u);
}

// Downloads are bounded by the configured size (the information key unless the loader is given
// one): a larger picture fails like any network failure.
TEST_F(ImageLoaderTest, PicturesPastTheConfiguredSizeFail)
{
    ::setenv("ZV_INFO_MaxImageReplyBytes", "2000", 1);
    Bundle::resetForTesting();
    loader = makeLoader();
    ::unsetenv("ZV_INFO_MaxImageReplyBytes");
    Bundle::resetForTesting();

    auto view = UIView::create<UIImageView>();
    ImageLoadResult large = setAndWait(*view, http("/images/banner-3.png"));
    ASSERT_TRUE(large.error);
    EXPECT_EQ(large.error->code, ImageLoadError::Code::Network) << large.error->message;
    EXPECT_TRUE(setAndWait(*view, http("/images/avatar-301877.png")).succeeded());
}

TEST_F(ImageLoaderTest, ReusedViewDoesNotShowALateImage)
{
    server->script("/slow.png", imageReply(pngOf(UIColor::red()), 300ms));
    server->script("/fast.png", imageReply(pngOf(UIColor::green())));

    auto cell = UIView::create<UIImageView>();
    std::optional<ImageLoadResult> slowResult;
    loader->setImage(
        *cell, http("/slow.png"), placeholder, [&](const ImageLoadResult& r) { slowResult = r; });
    // Someone else still wants the slow image, so its download goes on.
    std::optional<ImageLoadResult> other;
    loader->load(http("/slow.png"), [&](const ImageLoadResult& r) { other = r; });

    // The cell is reused for another address before the slow reply comes.
    ImageLoadResult fast = setAndWait(*cell, http("/fast.png"));
    ASSERT_TRUE(fast.succeeded());
    ASSERT_TRUE(runUntil([&] { return slowResult && other; }, 20));
    EXPECT_EQ(slowResult->error->code, ImageLoadError::Code::Cancelled);
    ASSERT_TRUE(other->succeeded());
    EXPECT_EQ(cell->image()->pixel(0, 0), (UIColor::RGBA { 0, 1, 0, 1 }));

    // A cancelled load leaves what the view shows.
    std::optional<ImageLoadResult> cancelled;
    server->script("/later.png", imageReply(pngOf(UIColor::blue()), 300ms));
    loader->setImage(
        *cell, http("/later.png"), placeholder, [&](const ImageLoadResult& r) { cancelled = r; });
    loader->cancel(*cell);
    ASSERT_TRUE(runUntil([&] { return cancelled.has_value(); }, 20));
    EXPECT_EQ(cancelled->error->code, ImageLoadError::Code::Cancelled);
    EXPECT_EQ(cell->image(), placeholder);
}

TEST_F(ImageLoaderTest, ViewReleasedBeforeTheReplyIsSkipped)
{
    server->script("/slow.png", imageReply(pngOf(UIColor::red()), 200ms));
    std::optional<ImageLoadResult> result;
    std::weak_ptr<UIImageView> watch;
    {
        auto view = UIView::create<UIImageView>();
        watch = view;
        loader->setImage(
            *view, http("/slow.png"), placeholder, [&](const ImageLoadResult& r) { result = r; });
    }
    EXPECT_TRUE(watch.expired()); // the loader does not keep the view alive
    ASSERT_TRUE(runUntil([&] { return result.has_value(); }, 20));
    EXPECT_EQ(result->error->code, ImageLoadError::Code::Cancelled);
    // The image still went to the caches.
    EXPECT_TRUE(loader->cachedImage(http("/slow.png")));
}

TEST(ImageLoaderDecoding, StillAndAnimatedImages)
{
    zvtest::GifTestImage gif;
    gif.width = gif.height = 1;
    gif.globalColors = { { 255, 0, 0 }, { 0, 0, 255 } };
    zvtest::GifTestFrame frame;
    frame.width = frame.height = 1;
    frame.indices = { 0 };
    frame.delay = 30;
    gif.frames = { frame, frame };
    gif.frames[1].indices = { 1 };
    gif.frames[1].delay = 12;

    auto animated = ImageLoader::decodeImage(zvtest::encodeGif(gif));
    ASSERT_TRUE(animated);
    ASSERT_EQ(animated->images().size(), 2u);
    EXPECT_DOUBLE_EQ(animated->duration(), 0.42);
    EXPECT_EQ(animated->images()[1].pixel(0, 0), (UIColor::RGBA { 0, 0, 1, 1 }));

    gif.frames.resize(1);
    auto still = ImageLoader::decodeImage(zvtest::encodeGif(gif));
    ASSERT_TRUE(still);
    EXPECT_TRUE(still->images().empty());
    EXPECT_TRUE(still->hasBitmap());

    EXPECT_FALSE(ImageLoader::decodeImage({}));
    EXPECT_FALSE(ImageLoader::decodeImage({ 'G', 'I', 'F', '8', '9', 'a' }));
}
