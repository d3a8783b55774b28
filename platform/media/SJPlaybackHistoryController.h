#pragma once

#include "platform/media/SJPlaybackRecord.h"

#include <cstdint>
#include <memory>

// The playback history: one record per media, media type and user, in the app's record database.
// Main thread.
class SJPlaybackHistoryController {
public:
    static SJPlaybackHistoryController& shared();

    // The stored record, or none (also when the database cannot be read; that goes to the log).
    std::shared_ptr<SJPlaybackRecord> recordForMedia(
        const SJPlaybackMediaId& mediaId, std::int64_t userId, SJMediaType mediaType);
    // Stores the record, replacing any other row of the same media, type and user; false (and a
    // log line) when the database refuses.
    bool save(SJPlaybackRecord& record);
};

// Bits of the events on which a player writes the position of its asset's record.
enum SJPlaybackRecordSaveEvent : unsigned {
    SJPlaybackRecordSaveEventPause = 1 << 0, // playback paused (by the viewer or the program)
    SJPlaybackRecordSaveEventFinish = 1 << 1, // played to the end: the position goes back to 0
    SJPlaybackRecordSaveEventAssetChange = 1 << 2, // another asset (or none) replaces it, or stop
    SJPlaybackRecordSaveEventPlayerRelease = 1 << 3, // the player goes away
    SJPlaybackRecordSaveEventBackground = 1 << 4, // the application enters the background
    SJPlaybackRecordSaveEventTerminate = 1 << 5, // the application ends
    SJPlaybackRecordSaveEventViewDisappear = 1 << 6, // the player's screen is about to go
    SJPlaybackRecordSaveEventAll = 0x7F,
};

// Which of those events save. Nothing is saved until an app sets the mask. Main thread.
class SJPlaybackRecordSaveHandler {
public:
    static SJPlaybackRecordSaveHandler& shared();

    unsigned eventMask() const { return m_eventMask; }
    void setEventMask(unsigned mask) { m_eventMask = mask & SJPlaybackRecordSaveEventAll; }

    // The player's part: on one of the events, writes the position into the record and stores it
    // when the mask has the event. Positions that are not finite or negative count as 0.
    void handle(SJPlaybackRecordSaveEvent event, SJPlaybackRecord& record, double position);

private:
    unsigned m_eventMask = 0;
};
