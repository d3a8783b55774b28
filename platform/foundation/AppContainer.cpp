#include "platform/foundation/AppContainer.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"

#include <cstdlib>
#include <mutex>

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

fs::path ensured(fs::path folder)
{
    if (!FileSystem::createDirectories(folder))
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
    return dataHome() / "zentavo";
}

fs::path AppContainer::documentsDirectory()
{
    return ensured(home() / "Documents");
}

fs::path AppContainer::libraryDirectory()
{
    return ensured(home() / "Library");
}

fs::path AppContainer::cachesDirectory()
{
    return ensured(home() / "Library" / "Caches");
}

fs::path AppContainer::preferencesDirectory()
{
    return ensured(home() / "Library" / "Preferences");
}

fs::path AppContainer::temporaryDirectory()
{
    return ensured(home() / "tmp");
}
