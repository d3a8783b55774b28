#include "platform/media/SJPlaybackRecord.h"

#include "platform/foundation/NoDestructor.h"

#include <nlohmann/json.hpp>

namespace {

nlohmann::json extendedObject(const std::string& text)
{
    nlohmann::json object = nlohmann::json::parse(text, nullptr, false);
    return object.is_object() ? object : nlohmann::json::object();
}

}

SJPlaybackRecord::SJPlaybackRecord(SJPlaybackMediaId mediaId, SJMediaType type, std::int64_t user)
    : titleId(std::move(mediaId.titleId))
    , episodeId(std::move(mediaId.episodeId))
    , mediaType(type)
    , userId(user)
{ }

std::optional<std::string> SJPlaybackRecord::extendedValue(const std::string& key) const
{
    nlohmann::json object = extendedObject(extended);
    auto value = object.find(key);
    if (value == object.end() || !value->is_string())
        return std::nullopt;
    return value->get<std::string>();
}

void SJPlaybackRecord::setExtendedValue(const std::string& key, std::optional<std::string> value)
{
    nlohmann::json object = extendedObject(extended);
    if (value)
        object[key] = std::move(*value);
    else
        object.erase(key);
    // Invalid UTF-8 from outside is replaced rather than refused, so that the record still saves.
    extended = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

const ASTable<SJPlaybackRecord>& SJPlaybackRecord::table()
{
    // Never destroyed: a player that goes late in a program's exit still saves its record here.
    static NoDestructor<ASTable<SJPlaybackRecord>> table(ASTable<SJPlaybackRecord> { "SJPlaybackRecord",
        {
            { "titleId", &SJPlaybackRecord::titleId },
            { "episodeId", &SJPlaybackRecord::episodeId },
            { "mediaType", &SJPlaybackRecord::mediaType },
            { "userId", &SJPlaybackRecord::userId },
            { "position", &SJPlaybackRecord::position },
            { "extended", &SJPlaybackRecord::extended },
        } });
    return *table;
}
