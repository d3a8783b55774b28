#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace testserver {

// The names that the server writes in a state folder, and only those. They are all it tidies and
// makes private at a start, and what tells its own folder from one given by mistake (a home
// folder, "."): everything else below the folder belongs to someone else and is left as it is.
//
// At the top: accounts.json, chat_rooms.json, the lock file of earlier servers (which locked a
// file rather than the folder), and the subfolders uploads/ (avatar-<account>-<serial>.png or
// .jpg) and lists/ (<account>.json). A write cut short leaves "<name>.writing-<pid>-<serial>"
// beside its file.
enum class StatePlace { Top, Uploads, Lists };

// The place that a subfolder at the top of the folder is, when it is one of the server's.
bool isStateSubfolder(std::string_view name, StatePlace* place = nullptr);
// A file that the server keeps its state in, in that place.
bool isStateFileName(StatePlace place, std::string_view name);
// What a write of such a file in that place leaves behind when it is cut short.
bool isWritePieceName(StatePlace place, std::string_view name);
// The name that a write of `file` goes to before it is renamed over it.
std::string writePieceName(const std::string& file, std::int64_t pid, std::uint64_t serial);

inline constexpr const char* accountsStateFile = "accounts.json";
inline constexpr const char* chatRoomsStateFile = "chat_rooms.json";
inline constexpr const char* uploadsStateFolder = "uploads";
inline constexpr const char* listsStateFolder = "lists";
inline constexpr const char* earlierLockFile = "lock";

}
