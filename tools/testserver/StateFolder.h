#pragma once

#include "tools/testserver/StateFolderNames.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace testserver {

// A folder where the server keeps what its clients changed (accounts, lists, chat rooms), one
// file per part of its state, so that a server started again on the same folder answers as the
// one before it did. Without one the server starts from its sample data every time.
//
// A write goes to a file beside its target, is flushed to the disk and then renamed over the
// target: a server killed at any moment leaves each file whole, either as it was before the write
// or after it. A file that cannot be read or is not what it should be is an error that names it;
// the server then does not start, and the file is never overwritten.
//
// The server keeps to its own names there (StateFolderNames.h): a folder given by mistake, one
// that holds other things and none of the server's state, is refused and left as it was; in one
// that holds both, the rest is never read, removed or changed. A link in it is never followed.
//
// What is the server's is its owner's alone: its subfolders 0700, its files 0600 (those a server
// before this one left too), and the folder itself 0700 while it holds nothing else, since it
// holds sign-ins and password hashes. One server at a time uses it: the folder object holds a
// lock on the folder itself for its life (a file in it could be removed under it), and a second
// open while it lives is refused as "in use".
//
// Names are relative paths below the folder ("accounts.json", "uploads/avatar-7-1.png"); a name
// that would leave the folder is refused. Calls are thread-safe as far as the files are
// concerned; callers keep their own state consistent.
class StateFolder {
public:
    // The folder, made when missing, locked for the object's life; none with a message when it
    // cannot be made or used or is not a state folder, and `inUse` set when another server holds
    // it.
    static std::shared_ptr<StateFolder> open(
        const std::filesystem::path& dir, std::string* error = nullptr, bool* inUse = nullptr);
    ~StateFolder();
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;

    const std::filesystem::path& path() const { return m_dir; }

    // What reading a file of the folder found.
    struct Read {
        bool ok = true; // false: the file is there but damaged or unreadable (see error)
        std::optional<nlohmann::json> value; // none when there is no such file yet
        std::string error; // names the file and says what is wrong
    };
    // The file's JSON. `expectObject` refuses any other JSON value (most state is an object).
    Read readJSON(const std::string& name, bool expectObject = true) const;
    // The file's bytes, up to `maxBytes`; ok with no value when missing.
    struct Bytes {
        bool ok = true;
        std::optional<std::string> value;
        std::string error;
    };
    Bytes readBytes(const std::string& name, std::size_t maxBytes) const;

    // Writes the whole file in one step (see above). False, with the reason logged and given,
    // when the disk refused it: the state in memory goes on, the file keeps its last whole
    // version.
    bool writeJSON(const std::string& name, const nlohmann::json& value, std::string* error = nullptr) const;
    bool writeBytes(const std::string& name, const std::string& bytes, std::string* error = nullptr) const;
    // Removes a file; a missing one is no error.
    bool remove(const std::string& name, std::string* error = nullptr) const;
    // The names of the state files directly in one of the server's subfolders ("uploads" ->
    // "uploads/avatar-7-1.png"), none when it is missing; other files there are not the server's.
    std::vector<std::string> filesIn(const std::string& subfolder) const;

    // The largest file read back (a state file is written by this server, not by its clients,
    // but a damaged disk could hand back anything).
    static constexpr std::size_t maxJSONBytes = 64 * 1024 * 1024;
    // The largest whole number that a state file holds (ids, seqs, serials): 2^53 - 1, the largest
    // that every JSON reader keeps exact, JavaScript's among them. A count that would pass it is
    // refused rather than written, so that the next start reads back whatever was handed out.
    static constexpr std::int64_t maxExactInteger = (std::int64_t(1) << 53) - 1;
    // The file that earlier servers locked instead of the folder, left as it is.
    static constexpr const char* lockFile = earlierLockFile;

    StateFolder(std::filesystem::path dir, int lockDescriptor);

private:
    // The full path of a name, or none when the name would leave the folder.
    std::optional<std::filesystem::path> resolve(const std::string& name) const;

    std::filesystem::path m_dir;
    int m_lock = -1; // the open folder, whose lock ends when it is closed
};

}
