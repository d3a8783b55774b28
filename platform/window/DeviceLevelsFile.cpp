#include "platform/window/DeviceLevelsFile.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/json/JSON.h"

#include <algorithm>
#include <charconv>

namespace {

// A member that is absent keeps the level it has; one that is there must be a number.
bool readLevel(const JSON& object, const char* name, float& level)
{
    JSON member = object[name];
    if (!member.exists())
        return true;
    std::optional<double> number = member.number();
    if (!number)
        return false;
    // Held to the range before it is narrowed: a number beyond a float's range has no float.
    level = static_cast<float>(std::clamp(*number, 0.0, 1.0));
    return true;
}

// The shortest text that reads back as the same float.
std::string levelText(float level)
{
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, level);
    return error == std::errc() ? std::string(text, end) : std::string("1");
}

}

std::optional<DeviceLevelsFile::Levels> DeviceLevelsFile::parse(std::string_view text)
{
    JSON object = JSON::parse(text);
    if (object.type() != JSON::Type::Object)
        return std::nullopt;
    Levels levels;
    if (!readLevel(object, "volume", levels.volume) || !readLevel(object, "brightness", levels.brightness))
        return std::nullopt;
    return levels;
}

std::string DeviceLevelsFile::serialize(const Levels& levels)
{
    return "{\"volume\":" + levelText(levels.volume) + ",\"brightness\":" + levelText(levels.brightness) + "}\n";
}

DeviceLevelsFile::Read DeviceLevelsFile::read(const std::filesystem::path& file)
{
    Read result;
    FileSystem::FileRead read = FileSystem::readFileChecked(file, maximumSize);
    switch (read.status) {
    case FileSystem::FileRead::Status::Missing:
        return result;
    case FileSystem::FileRead::Status::Unreadable:
        result.outcome = Read::Outcome::Unreadable;
        Log::write("device levels: cannot read " + file.string() + " (" + read.reason
            + "); it is left as it is, and the volume and brightness start full and are not kept this time");
        return result;
    case FileSystem::FileRead::Status::Read:
        if (auto levels = parse(stringFromData(read.data))) {
            result.outcome = Read::Outcome::Read;
            result.levels = *levels;
            return result;
        }
        break;
    case FileSystem::FileRead::Status::TooLarge:
        break;
    }
    result.outcome = Read::Outcome::Damaged;
    result.movedTo = FileSystem::moveAside(file);
    std::string report = "device levels: damaged file " + file.string();
    if (read.status == FileSystem::FileRead::Status::TooLarge)
        report += " (" + read.reason + ")";
    report += result.movedTo
        ? " moved to " + result.movedTo->string() + "; the volume and brightness start full"
        : std::string(" could not be moved aside; the volume and brightness start full and are not kept this time");
    Log::write(report);
    return result;
}

bool DeviceLevelsFile::write(const std::filesystem::path& file, const Levels& levels)
{
    return FileSystem::writeFileAtomically(file, dataFromString(serialize(levels)));
}
