#include "tools/kitdemo/KitDemoSystem.h"

#include "platform/foundation/FileSystem.h"
#include "platform/ui/photos/PhotoLibrary.h"
#include "platform/ui/sharing/UIActivityViewController.h"

#include <string>
#include <system_error>

void prepareKitDemoSystem(const std::filesystem::path& dataDir, const std::filesystem::path& scratch,
    const std::filesystem::path& outputFolder)
{
    std::filesystem::path photos = scratch / "photos";
    FileSystem::createDirectories(photos);
    for (const char* name : { "cover-40217.png", "cover-40311.png", "cover-40522.png", "advert-start.jpg",
             "banner-1.jpg", "banner-2.jpg" }) {
        std::error_code ignored;
        std::filesystem::copy_file(dataDir / "images" / name, photos / name,
            std::filesystem::copy_options::overwrite_existing, ignored);
    }
    std::string note = "照片库里也可能有不是图片的文件。";
    FileSystem::writeFileAtomically(photos / "说明.txt", Data(note.begin(), note.end()));
    PhotoLibrary::setDirectory(photos);
    UIActivityViewController::setShareOutboxDirectory(outputFolder / "share-outbox");
}
