#pragma once

#include "platform/storage/ASModel.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

enum SJMediaType : std::int64_t {
    SJMediaTypeVideo = 0,
    SJMediaTypeAudio = 1,
};

// Which media a history record belongs to: a title and one of its episodes. Both parts are kept
// as they are, so title "12" with episode "34" and title "123" with episode "4" stay apart.
struct SJPlaybackMediaId {
    std::string titleId;
    std::string episodeId;
    auto operator<=>(const SJPlaybackMediaId&) const = default;
};

// One entry of the playback history: where a viewer stopped in one media. A row of the app's
// default record database. Apps keep values of their own beside it (title, cover...) with
// setExtendedValue(); they are stored with the record.
struct SJPlaybackRecord : ASModel<SJPlaybackRecord> {
    SJPlaybackRecord() = default;
    SJPlaybackRecord(SJPlaybackMediaId mediaId, SJMediaType mediaType, std::int64_t userId);

    std::string titleId;
    std::string episodeId;
    std::int64_t mediaType = SJMediaTypeVideo;
    std::int64_t userId = 0;
    double position = 0; // seconds
    std::string extended; // a JSON object of strings; use the accessors below

    SJPlaybackMediaId mediaId() const { return { titleId, episodeId }; }

    // A value stored under the key; none when absent (or when the stored object is damaged).
    std::optional<std::string> extendedValue(const std::string& key) const;
    void setExtendedValue(const std::string& key, std::optional<std::string> value);

    static const ASTable<SJPlaybackRecord>& table();
};
