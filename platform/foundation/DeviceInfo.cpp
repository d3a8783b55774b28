#include "platform/foundation/DeviceInfo.h"

#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UUID.h"

#include <mutex>

std::string DeviceInfo::systemVersion()
{
    return Bundle::main().infoString(InfoKey::SystemVersion).value_or("");
}

std::string DeviceInfo::model()
{
    return Bundle::main().infoString(InfoKey::DeviceModel).value_or("");
}

std::optional<std::string> DeviceInfo::identifierForVendor()
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    auto file = AppContainer::libraryDirectory() / "VendorIdentifier";
    FileSystem::FileRead read = FileSystem::readFileChecked(file, 4096);
    // Every request sends the identifier: a file that cannot be read is reported once, until it
    // can be read again.
    static std::filesystem::path reportedUnreadable;
    if (read.status == FileSystem::FileRead::Status::Unreadable) {
        if (reportedUnreadable != file)
            Log::write(
                "DeviceInfo: cannot read " + file.string() + " (" + read.reason + "); it is left as it is");
        reportedUnreadable = file;
        return std::nullopt;
    }
    if (reportedUnreadable == file)
        reportedUnreadable.clear();
    if (read.status == FileSystem::FileRead::Status::Read) {
        if (auto stored = UUID::fromString(stringFromData(read.data)))
            return stored->uuidString();
    }
    if (read.status != FileSystem::FileRead::Status::Missing) {
        auto aside = FileSystem::moveAside(file);
        if (!aside) {
            Log::write(
                "DeviceInfo: damaged vendor identifier " + file.string() + " could not be moved aside");
            return std::nullopt;
        }
        Log::write(
            "DeviceInfo: damaged vendor identifier moved to " + aside->string() + "; a new one is made");
    }
    std::string made = UUID::random().uuidString();
    static std::filesystem::path reportedUnwritable;
    if (!FileSystem::writeFileAtomically(file, dataFromString(made), 0600)) {
        if (reportedUnwritable != file)
            Log::write("DeviceInfo: cannot keep the vendor identifier in " + file.string());
        reportedUnwritable = file;
        return std::nullopt;
    }
    reportedUnwritable.clear();
    return made;
}
