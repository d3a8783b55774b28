#pragma once

// The video that the local test server plays, shared by every test program that serves it.

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace zvtest {

inline bool hasTestMedia(const std::filesystem::path& dir)
{
    std::ifstream version(dir / "VERSION");
    std::string line;
    return std::getline(version, line) && line == "zentavo-test-media 1";
}

// The build's clips (next to the build folder, made by setup) when they are there, else a set
// made once for this process in a temporary folder with scripts/make-test-media.sh.
inline const std::filesystem::path& testMediaDir()
{
    static const std::filesystem::path dir = [] {
        std::filesystem::path shared = (buildDir() / ".." / "media").lexically_normal();
        if (hasTestMedia(shared))
            return shared;
        static TempDir scratch;
        std::filesystem::path made = scratch / "media";
        std::string command
            = "'" + (sourceDir() / "scripts" / "make-test-media.sh").string() + "' '" + made.string() + "'";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("make-test-media.sh failed for " + made.string());
        return made;
    }();
    return dir;
}

}
