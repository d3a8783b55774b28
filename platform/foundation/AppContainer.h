#pragma once

#include <filesystem>

// The app's sandbox folder. Its home comes from setHome() when called, else the environment
// variable ZV_HOME, else "$XDG_DATA_HOME/zentavo" (or "~/.local/share/zentavo").
// The folder accessors create their folder on demand, readable by the owner only (an existing one
// is narrowed; so is the home when it is the default one).
class AppContainer {
public:
    static void setHome(std::filesystem::path home);
    static std::filesystem::path home();

    static std::filesystem::path documentsDirectory(); // Documents
    static std::filesystem::path libraryDirectory(); // Library
    static std::filesystem::path cachesDirectory(); // Library/Caches
    static std::filesystem::path preferencesDirectory(); // Library/Preferences
    static std::filesystem::path temporaryDirectory(); // tmp
};
