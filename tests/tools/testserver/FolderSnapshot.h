#pragma once

// What a folder holds, to tell that something left it exactly as it was.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/stat.h>

namespace zvtest {

// Every entry below a folder by its name: its type and mode, and its bytes or where it links to
// (a link is not followed).
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& dir)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        struct stat info { };
        ::lstat(entry.path().c_str(), &info);
        std::string& line = entries[entry.path().lexically_relative(dir).string()]
            = std::to_string(info.st_mode);
        if (entry.is_symlink())
            line += " -> " + std::filesystem::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            line
                += " " + std::string(std::istreambuf_iterator<char>(std::ifstream(entry.path()).rdbuf()), {});
    }
    return entries;
}

}
