#include "platform/foundation/AppContainer.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::mutex& homeMutex()
{
    static std::mutex mutex;
    return mutex;
}

fs::path& explicitHome()
{
    static fs::path home;
    return home;
}

fs::path dataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "share";
    std::error_code error;
    return fs::temp_directory_path(error);
}

fs::path defaultHome()
{
    return dataHome() / "zentavo";
}

// A folder of the app, made owner-only; an existing one is narrowed when `tighten` is set.
bool ownFolder(const fs::path& folder, bool tighten)
{
    if (::mkdir(folder.c_str(), 0700) == 0)
        return true;
    std::error_code error;
    if (errno != EEXIST || !fs::is_directory(folder, error))
        return false;
    if (tighten)
        FileSystem::restrictToOwner(folder);
    return true;
}

// The folders below the home hold the access token, the records and the caches, so they are the
// owner's only, also when an older run left them open. The home itself is narrowed when it is
// the default one or made here: a configured home may be a folder that is not only the app's.
fs::path ensured(const fs::path& relative)
{
    fs::path home = AppContainer::home();
    fs::path folder = home / relative;
    bool ownHome = home == defaultHome() || !FileSystem::exists(home);
    bool made = (home.parent_path().empty() || FileSystem::createDirectories(home.parent_path()))
        && ownFolder(home, ownHome);
    fs::path current = home;
    for (const fs::path& part : relative) {
        current /= part;
        made = made && ownFolder(current, true);
    }
    if (!made)
        Log::write("AppContainer: cannot create " + folder.string());
    return folder;
}
}

void AppContainer::setHome(fs::path home)
{
    std::lock_guard lock(homeMutex());
    explicitHome() = std::move(home);
}

fs::path AppContainer::home()
{
    {
        std::lock_guard lock(homeMutex());
        if (!explicitHome().empty())
            return explicitHome();
    }
    if (const char* configured = std::getenv("ZV_HOME"); configured && *configured)
        return configured;
    return defaultHome();
}

fs::path AppContainer::documentsDirectory()
{
    return ensured("Documents");
}

fs::path AppContainer::libraryDirectory()
{
    return ensured("Library");
}

fs::path AppContainer::cachesDirectory()
{
    return ensured(fs::path("Library") / "Caches");
}

fs::path AppContainer::preferencesDirectory()
{
    return ensured(fs::path("Library") / "Preferences");
}

fs::path AppContainer::temporaryDirectory()
{
    return ensured("tmp");
}
