#pragma once

// Keys for the local test server, shared by every test program that starts one.

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace zvtest {

// Runs scripts/make-test-keys.sh into dir (made if missing); throws when it fails.
inline std::filesystem::path makeTestKeys(const std::filesystem::path& dir)
{
    std::string command
        = "'" + (sourceDir() / "scripts" / "make-test-keys.sh").string() + "' '" + dir.string() + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("make-test-keys.sh failed for " + dir.string());
    return dir;
}

inline bool hasServerKeys(const std::filesystem::path& dir)
{
    for (const char* name : { "ca.pem", "server.pem", "server.key", "api_private.pem", "api_public.b64" }) {
        if (!std::filesystem::exists(dir / name))
            return false;
    }
    return true;
}

// The build's keys (next to the build folder, made by setup) when they are complete, else a
// set made once for this process in a temporary folder.
inline const std::filesystem::path& testKeysDir()
{
    static const std::filesystem::path dir = [] {
        std::filesystem::path shared = buildDir() / ".." / "keys";
        if (hasServerKeys(shared))
            return shared.lexically_normal();
        static TempDir scratch;
        return makeTestKeys(scratch / "keys");
    }();
    return dir;
}

}
