#pragma once

#include "platform/foundation/Data.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// File helpers of the platform's file manager. None of them throws; failures are values.
namespace FileSystem {

// The contents of a regular file; none when it is missing or unreadable.
std::optional<Data> readFile(const std::filesystem::path& file);

// What reading a file came to. Stores tell the cases apart: a missing file may be created, but
// one that is there and cannot be read (permissions, I/O error, not a file) must not be replaced.
struct FileRead {
    enum class Status {
        Read,
        Missing,
        Unreadable,
        TooLarge, // read no further than the limit
    };
    Status status = Status::Missing;
    Data data; // when Read
    std::string reason; // why not, for the log
};
FileRead readFileChecked(const std::filesystem::path& file, std::uint64_t maximumSize = UINT64_MAX);

// Writes a temporary file beside the target, flushes it to disk and renames it over the target, so
// readers see the old or the new contents, never a part. Missing parent folders are created.
// The new file gets `mode` less the process umask.
bool writeFileAtomically(const std::filesystem::path& file, const Data& data, mode_t mode = 0644);

// Writes every byte to an open file, going on after short writes and signals; false on an error.
bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size);

bool exists(const std::filesystem::path& path);

// Removes a file or a folder with its contents; false when nothing was there or removal failed.
bool remove(const std::filesystem::path& path);

// Creates the folder and its missing parents; true when it exists afterwards.
bool createDirectories(const std::filesystem::path& folder);

// The same, but each folder it creates is its owner's only (mode 0700), as the app's stored
// files are; folders that are there already are left as they are.
bool createOwnerOnlyDirectories(const std::filesystem::path& folder);

// Takes group and other access away from a file or folder of this user. A folder shared by
// design (sticky, like /tmp) and anything of another owner are left alone. False when the mode
// could not be narrowed.
bool restrictToOwner(const std::filesystem::path& path);

// Bytes of all regular files below the folder (links not followed; unreadable parts skipped).
// The size of the file itself when given a file.
std::uint64_t folderSize(const std::filesystem::path& folder);

// Names of the entries of a folder, sorted; empty when it cannot be read.
std::vector<std::string> list(const std::filesystem::path& folder);

// Renames a damaged file to "<name>.damaged-<milliseconds since 1970>" (with a counter when that is
// taken) so that it is kept for inspection; the new path, or none when the rename failed. The
// copy is left readable by its owner only: it may hold what the file held, secrets included.
std::optional<std::filesystem::path> moveAside(const std::filesystem::path& file);

}
