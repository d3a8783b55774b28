// Feeds untrusted bytes to the readers of the files the app keeps, as a damaged disk, an older or
// newer version, or another program would leave them. The first byte chooses the file:
//   0: the defaults file, parsed (a damaged one entry by entry); what parses must write out and
//      read back the same;
//   1: the keychain file, with the same round trip;
//   2: the defaults file loaded by a store from disk (damage is set aside, never thrown);
//   3: the information file, read by the bundle.

#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Keychain.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

fs::path& scratch()
{
    static fs::path folder;
    return folder;
}

void defaultsText(std::string_view text)
{
    std::optional<UserDefaults::Contents> contents = UserDefaults::parse(text);
    if (!contents)
        return;
    std::string written = UserDefaults::serialize(contents->values);
    std::optional<UserDefaults::Contents> again = UserDefaults::parse(written);
    check(contents->dropped >= contents->lost.size());
    check(again && !again->damaged());
    check(UserDefaults::serialize(again->values) == written);
}

void keychainText(std::string_view text)
{
    std::optional<Keychain::Contents> contents = Keychain::parse(text);
    if (!contents)
        return;
    check(contents->dropped >= contents->lost.size());
    std::optional<std::string> written = Keychain::serialize(contents->items);
    check(written.has_value());
    std::optional<Keychain::Contents> again = Keychain::parse(*written);
    check(again && !again->damaged() && again->items == contents->items);
}

void defaultsFile(std::string_view text)
{
    fs::path folder = scratch() / "defaults";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::path file = folder / "UserDefaults.json";
    FileSystem::writeFileAtomically(file, Data(text.begin(), text.end()));
    UserDefaults defaults(file);
    defaults.objectForKey("StoreData.access_token");
    defaults.stringArrayForKey("StoreData.history");
    defaults.boolForKey("StoreData.pureMode");
}

void informationFile(std::string_view text)
{
    fs::path file = scratch() / "Info.json";
    FileSystem::writeFileAtomically(file, Data(text.begin(), text.end()));
    Bundle::resetForTesting();
    const Bundle& bundle = Bundle::main();
    for (std::string_view key : { InfoKey::MainURL, InfoKey::DomainFileURL, InfoKey::APIPublicKey,
             InfoKey::TrustedCAFile, InfoKey::DeviceModel })
        bundle.infoString(key);
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Log::setSink([](std::string_view) {});
    scratch() = fs::path("/dev/shm") / ("zv-stored-files-fuzz-" + std::to_string(::getpid()));
    std::error_code ignored;
    fs::remove_all(scratch(), ignored);
    fs::create_directories(scratch(), ignored);
    ::setenv("ZV_INFO_FILE", (scratch() / "Info.json").c_str(), 1);
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(scratch(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 4) {
    case 0:
        defaultsText(text);
        break;
    case 1:
        keychainText(text);
        break;
    case 2:
        defaultsFile(text);
        break;
    case 3:
        informationFile(text);
        break;
    }
    return 0;
}
