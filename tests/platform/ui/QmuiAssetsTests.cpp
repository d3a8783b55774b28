#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/FileSystem.h"
#include "platform/ui/qmui/QMUIAssetsManager.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class QmuiAssets : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        zvtest::MainLoopTest::SetUp();
        QMUIAssetsManager::sharedInstance().resetForTesting();
        QMUIAssetsManager::sharedInstance().setLibraryDirectory(dir.path() / "Photos");
    }
    void TearDown() override
    {
        QMUIAssetsManager::sharedInstance().resetForTesting();
        zvtest::MainLoopTest::TearDown();
    }

    zvtest::TempDir dir;
};

}

TEST_F(QmuiAssets, SavesPicturesAsFilesAndReportsOnTheMainQueue)
{
    UIImage poster = UIImage::filled(UIColor::red(), { 20, 30 }, 2);
    std::optional<QMUIAsset> saved;
    std::optional<NSError> failure;
    int calls = 0;
    QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(poster, std::make_shared<QMUIAssetsGroup>(),
        [&](std::optional<QMUIAsset> asset, std::optional<NSError> error) {
            ++calls;
            EXPECT_TRUE(DispatchQueue::isMainThread());
            saved = asset;
            failure = error;
        });
    EXPECT_EQ(calls, 0);
    drain();
    ASSERT_EQ(calls, 1);
    ASSERT_TRUE(saved);
    EXPECT_FALSE(failure);
    EXPECT_EQ(saved->file.parent_path(), dir.path() / "Photos");
    auto back = UIImage::fromFile(saved->file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pixelWidth(), 40);
    EXPECT_EQ(back->pixel(5, 5), UIColor::red().rgba());

    // A named album is a folder; a second save keeps the first.
    QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(
        poster, std::make_shared<QMUIAssetsGroup>("Zentavo"), [&](auto asset, auto) { saved = asset; });
    drain();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->file.parent_path(), dir.path() / "Photos" / "Zentavo");
    EXPECT_EQ(QMUIAssetsManager::sharedInstance().savedAssets().size(), 2u);
    EXPECT_NE(QMUIAssetsManager::sharedInstance().savedAssets()[0].file, saved->file);
}

TEST_F(QmuiAssets, RefusesWithoutPermissionOrPictureAndReportsWriteFailures)
{
    auto& manager = QMUIAssetsManager::sharedInstance();
    std::vector<long> codes;
    auto record = [&](std::optional<QMUIAsset> asset, std::optional<NSError> error) {
        EXPECT_FALSE(asset);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain, QMUIAssetsManager::errorDomain);
        codes.push_back(error->code);
    };
    manager.setAuthorizationStatus(QMUIAssetAuthorizationStatus::denied);
    QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(
        UIImage::filled(UIColor::red(), { 2, 2 }), nullptr, record);
    manager.setAuthorizationStatus(QMUIAssetAuthorizationStatus::authorized);
    QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(UIImage(), nullptr, record);
    // The library folder's place is taken by a file.
    ASSERT_TRUE(FileSystem::writeFileAtomically(dir.path() / "blocked", Data { 1 }));
    manager.setLibraryDirectory(dir.path() / "blocked");
    QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(
        UIImage::filled(UIColor::red(), { 2, 2 }), nullptr, record);
    drain();
    EXPECT_EQ(codes,
        (std::vector<long> { QMUIAssetsManager::accessDenied, QMUIAssetsManager::emptyImage,
            QMUIAssetsManager::writeFailed }));
    EXPECT_TRUE(manager.savedAssets().empty());
}
