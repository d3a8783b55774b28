#include "app/Core/Helpers/DeviceIdentity.h"

#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/Keychain.h"

#include <filesystem>
#include <mutex>

namespace {

constexpr const char* kService = "keychainGroup";
constexpr const char* kKey = "uuid";

}

std::optional<std::string> deviceUUID()
{
    // The identifier cannot change while the app runs: it is read from its store once, and
    // asked again only when the store is another one (tests give each case its own). Every API
    // request sends it, and reading the store is a file read and a JSON parse.
    static std::mutex mutex;
    static std::filesystem::path readFrom;
    static std::optional<std::string> known;
    std::filesystem::path store = Keychain::storeFile();
    std::lock_guard lock(mutex);
    if (known && store == readFrom)
        return known;

    Keychain keychain(kService);
    std::optional<std::string> stored = keychain.get(kKey);
    if (!stored || stored->empty()) {
        stored = DeviceInfo::identifierForVendor();
        // Write errors are ignored: the identifier is still good for this run.
        if (stored)
            keychain.set(*stored, kKey);
        else
            keychain.remove(kKey);
    }
    readFrom = store;
    known = stored;
    return stored;
}
