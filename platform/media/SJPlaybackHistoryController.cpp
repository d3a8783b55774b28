#include "platform/media/SJPlaybackHistoryController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/NoDestructor.h"

#include <cmath>

namespace {

ASValues keyOf(const SJPlaybackRecord& record)
{
    return {
        { "titleId", ASValue(record.titleId) },
        { "episodeId", ASValue(record.episodeId) },
        { "mediaType", ASValue(static_cast<long long>(record.mediaType)) },
        { "userId", ASValue(static_cast<long long>(record.userId)) },
    };
}

}

SJPlaybackHistoryController& SJPlaybackHistoryController::shared()
{
    static NoDestructor<SJPlaybackHistoryController> controller;
    return *controller;
}

std::shared_ptr<SJPlaybackRecord> SJPlaybackHistoryController::recordForMedia(
    const SJPlaybackMediaId& mediaId, std::int64_t userId, SJMediaType mediaType)
{
    auto found = SJPlaybackRecord::findFirst(keyOf(SJPlaybackRecord(mediaId, mediaType, userId)));
    if (!found) {
        Log::write("playback history: cannot read: " + found.error());
        return nullptr;
    }
    if (!*found)
        return nullptr;
    return std::make_shared<SJPlaybackRecord>(std::move(**found));
}

bool SJPlaybackHistoryController::save(SJPlaybackRecord& record)
{
    ASStatus saved = record.id() ? record.update() : ASStatus();
    if (!record.id() || !saved) {
        // A new record, or one whose row went: it takes the place of any row of the same media.
        SJPlaybackRecord fresh = record;
        saved = SJPlaybackRecord::transaction([&]() -> ASStatus {
            auto removed = SJPlaybackRecord::deleteWhere(keyOf(fresh));
            if (!removed)
                return ASError { removed.error() };
            if (fresh.id())
                fresh.deleteRecord();
            return fresh.save();
        });
        if (saved)
            record = fresh;
    }
    if (!saved)
        Log::write("playback history: cannot save: " + saved.error());
    return static_cast<bool>(saved);
}

SJPlaybackRecordSaveHandler& SJPlaybackRecordSaveHandler::shared()
{
    static NoDestructor<SJPlaybackRecordSaveHandler> handler;
    return *handler;
}

void SJPlaybackRecordSaveHandler::handle(SJPlaybackRecordSaveEvent event, SJPlaybackRecord& record, double position)
{
    if (!(m_eventMask & event))
        return;
    record.position = std::isfinite(position) && position > 0 ? position : 0;
    SJPlaybackHistoryController::shared().save(record);
}
