#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The device's volume and backlight as a window keeps them from one start to the next: a small
// JSON object, {"volume":0.5,"brightness":0.8}, each level 0 to 1. Main thread.
namespace DeviceLevelsFile {

struct Levels {
    // A first start's: full volume, full backlight.
    float volume = 1;
    float brightness = 1;
    bool operator==(const Levels&) const = default;
};

// Far more than the file ever holds: a larger one is not ours, and is not read whole.
inline constexpr std::uint64_t maximumSize = 4096;

// The levels of a file's text, each held to 0...1; a level it does not name starts full, and
// members it does not know are passed over. None when the text is no such object (not JSON, not
// an object, a level that is no number).
std::optional<Levels> parse(std::string_view text);
std::string serialize(const Levels& levels);

struct Read {
    enum class Outcome {
        Read,
        // No file: a first start.
        Missing,
        // Not a levels file: moved aside (or, where that failed, left where it is).
        Damaged,
        // There but not readable (permissions, a folder, a failing disk): left as it is.
        Unreadable,
    };
    Outcome outcome = Outcome::Missing;
    // The file's levels when read, else a first start's.
    Levels levels;
    // A damaged file's new place; none when it could not be moved.
    std::optional<std::filesystem::path> movedTo;
};
// Reads the file; what is damaged or unreadable is told on the log in one line.
Read read(const std::filesystem::path& file);

// Replaces the file whole (a temporary beside it, renamed over it); false when the disk refused.
bool write(const std::filesystem::path& file, const Levels& levels);

}
