#include "platform/foundation/FileSystem.h"
#include "platform/ui/imageloading/ImageDiskCache.h"
#include "platform/ui/imageloading/ImageMemoryCache.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// 10 x 10 pixels cost 400 bytes.
UIImage square(const UIColor& color)
{
    return UIImage::filled(color, { 10, 10 });
}

void age(const fs::path& file, int secondsAgo)
{
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
}

}

TEST(ImageMemoryCache, DropsLeastRecentlyUsedByCost)
{
    ImageMemoryCache cache(1000);
    EXPECT_EQ(ImageMemoryCache::costOf(square(UIColor::red())), 400u);
    cache.store("a", square(UIColor::red()));
    cache.store("b", square(UIColor::green()));
    ASSERT_TRUE(cache.image("a")); // "a" is now the most recent
    cache.store("c", square(UIColor::blue()));
    EXPECT_TRUE(cache.image("a"));
    EXPECT_FALSE(cache.image("b"));
    EXPECT_TRUE(cache.image("c"));
    EXPECT_EQ(cache.totalCost(), 800u);

    // Replacing a key does not count it twice; an image larger than the whole cache is not kept.
    cache.store("a", square(UIColor::white()));
    EXPECT_EQ(cache.totalCost(), 800u);
    EXPECT_EQ(cache.image("a")->pixel(0, 0), (UIColor::RGBA { 1, 1, 1, 1 }));
    cache.store("big", UIImage::filled(UIColor::red(), { 20, 20 }));
    EXPECT_FALSE(cache.image("big"));
    EXPECT_EQ(cache.count(), 2u);

    cache.removeAll();
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_EQ(cache.totalCost(), 0u);
}

TEST(ImageMemoryCache, AnimatedImagesCountEachBitmapOnce)
{
    UIImage red = square(UIColor::red());
    UIImage blue = square(UIColor::blue());
    // A frame repeated to stretch its time shares its bitmap.
    EXPECT_EQ(ImageMemoryCache::costOf(UIImage::animated({ red, red, red, blue }, 1)), 800u);
}

TEST(ImageDiskCache, StoresReadsAndRemovesByKey)
{
    zvtest::TempDir dir;
    ImageDiskCache cache(dir / "images", 1 << 20);
    EXPECT_EQ(cache.totalSize(), 0u);
    EXPECT_FALSE(cache.data("https://example.com/a.png"));

    Data bytes(300, 7);
    ASSERT_TRUE(cache.store("https://example.com/a.png", bytes));
    EXPECT_EQ(cache.data("https://example.com/a.png"), bytes);
    EXPECT_EQ(cache.totalSize(), 300u);
    // Names are the stable hash of the key, the same in every run.
    EXPECT_EQ(ImageDiskCache::fileNameForKey(""), "cbf29ce484222325");
    EXPECT_EQ(ImageDiskCache::fileNameForKey("a"), "af63dc4c8601ec8c");
    EXPECT_TRUE(
        FileSystem::exists(dir / "images" / ImageDiskCache::fileNameForKey("https://example.com/a.png")));

    // Overwriting replaces the size; a second cache on the folder counts what is there.
    ASSERT_TRUE(cache.store("https://example.com/a.png", Data(100, 1)));
    ASSERT_TRUE(cache.store("https://example.com/b.png", Data(50, 2)));
    EXPECT_EQ(cache.totalSize(), 150u);
    EXPECT_EQ(ImageDiskCache(dir / "images", 1 << 20).totalSize(), 150u);

    cache.remove("https://example.com/a.png");
    EXPECT_EQ(cache.totalSize(), 50u);
    cache.removeAll();
    EXPECT_EQ(cache.totalSize(), 0u);
    EXPECT_FALSE(cache.data("https://example.com/b.png"));
    // Usable again after being emptied.
    ASSERT_TRUE(cache.store("c", Data(10, 3)));
    EXPECT_EQ(cache.totalSize(), 10u);
}

TEST(ImageDiskCache, FilesAreTheOwnersOnlyAndAFileLargerThanTheLimitIsNotRead)
{
    zvtest::TempDir dir;
    ImageDiskCache cache(dir / "images", 1000);
    ASSERT_TRUE(cache.store("a", Data(10, 1)));
    struct stat info { };
    ASSERT_EQ(::stat(cache.pathForKey("a").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((dir / "images").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    FileSystem::writeFileAtomically(cache.pathForKey("planted"), Data(5000, 2));
    EXPECT_FALSE(cache.data("planted"));
    EXPECT_FALSE(FileSystem::exists(cache.pathForKey("planted")));
    EXPECT_EQ(cache.data("a"), Data(10, 1));
}

TEST(ImageDiskCache, OverTheLimitTheLeastRecentlyUsedFilesGo)
{
    zvtest::TempDir dir;
    ImageDiskCache cache(dir / "images", 900);
    ASSERT_TRUE(cache.store("old", Data(600, 1)));
    ASSERT_TRUE(cache.store("read", Data(200, 2)));
    age(cache.pathForKey("old"), 100);
    age(cache.pathForKey("read"), 200);
    ASSERT_TRUE(cache.data("read")); // reading makes it the most recent
    ASSERT_TRUE(cache.store("new", Data(200, 3))); // 1000 > 900: trims to at most 450

    EXPECT_FALSE(cache.data("old"));
    EXPECT_TRUE(cache.data("read"));
    EXPECT_TRUE(cache.data("new"));
    EXPECT_EQ(cache.totalSize(), 400u);
}
