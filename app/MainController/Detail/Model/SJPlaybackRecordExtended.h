#pragma once

#include "platform/media/SJPlaybackRecord.h"

#include <optional>
#include <string>

// The app's own values on a playback-history record (offline play): stored with the record under
// their names. `index` is kept for records of older versions and never written.
namespace SJExtended {

inline constexpr const char* vodId = "vodId";
inline constexpr const char* title = "title";
inline constexpr const char* cover = "cover";
inline constexpr const char* episode = "episode";
inline constexpr const char* index = "index";
inline constexpr const char* duration = "duration";

inline std::optional<std::string> get(const SJPlaybackRecord& record, const char* key)
{
    return record.extendedValue(key);
}

inline void set(SJPlaybackRecord& record, const char* key, std::optional<std::string> value)
{
    record.setExtendedValue(key, std::move(value));
}

}
