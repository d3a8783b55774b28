#pragma once

#include "platform/media/SJMediaPlaybackController.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class HTTPTask;
struct HTTPResponse;
struct mpv_handle;
struct mpv_render_context;
struct mpv_event;

// The real engine: libmpv. Headless no sound goes out (the null audio output keeps the clock);
// with sound enabled (the device shown in a window) libmpv's own audio output plays it, tried
// once: when no output opens, one line says so and every player plays silently from then on;
// frames come through libmpv's software renderer at the video's own size and go to the frame
// handler as images, which the player's view scales by its gravity. HLS (master playlists,
// AES-128 segments) and MP4 over HTTP(S) with byte ranges are libmpv's and FFmpeg's own; the
// request's header fields and agent go with every request of the asset, playlists, segments and
// keys alike. Only http and https addresses are opened, and FFmpeg may follow them only to
// network protocols, so nothing an address says reaches local files. The redirects of an https
// address are followed by the HTTP client before the engine opens it, so that one to plain http
// fails the asset (SJAssetFailure::insecureRedirect) instead of being followed.
//
// It plays at the device's volume (SJDeviceVolumeAndBrightnessController) from its start, and
// follows each move of it while it lives.
//
// Main thread only (libmpv's threads post to the main queue).
class SJMPVPlaybackController final : public SJMediaPlaybackController {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    // A started libmpv core with its renderer; nullptr (and a log line) when libmpv cannot start.
    static std::shared_ptr<SJMPVPlaybackController> make();

    // Certificate authorities for HTTPS assets: this PEM file, else the information key
    // TrustedCAFile, else the system's store. Applies to later loads; TLS is always verified.
    static void setTrustedCAFile(std::string path);
    // Sound through the system's audio output for players made from now on (off: silent, as
    // headless). Without a working output libmpv plays the picture alone, and after the first
    // failure no player tries the output again until sound is enabled anew.
    static void setSoundEnabled(bool enabled);
    // Whether an output failed to open since sound was enabled.
    static bool isSoundUnavailable();
    // libmpv's volume for a level of the device's volume (0 to 1): 0 is silence, 1 is 100, the
    // engine's own full volume, neither reduced nor amplified. Linear, since libmpv's mixer turns
    // its volume into gain along a cube, so that equal steps of the level sound like equal steps.
    static double volumeForLevel(double level);

    explicit SJMPVPlaybackController(Passkey);
    ~SJMPVPlaybackController() override;

    void load(const SJMediaPlaybackRequest& request, bool paused) override;
    void unload() override;
    void setPaused(bool paused) override;
    void seek(double seconds, SeekCompletion completion) override;
    void setRate(double rate) override;

    SJAssetStatus assetStatus() const override { return m_status; }
    double currentTime() const override { return m_time; }
    double duration() const override { return m_duration; }
    bool isStalled() const override;
    bool isFinished() const override { return m_status == SJAssetStatus::readyToPlay && m_eof; }
    std::string errorDescription() const override { return m_error; }
    SJAssetFailure failure() const override { return m_failure; }

    // The volume libmpv plays at now (its "volume" property); none when it does not say.
    std::optional<double> engineVolume() const;

private:
    struct Callbacks;

    bool start();
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void readPlaybackState();
    void renderFrame();
    void issueSeek(double seconds);
    void finishSeek(bool finished);
    void fail(std::string error, SJAssetFailure failure = SJAssetFailure::unplayable);
    void cancelRedirectCheck();
    void redirectsChecked(const SJMediaPlaybackRequest& request, const HTTPResponse& response);
    // Hands the address to libmpv.
    void open(const SJMediaPlaybackRequest& request);
    void postChange();
    // Takes libmpv's lines about its audio output; true when the line is one of them.
    bool audioOutputMessage(std::string_view prefix, const std::string& text);
    void silence();
    void followDeviceVolume();

    mpv_handle* m_mpv = nullptr;
    mpv_render_context* m_render = nullptr;
    std::shared_ptr<Callbacks> m_callbacks;
    std::string m_defaultUserAgent;
    bool m_triesSound = false; // the system's output, not the null one
    bool m_soundFailed = false; // no output opened for this player's asset
    std::string m_soundFailure; // the first reason an output gave

    // The playlist entry of the current load; events of other entries are stale.
    std::int64_t m_entryId = -1;
    bool m_loaded = false;
    SJAssetStatus m_status = SJAssetStatus::unknown;
    std::string m_error;
    SJAssetFailure m_failure = SJAssetFailure::none;
    // The redirects of an https address being followed before it opens; a newer load or an
    // unload drops its answer.
    std::shared_ptr<HTTPTask> m_redirectCheck;
    std::uint64_t m_loadGeneration = 0;
    double m_time = 0;
    double m_duration = 0;
    bool m_paused = true;
    bool m_pausedForCache = false;
    bool m_coreIdle = true;
    bool m_eof = false;

    std::optional<double> m_deferredSeek; // asked for before the asset was open
    bool m_seekIssued = false;
    SeekCompletion m_seekCompletion;
};
