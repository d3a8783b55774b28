#include "tools/testserver/StateFolderNames.h"

#include <algorithm>
#include <optional>

namespace testserver {

namespace {

constexpr std::string_view kPieceMark = ".writing-";

// Ids, serials and process ids as the server writes them: decimal, within 64 bits.
bool isNumber(std::string_view text)
{
    return !text.empty() && text.size() <= 19
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Takes `prefix` off the front of `text`; false when it is not there.
bool consume(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// "<number><separator>" off the front of `text`.
bool consumeNumber(std::string_view& text, char separator)
{
    std::size_t end = text.find(separator);
    if (end == std::string_view::npos || !isNumber(text.substr(0, end)))
        return false;
    text.remove_prefix(end + 1);
    return true;
}

}

bool isStateSubfolder(std::string_view name, StatePlace* place)
{
    std::optional<StatePlace> found;
    if (name == uploadsStateFolder)
        found = StatePlace::Uploads;
    else if (name == listsStateFolder)
        found = StatePlace::Lists;
    if (found && place)
        *place = *found;
    return found.has_value();
}

bool isStateFileName(StatePlace place, std::string_view name)
{
    switch (place) {
    case StatePlace::Top:
        return name == accountsStateFile || name == chatRoomsStateFile;
    case StatePlace::Uploads:
        return consume(name, "avatar-") && consumeNumber(name, '-') && consumeNumber(name, '.')
            && (name == "png" || name == "jpg");
    case StatePlace::Lists:
        return consumeNumber(name, '.') && name == "json";
    }
    return false;
}

bool isWritePieceName(StatePlace place, std::string_view name)
{
    std::size_t mark = name.rfind(kPieceMark);
    if (mark == std::string_view::npos || !isStateFileName(place, name.substr(0, mark)))
        return false;
    std::string_view rest = name.substr(mark + kPieceMark.size());
    return consumeNumber(rest, '-') && isNumber(rest);
}

std::string writePieceName(const std::string& file, std::int64_t pid, std::uint64_t serial)
{
    return file + std::string(kPieceMark) + std::to_string(pid) + "-" + std::to_string(serial);
}

}
