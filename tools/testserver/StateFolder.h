#pragma once

#include "tools/testserver/StateFolderNames.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
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
// The server keeps to its own names there (StateFolderNames.h); everything else in the folder is
// someone else's and is never read, removed or changed. A start changes nothing before it has read
// and judged every state file: open() only locks the folder and looks at its names, the start's
// readers read it, and only take() changes it (the start's own changes, held until then, and the
// tidying below). A start refused on the way leaves every name, byte and mode as it was.
//
// The folder reads as the server's own when
//  - it holds nothing but the server's names: a new or empty folder, one of this server, or what a
//    first start killed halfway leaves (pieces of a write cut short, an earlier server's lock); or
//  - it holds things of someone else's besides, and its accounts.json, which every start writes
//    before anything else, reads and judges as the server's account book (the start reads it, and
//    refuses the folder when it does not).
// A folder that holds other things and no accounts.json (a path given by mistake: a home folder,
// a web site's folder) is refused at open() by name and left as it was.
//
// A link is never followed: one where a name of the server's is (accounts.json, chat_rooms.json,
// uploads, lists, lock, a file of uploads/ or lists/ of the server's form), or anything else of
// another type there, has the folder refused at open(). Every read and write goes from the open
// folder, one name at a time, without following a link: one that appears while the server runs is
// an error of that call, and nothing lands outside the folder.
//
// What is the server's is its owner's alone: its subfolders 0700, its files 0600 (those a server
// before this one left too), and the folder itself 0700 while it holds nothing else, since it
// holds sign-ins and password hashes; take() makes them so. One server at a time uses it: the
// folder object holds a lock on the folder itself for its life (a file in it could be removed
// under it), and on the lock file that servers before this one locked instead, while there is
// one, so that neither runs beside the other; a second open while either is held is refused as
// "in use". That file is never made, only honoured.
//
// Names are relative paths below the folder ("accounts.json", "uploads/avatar-7-1.png"); a name
// that would leave the folder is refused. Calls are thread-safe as far as the files are
// concerned; callers keep their own state consistent.
class StateFolder {
public:
    // The folder, made when missing, locked for the object's life and looked through, but not yet
    // changed; none with a message when it cannot be made or used or is not a state folder, and
    // `inUse` set when another server holds it.
    static std::shared_ptr<StateFolder> open(
        const std::filesystem::path& dir, std::string* error = nullptr, bool* inUse = nullptr);
    ~StateFolder();
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;

    const std::filesystem::path& path() const { return m_dir; }

    // A change that a start makes to the folder (its book's first write, the removal of stray
    // pictures), held until take(): false, with the reason, when the disk refused it.
    using StartChange = std::function<bool(std::string* error)>;
    // Holds the change until the folder is taken; a folder taken already makes it at once.
    void atTake(StartChange change) const;
    // Ends the start, once every state file is read and judged: makes the changes held, in the
    // order given, removes the pieces of writes a stop cut short and makes what is the server's
    // private. Writes and removals are refused before it, so that a start refused on the way
    // changes nothing. False, with the reason, when the folder could not be made so (before
    // anything changed when the folder is not its owner's to make private).
    bool take(std::string* error = nullptr);

    // A thing of someone else's that the folder holds, none when all of it is the server's.
    const std::optional<std::filesystem::path>& otherThing() const { return m_other; }
    // Why a start on this folder is refused, for a problem of its account book: when the folder
    // holds things of someone else's too, it is said not to be a state folder.
    std::string refusal(const std::string& bookProblem) const;

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
    // `error` is set when the subfolder is there but cannot be gone through.
    std::vector<std::string> filesIn(const std::string& subfolder, std::string* error = nullptr) const;

    // The largest file read back (a state file is written by this server, not by its clients,
    // but a damaged disk could hand back anything).
    static constexpr std::size_t maxJSONBytes = 64 * 1024 * 1024;
    // The largest whole number that a state file holds (ids, seqs, serials): 2^53 - 1, the largest
    // that every JSON reader keeps exact, JavaScript's among them. A count that would pass it is
    // refused rather than written, so that the next start reads back whatever was handed out.
    static constexpr std::int64_t maxExactInteger = (std::int64_t(1) << 53) - 1;
    // The file that earlier servers locked instead of the folder: locked too, never made.
    static constexpr const char* lockFile = earlierLockFile;

    // What open() found in the folder, for take().
    struct Found;
    StateFolder(std::filesystem::path dir, int folderLock, std::unique_ptr<Found> found);

private:
    // Logs and gives the refusal of a change asked for before take(); false once the folder is taken.
    bool refusedBeforeTake(const std::string& name, std::string* error) const;

    std::filesystem::path m_dir;
    int m_folder = -1; // the open folder, whose lock ends when it is closed; every name goes from it
    std::unique_ptr<Found> m_found;
    std::optional<std::filesystem::path> m_other;
    std::atomic<bool> m_taken { false };
    mutable std::mutex m_startMutex;
    mutable std::vector<StartChange> m_held;
};

}
