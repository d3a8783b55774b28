#include "platform/foundation/AppContainer.h"
#include "platform/foundation/FileSystem.h"
#include "tests/platform/foundation/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(FileSystem, AtomicWriteReplacesWholeAndLeavesNoTemporaryFile)
{
    zvtest::TempDir dir;
    auto file = dir / "a/b/file.bin";
    EXPECT_FALSE(FileSystem::readFile(file));
    ASSERT_TRUE(FileSystem::writeFileAtomically(file, Data { 1, 2, 3 }));
    ASSERT_TRUE(FileSystem::writeFileAtomically(file, Data { 9 }));
    EXPECT_EQ(FileSystem::readFile(file), (Data { 9 }));
    ASSERT_TRUE(FileSystem::writeFileAtomically(file, Data {}));
    EXPECT_EQ(FileSystem::readFile(file), Data {});
    EXPECT_EQ(FileSystem::list(dir / "a/b"), std::vector<std::string> { "file.bin" });

    // A folder is not a file; writing over a folder fails and keeps it.
    EXPECT_FALSE(FileSystem::readFile(dir / "a"));
    EXPECT_FALSE(FileSystem::writeFileAtomically(dir / "a", Data { 1 }));
    EXPECT_TRUE(FileSystem::exists(dir / "a/b/file.bin"));
    EXPECT_EQ(FileSystem::list(dir / "a"), std::vector<std::string> { "b" });
}

TEST(FileSystem, SizeListRemoveAndMoveAside)
{
    zvtest::TempDir dir;
    FileSystem::writeFileAtomically(dir / "cache/x", Data(100));
    FileSystem::writeFileAtomically(dir / "cache/sub/y", Data(23));
    std::filesystem::create_symlink(dir / "cache/x", dir / "cache/link");
    EXPECT_EQ(FileSystem::folderSize(dir / "cache"), 123u);
    EXPECT_EQ(FileSystem::folderSize(dir / "cache/x"), 100u);
    EXPECT_EQ(FileSystem::folderSize(dir / "none"), 0u);
    EXPECT_EQ(FileSystem::list(dir / "cache"), (std::vector<std::string> { "link", "sub", "x" }));
    EXPECT_TRUE(FileSystem::list(dir / "none").empty());

    auto first = FileSystem::moveAside(dir / "cache/x");
    FileSystem::writeFileAtomically(dir / "cache/x", Data(1));
    auto second = FileSystem::moveAside(dir / "cache/x");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(FileSystem::readFile(*first), Data(100));
    EXPECT_FALSE(FileSystem::moveAside(dir / "cache/x"));

    EXPECT_TRUE(FileSystem::remove(dir / "cache"));
    EXPECT_FALSE(FileSystem::exists(dir / "cache"));
    EXPECT_FALSE(FileSystem::remove(dir / "cache"));
}

TEST(AppContainer, FoldersAreCreatedOnDemandUnderTheConfiguredHome)
{
    zvtest::TempDir dir;
    {
        ScopedEnv home("ZV_HOME", (dir / "env").string());
        AppContainer::setHome({});
        EXPECT_EQ(AppContainer::home(), dir / "env");
    }
    AppContainer::setHome(dir / "home");
    EXPECT_FALSE(FileSystem::exists(dir / "home/Documents"));
    EXPECT_EQ(AppContainer::documentsDirectory(), dir / "home/Documents");
    EXPECT_EQ(AppContainer::cachesDirectory(), dir / "home/Library/Caches");
    EXPECT_EQ(AppContainer::preferencesDirectory(), dir / "home/Library/Preferences");
    EXPECT_EQ(AppContainer::temporaryDirectory(), dir / "home/tmp");
    EXPECT_EQ(FileSystem::list(dir / "home"), (std::vector<std::string> { "Documents", "Library", "tmp" }));
    AppContainer::setHome({});
}

TEST(AppContainer, ItsFoldersAreTheOwnersOnlyEvenWhenAnOlderRunLeftThemOpen)
{
    zvtest::TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir.path().string());
    ScopedEnv noHome("ZV_HOME", std::nullopt);
    AppContainer::setHome({});
    auto home = dir.path() / "zentavo";
    FileSystem::createDirectories(home / "Library/Caches");
    for (auto folder : { home, home / "Library", home / "Library/Caches" })
        ::chmod(folder.c_str(), 0755);

    AppContainer::cachesDirectory();
    AppContainer::documentsDirectory();
    struct stat info { };
    for (auto folder : { home, home / "Library", home / "Library/Caches", home / "Documents" }) {
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u) << folder;
    }
}
}
