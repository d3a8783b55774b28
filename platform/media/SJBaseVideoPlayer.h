#pragma once

#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/media/SJMediaPlaybackController.h"
#include "platform/media/SJPlaybackHistoryController.h"
#include "platform/media/SJPlaybackObservation.h"
#include "platform/media/SJPlayerGestureController.h"
#include "platform/media/SJPromptingPopupController.h"
#include "platform/media/SJRotationManager.h"
#include "platform/media/SJTextPopupController.h"
#include "platform/media/SJVideoPlayerPresentView.h"
#include "platform/media/SJVideoPlayerURLAsset.h"

#include <functional>
#include <memory>

class Timer;
class UIView;

// The playback core of the player framework: one asset at a time, played by an engine
// (SJMediaPlaybackController) into the player's view, with the intent (play, pause, rate) kept
// here and what happens reported to the playback observer's blocks on the main queue.
//
//  - Setting an asset stops the previous one and opens the new one; it plays at once when
//    autoplayWhenSetNewAsset is on (the default).
//  - timeControlStatus: paused when nothing should play (no asset, paused, failed, at the end);
//    waiting while the asset opens (SJWaitingWithNoAssetToPlayReason) or while the engine's
//    buffer is dry or a seek is under way (SJWaitingToMinimizeStallsReason); else playing.
//  - The rate stays within 0.5 to 2.0.
//  - Header fields of the asset that could split a request (CR, LF, NUL, a name that is no HTTP
//    token) are dropped before the engine sees them.
//  - The asset's history record gets the position on the events SJPlaybackRecordSaveHandler
//    names.
//
// The engine is made with the first asset: libmpv, or what setPlaybackControllerFactory() gave
// (screen tests give the scripted engine). Main thread only.
class SJBaseVideoPlayer {
public:
    using PlaybackControllerFactory = std::function<std::shared_ptr<SJMediaPlaybackController>()>;
    using CanPlayAnAsset = std::function<bool(SJBaseVideoPlayer& player)>;
    using SeekCompletion = std::function<void(bool finished)>;

    static constexpr double minimumRate = 0.5;
    static constexpr double maximumRate = 2.0;
    // How often the current-time block runs while the time moves.
    static constexpr double periodicTimeInterval = 0.5;

    // The engine of players made from now on; none puts libmpv back.
    static void setPlaybackControllerFactory(PlaybackControllerFactory factory);
    static std::shared_ptr<SJBaseVideoPlayer> player();

    SJBaseVideoPlayer();
    virtual ~SJBaseVideoPlayer();
    SJBaseVideoPlayer(const SJBaseVideoPlayer&) = delete;
    SJBaseVideoPlayer& operator=(const SJBaseVideoPlayer&) = delete;

    // ---- Views ----
    // The view owners place; the picture, the controls and the prompts are inside it (in the
    // present view, which moves to a window of its own in full screen).
    const std::shared_ptr<UIView>& view() const { return m_view; }
    const std::shared_ptr<SJVideoPlayerPresentView>& presentView() const { return m_presentView; }

    // ---- Asset and playback ----
    const std::shared_ptr<SJVideoPlayerURLAsset>& URLAsset() const { return m_asset; }
    void setURLAsset(std::shared_ptr<SJVideoPlayerURLAsset> asset);

    void play();
    void pause();
    // A pause the viewer asked for; autoplay logic of owners leaves such a player paused.
    void pauseForUser();
    // Ends playback and lets the asset go.
    void stop();
    // From the start again (a failed asset is opened anew).
    void replay();
    // Within the duration once it is known; the completion runs on the main queue.
    void seekToTime(double seconds, SeekCompletion completion = {});

    double rate() const { return m_rate; }
    void setRate(double rate);

    double currentTime() const;
    double duration() const;
    SJPlaybackTimeControlStatus timeControlStatus() const;
    SJWaitingReason reasonForWaitingToPlay() const;
    SJAssetStatus assetStatus() const;
    // Why the asset failed (none unless its status is failed).
    SJAssetFailure assetFailure() const;
    bool isPaused() const { return timeControlStatus() == SJPlaybackTimeControlStatus::paused; }
    bool isUserPaused() const { return m_userPaused; }
    // Whether the current asset has been playing at some point.
    bool isPlayed() const { return m_played; }
    bool isPlaybackFinished() const { return m_finished; }

    SJPlaybackObservation& playbackObserver() { return m_observation; }

