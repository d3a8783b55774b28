#pragma once

#include "platform/media/SJMediaPlaybackController.h"
#include "platform/ui/CGGeometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a scripted asset does, in media seconds and in seconds of the dispatch clock.
struct SJScriptedMedia {
    struct Stall {
        double at = 0; // media time at which the buffer runs dry
        double length = 0; // clock seconds until playback goes on
    };

    double duration = 60;
    double openingTime = 0.5; // clock seconds from the load to ready (or failed)
    bool failsToOpen = false;
    // Fails to open as an https address redirected to plain http does.
    bool redirectsToHTTP = false;
    std::optional<double> failsAt {}; // media time at which a playing asset fails
    std::vector<Stall> stalls {}; // each once per load, when playback reaches it
    CGSize videoSize { 640, 360 }; // the plain frame it shows once ready
};

// The engine for screen tests: no network and no decoding, deterministic on the dispatch clock
// (virtual in tests). Media time moves with the clock at the rate while playing; openings,
// stalls, failures and the end come at their scripted times, when RunLoop::advance() passes them.
// Main thread only.
class SJScriptedPlaybackController final : public SJMediaPlaybackController,
                                           public std::enable_shared_from_this<SJScriptedPlaybackController> {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    // Scripts by address, process-wide. An address without a script plays 60 s; an address that
    // is not http or https fails to open.
    static void script(const std::string& url, SJScriptedMedia media);
    static void clearScripts();

    static std::shared_ptr<SJScriptedPlaybackController> make();
    explicit SJScriptedPlaybackController(Passkey);

    void load(const SJMediaPlaybackRequest& request, bool paused) override;
    void unload() override;
    void setPaused(bool paused) override;
    void seek(double seconds, SeekCompletion completion) override;
    void setRate(double rate) override;

    SJAssetStatus assetStatus() const override { return m_status; }
    double currentTime() const override;
    double duration() const override { return m_status == SJAssetStatus::readyToPlay ? m_media.duration : 0; }
    bool isStalled() const override { return m_stalled; }
    bool isFinished() const override { return m_finished; }
    std::string errorDescription() const override { return m_error; }
    SJAssetFailure failure() const override { return m_failure; }

    // What the player asked for last (tests read the address and header fields).
    const SJMediaPlaybackRequest& lastRequest() const { return m_request; }
    double rate() const { return m_rate; }
    bool isPaused() const { return m_paused; }

private:
    bool isMoving() const;
    double nextStop() const;
    void rebase(); // takes the moving position as the new origin
    void schedule(); // the next scripted stop, replacing any earlier one
    void reachStop(double stop);
    void open();
    void endStall();
    void after(double seconds, void (SJScriptedPlaybackController::*step)());

    SJMediaPlaybackRequest m_request;
    SJScriptedMedia m_media;
    SJAssetStatus m_status = SJAssetStatus::unknown;
    std::string m_error;
    SJAssetFailure m_failure = SJAssetFailure::none;
    bool m_paused = true;
    double m_rate = 1;
    bool m_stalled = false;
    bool m_finished = false;
    std::vector<bool> m_stallsDone;
    std::optional<double> m_deferredSeek;
    SeekCompletion m_deferredCompletion;

    double m_position = 0; // media time at m_origin
    double m_origin = 0; // clock time
    // Scheduled steps of an older generation do nothing: a load or unload ends every step of the
    // asset (opening, stall ends), any change of movement ends the scheduled stop.
    std::uint64_t m_loadGeneration = 0;
    std::uint64_t m_moveGeneration = 0;
};
