#pragma once

#include "platform/media/AVURLAsset.h"
#include "platform/net/HTTPHeaders.h"

#include <memory>
#include <string>

struct SJPlaybackRecord;

// What a player plays: an address, or a URL asset with its header fields, plus a title and,
// optionally, the history record whose position the player keeps (SJPlaybackRecordSaveHandler).
class SJVideoPlayerURLAsset {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    // None for an empty address (or no asset): there is nothing to play.
    static std::shared_ptr<SJVideoPlayerURLAsset> initWithURL(std::string url);
    static std::shared_ptr<SJVideoPlayerURLAsset> initWithAVAsset(std::shared_ptr<AVURLAsset> asset);

    SJVideoPlayerURLAsset(Passkey, std::shared_ptr<AVURLAsset> asset);

    const std::string& URL() const { return m_asset->URL(); }
    const std::shared_ptr<AVURLAsset>& avAsset() const { return m_asset; }
    // The asset's header fields in name order (untrusted: the player filters them before use).
    HTTPHeaders httpHeaderFields() const;

    bool isM3u8() const { return m_isM3u8; }
    void setIsM3u8(bool isM3u8) { m_isM3u8 = isM3u8; }
    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    const std::shared_ptr<SJPlaybackRecord>& record() const { return m_record; }
    void setRecord(std::shared_ptr<SJPlaybackRecord> record) { m_record = std::move(record); }

private:
    std::shared_ptr<AVURLAsset> m_asset;
    bool m_isM3u8 = false;
    std::string m_title;
    std::shared_ptr<SJPlaybackRecord> m_record;
};
