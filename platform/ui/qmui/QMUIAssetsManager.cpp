#include "platform/ui/qmui/QMUIAssetsManager.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/UUID.h"
#include "platform/ui/photos/PhotoLibrary.h"

namespace {

NSError assetsError(long code, std::string description)
{
    return { QMUIAssetsManager::errorDomain, code, { { "NSLocalizedDescription", std::move(description) } } };
}

}

QMUIAssetsManager& QMUIAssetsManager::sharedInstance()
{
    static QMUIAssetsManager manager;
    return manager;
}

std::filesystem::path QMUIAssetsManager::libraryDirectory() const
{
    return m_directory ? *m_directory : PhotoLibrary::directory();
}

void QMUIAssetsManager::resetForTesting()
{
    m_status = QMUIAssetAuthorizationStatus::authorized;
    m_directory.reset();
    m_saved.clear();
}

void QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(const UIImage& image,
    std::shared_ptr<QMUIAssetsGroup> group,
    std::function<void(std::optional<QMUIAsset>, std::optional<NSError>)> completion)
{
    auto& manager = QMUIAssetsManager::sharedInstance();
    auto finish
        = [completion = std::move(completion)](std::optional<QMUIAsset> asset, std::optional<NSError> error) {
              DispatchQueue::main().async([completion, asset = std::move(asset), error = std::move(error)] {
                  if (asset)
                      QMUIAssetsManager::sharedInstance().m_saved.push_back(*asset);
                  if (completion)
                      completion(asset, error);
              });
          };
    if (manager.authorizationStatus() == QMUIAssetAuthorizationStatus::denied) {
        finish(std::nullopt, assetsError(QMUIAssetsManager::accessDenied, "No access to the photo library"));
        return;
    }
    if (!image.hasBitmap()) {
        finish(std::nullopt, assetsError(QMUIAssetsManager::emptyImage, "The picture is empty"));
        return;
    }
    std::filesystem::path folder = manager.libraryDirectory();
    if (group && !group->name().empty())
        folder /= group->name();
    // Unique across launches, so a later save never replaces an earlier picture.
    std::string identifier = UUID::random().uuidString();
    DispatchQueue::global().async([image, folder, identifier, finish = std::move(finish)] {
        std::filesystem::path file = folder / (identifier + ".png");
        auto png = image.pngData();
        if (!png || !FileSystem::writeFileAtomically(file, *png)) {
            finish(
                std::nullopt, assetsError(QMUIAssetsManager::writeFailed, "The picture could not be saved"));
            return;
        }
        finish(QMUIAsset { identifier, file }, std::nullopt);
    });
}