    // ---- Settings ----
    bool pausedInBackground() const { return m_pausedInBackground; }
    void setPausedInBackground(bool paused) { m_pausedInBackground = paused; }
    bool autoplayWhenSetNewAsset() const { return m_autoplayWhenSetNewAsset; }
    void setAutoplayWhenSetNewAsset(bool autoplay) { m_autoplayWhenSetNewAsset = autoplay; }
    // Kept for owners that scroll players in lists; this player is never scrolled away itself.
    bool resumePlaybackWhenScrollAppeared() const { return m_resumeWhenScrollAppeared; }
    void setResumePlaybackWhenScrollAppeared(bool resume) { m_resumeWhenScrollAppeared = resume; }
    // Whether a player that the background paused plays again in the foreground.
    bool resumePlaybackWhenAppDidEnterForeground() const { return m_resumeInForeground; }
    void setResumePlaybackWhenAppDidEnterForeground(bool resume) { m_resumeInForeground = resume; }
    double rateWhenLongPressGestureTriggered() const { return m_longPressRate; }
    void setRateWhenLongPressGestureTriggered(double rate);
    AVLayerVideoGravity videoGravity() const { return m_presentView->videoGravity(); }
    void setVideoGravity(AVLayerVideoGravity gravity) { m_presentView->setVideoGravity(gravity); }
    // Asked before playing; a player whose block answers false does not play.
    const CanPlayAnAsset& canPlayAnAsset() const { return m_canPlayAnAsset; }
    void setCanPlayAnAsset(CanPlayAnAsset block) { m_canPlayAnAsset = std::move(block); }
    // The simulated device has no second screen: never active.
    bool isExternalPlaybackActive() const { return false; }
    // Seconds after the asset is ready until the present view's placeholder image goes.
    double delayInSecondsForHiddenPlaceholderImageView() const { return m_placeholderDelay; }
    void setDelayInSecondsForHiddenPlaceholderImageView(double seconds) { m_placeholderDelay = seconds; }

    // ---- Parts ----
    SJPlayerGestureController& gestureController() { return m_gestures; }
    SJRotationManager& rotationManager() { return *m_rotationManager; }
    SJRotationObserver& rotationObserver() { return m_rotationObserver; }
    bool isFullscreen() const { return m_rotationManager->isFullscreen(); }
    SJDeviceVolumeAndBrightnessController& deviceVolumeAndBrightnessController()
    {
        return SJDeviceVolumeAndBrightnessController::shared();
    }
    SJPromptingPopupController& promptingPopupController() { return *m_prompting; }
    SJTextPopupController& textPopupController() { return *m_textPopup; }
    // The engine in use; none before the first asset.
    const std::shared_ptr<SJMediaPlaybackController>& playbackController() const { return m_engine; }

    // ---- The owning screen's appearance ----
    void vc_viewDidAppear();
    void vc_viewWillDisappear();
    // Pauses a playing player; vc_viewDidAppear lets it play on.
    void vc_viewDidDisappear();

protected:
    // For the full player: reactions after the observer blocks ran.
    virtual void assetStatusDidChange() { }
    virtual void playbackStatusDidChange() { }
    virtual void playbackDidFinish() { }
    virtual void currentTimeDidChange() { }
    virtual void rotationTransitionDidChange(bool /*isTransitioning*/) { }
    // A single tap that no handler took.
    virtual void singleTapped() { }

    // Runs `action` later with this player if it still exists.
    std::function<void()> guarded(std::function<void(SJBaseVideoPlayer&)> action);
    // Points at this player while it exists.
    std::weak_ptr<SJBaseVideoPlayer*> weakToken() const { return m_self; }

private:
    void prepareEngine();
    void engineDidChange();
    void updateStatuses();
    void setFinished();
    void saveRecord(SJPlaybackRecordSaveEvent event);
    void updateTimeTicks();
    void tick();
    void installGestures();
    void longPressChanged(bool pressing);
    void applicationDidEnterBackground();
    void applicationWillEnterForeground();

    std::shared_ptr<UIView> m_view;
    std::shared_ptr<SJVideoPlayerPresentView> m_presentView;
    std::unique_ptr<SJRotationManager> m_rotationManager;
    std::unique_ptr<SJPromptingPopupController> m_prompting;
    std::unique_ptr<SJTextPopupController> m_textPopup;
    SJRotationObserver m_rotationObserver;
    SJPlayerGestureController m_gestures;
    SJPlaybackObservation m_observation;

    std::shared_ptr<SJMediaPlaybackController> m_engine;
    std::shared_ptr<SJVideoPlayerURLAsset> m_asset;
    std::uint64_t m_assetGeneration = 0;

    bool m_wantsPlay = false;
    bool m_userPaused = false;
    bool m_played = false;
    bool m_finished = false;
    bool m_pausedByBackground = false;
    bool m_pausedByDisappearing = false;
    double m_rate = 1;
    std::optional<double> m_rateBeforeLongPress;

    bool m_pausedInBackground = false;
    bool m_autoplayWhenSetNewAsset = true;
    bool m_resumeWhenScrollAppeared = true;
    bool m_resumeInForeground = true;
    double m_longPressRate = 2.0;
    double m_placeholderDelay = 0.8;
    CanPlayAnAsset m_canPlayAnAsset;

    // What the observers were last told.
    SJAssetStatus m_reportedAssetStatus = SJAssetStatus::unknown;
    SJPlaybackTimeControlStatus m_reportedTimeControl = SJPlaybackTimeControlStatus::paused;
    SJWaitingReason m_reportedReason;
    double m_reportedTime = -1;
    std::shared_ptr<Timer> m_tickTimer;

    // Closures handed out (engine, gestures, timers, notifications) hold this weakly.
    std::shared_ptr<SJBaseVideoPlayer*> m_self;
};
