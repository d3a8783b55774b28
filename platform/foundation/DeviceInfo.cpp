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
    if (auto contents = FileSystem::readFile(file)) {
        if (auto stored = UUID::fromString(stringFromData(*contents)))
            return stored->uuidString();
        Log::write("DeviceInfo: unreadable vendor identifier replaced");
    }
    std::string made = UUID::random().uuidString();
    if (!FileSystem::writeFileAtomically(file, dataFromString(made))) {
        Log::write("DeviceInfo: cannot keep the vendor identifier in " + file.string());
        return std::nullopt;
    }
    return made;
}
