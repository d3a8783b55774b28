#pragma once

#include "platform/net/HTTPHeaders.h"
#include "platform/ui/UIImage.h"

#include <functional>
#include <string>
#include <string_view>

// Whether the player's asset can play yet.
enum class SJAssetStatus {
    unknown = 0,
    preparing = 1,
    readyToPlay = 2,
    failed = 3,
};

// Why an asset failed, as far as the viewer is to be told.
enum class SJAssetFailure {
    none,
    unplayable, // it does not open or stops playing
    insecureRedirect, // its https address redirects to plain http, which is not followed
};

// What the player is doing with time: standing, waiting for data, or moving.
enum class SJPlaybackTimeControlStatus {
    paused = 0,
    waitingToPlayAtSpecifiedRate = 1,
    playing = 2,
};

// Why a player that should play waits; empty when it does not wait.
using SJWaitingReason = std::string_view;
// The engine's buffer ran dry (a slow network): it waits until enough is in again.
inline constexpr SJWaitingReason SJWaitingToMinimizeStallsReason = "SJWaitingToMinimizeStallsReason";
// The asset is still being opened.
inline constexpr SJWaitingReason SJWaitingWithNoAssetToPlayReason = "SJWaitingWithNoAssetToPlayReason";

// What the player asks an engine to open.
struct SJMediaPlaybackRequest {
    std::string URL;
    // Sent with every request the engine makes for the asset (playlists, segments, keys); a
    // "User-Agent" among them is the agent. The player has already dropped unsafe fields.
    HTTPHeaders headerFields;
};

// The engine under a player: opens one asset at a time and plays it. The player keeps the intent
// (play or pause, the rate); the engine reports what happens. Two engines exist: libmpv for real
// playback (SJMPVPlaybackController) and a scripted one on the dispatch clock for screen tests
// (SJScriptedPlaybackController).
//
// Main thread only. Engines report asynchronous changes (opened, failed, stalled, at the end,
// a new frame) through the handlers, always on the main queue, never from inside a call the
// player made.
class SJMediaPlaybackController {
public:
    using ChangeHandler = std::function<void()>;
    using FrameHandler = std::function<void(const UIImage&)>;
    using SeekCompletion = std::function<void(bool finished)>;

    virtual ~SJMediaPlaybackController() = default;

    // Replaces the current asset; its status becomes preparing at once.
    virtual void load(const SJMediaPlaybackRequest& request, bool paused) = 0;
    // Lets the asset go; the status goes back to unknown.
    virtual void unload() = 0;
    virtual void setPaused(bool paused) = 0;
    // The completion runs on the main queue: true once playback stands at the new time, false
    // when another seek, a load or an unload came first.
    virtual void seek(double seconds, SeekCompletion completion) = 0;
    virtual void setRate(double rate) = 0;

    virtual SJAssetStatus assetStatus() const = 0;
    // Seconds; 0 until known.
    virtual double currentTime() const = 0;
    virtual double duration() const = 0;
    // Playing was asked for but the data is not there (the buffer ran dry, or a seek is under way).
    virtual bool isStalled() const = 0;
    // Playback reached the end of the asset (until a seek or a new load).
    virtual bool isFinished() const = 0;
    // Why the asset failed; empty otherwise.
    virtual std::string errorDescription() const = 0;
    // The kind of that failure; none while the asset has not failed.
    virtual SJAssetFailure failure() const = 0;

    void setChangeHandler(ChangeHandler handler) { m_changeHandler = std::move(handler); }
    void setFrameHandler(FrameHandler handler) { m_frameHandler = std::move(handler); }

protected:
    void notifyChange()
    {
        if (auto handler = m_changeHandler)
            handler();
    }
    void deliverFrame(const UIImage& frame)
    {
        if (auto handler = m_frameHandler)
            handler(frame);
    }

private:
    ChangeHandler m_changeHandler;
    FrameHandler m_frameHandler;
};
