#pragma once

#include "platform/media/SJBaseVideoPlayer.h"

#include <memory>
#include <string>

// The small inline player of a short-video cell: it never starts by itself (the feed says when),
// pauses in the background and stays paused in the foreground, does not turn with the device,
// and shows the whole picture letterboxed on a clear background. Main thread only.
class ZV_SVideoPlayer : public SJBaseVideoPlayer {
public:
    static std::shared_ptr<ZV_SVideoPlayer> player();
    ZV_SVideoPlayer();

    // Stops what plays and takes the clip at `url`, through the media cache's playback address
    // when the cache gives one, else directly. Playback waits for play().
    void configureWithURL(const std::string& url);
    // Whether the player holds the clip of `url` from configureWithURL and it has not failed,
    // so that showing the same clip again need not start it over.
    bool isConfiguredWith(const std::string& url) const;

    // Asked before each play; a block that answers false keeps the player still.
    const CanPlayAnAsset& allowsPlayback() const { return canPlayAnAsset(); }
    void setAllowsPlayback(CanPlayAnAsset block) { setCanPlayAnAsset(std::move(block)); }

private:
    std::string m_url;
};
