#pragma once

#include "platform/foundation/NSError.h"
#include "platform/ui/UIImage.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The device's photo library as the framework reaches it. Saved pictures are PNG files in the
// library folder (in a sub-folder per named album). Main thread, except where said.

enum class QMUIAssetAuthorizationStatus { notDetermined, authorized, denied };

// An album of the photo library; a group without a name stands for the library itself.
class QMUIAssetsGroup {
public:
    QMUIAssetsGroup() = default;
    explicit QMUIAssetsGroup(std::string name)
        : m_name(std::move(name))
    { }
    const std::string& name() const { return m_name; }

private:
    std::string m_name;
};

// A saved picture.
struct QMUIAsset {
    std::string identifier;
    std::filesystem::path file;
};

class QMUIAssetsManager {
public:
    // Domain of the manager's errors; codes below.
    static constexpr const char* errorDomain = "QMUIAssetsManagerErrorDomain";
    enum ErrorCode : long { accessDenied = 1, emptyImage = 2, writeFailed = 3 };

    static QMUIAssetsManager& sharedInstance();

    // What the user answered to the photo permission (the device shell and tests set it);
    // authorized by default.
    QMUIAssetAuthorizationStatus authorizationStatus() const { return m_status; }
    void setAuthorizationStatus(QMUIAssetAuthorizationStatus status) { m_status = status; }

    // Where pictures go: the photo library folder (PhotoLibrary) unless set.
    std::filesystem::path libraryDirectory() const;
    void setLibraryDirectory(std::filesystem::path directory) { m_directory = std::move(directory); }

    // Pictures saved so far, oldest first.
    const std::vector<QMUIAsset>& savedAssets() const { return m_saved; }

    void resetForTesting();

private:
    friend void QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(const UIImage&,
        std::shared_ptr<QMUIAssetsGroup>,
        std::function<void(std::optional<QMUIAsset>, std::optional<NSError>)>);
    QMUIAssetsManager() = default;

    QMUIAssetAuthorizationStatus m_status = QMUIAssetAuthorizationStatus::authorized;
    std::optional<std::filesystem::path> m_directory;
    std::vector<QMUIAsset> m_saved;
};

// Saves the picture to the album (nullptr or an unnamed group: the library). The PNG is encoded
// and written on a global queue; the completion runs on the main queue with the asset, or with an
// error when access is denied, the image is empty or the file cannot be written.
void QMUIImageWriteToSavedPhotosAlbumWithAlbumAssetsGroup(const UIImage& image,
    std::shared_ptr<QMUIAssetsGroup> group,
    std::function<void(std::optional<QMUIAsset> asset, std::optional<NSError> error)> completion);
