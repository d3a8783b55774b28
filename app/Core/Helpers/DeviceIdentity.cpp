#include "app/Core/Helpers/DeviceIdentity.h"

#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/Keychain.h"

namespace {

constexpr const char* kService = "keychainGroup";
constexpr const char* kKey = "uuid";

}

std::optional<std::string> deviceUUID()
{
    Keychain keychain(kService);
    if (std::optional<std::string> stored = keychain.get(kKey); stored && !stored->empty())
        return stored;

    std::optional<std::string> fresh = DeviceInfo::identifierForVendor();
    // Write errors are ignored: the identifier is still good for this run.
    if (fresh)
        keychain.set(*fresh, kKey);
    else
        keychain.remove(kKey);
    return fresh;
}
