#include "platform/media/SJBaseVideoPlayer.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/Timer.h"
#include "platform/foundation/NoDestructor.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/MPVLibrary.h"
#include "platform/media/SJMPVPlaybackController.h"
#include "platform/media/SJPlayerViews.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/gestures/UILongPressGestureRecognizer.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"

#include <algorithm>
#include <cmath>

namespace {

SJBaseVideoPlayer::PlaybackControllerFactory& engineFactory()
{
    static NoDestructor<SJBaseVideoPlayer::PlaybackControllerFactory> factory;
    return *factory;
}

double clampRate(double rate)
{
    if (!std::isfinite(rate))
        return 1;
    return std::clamp(rate, SJBaseVideoPlayer::minimumRate, SJBaseVideoPlayer::maximumRate);
}

}

void SJBaseVideoPlayer::setPlaybackControllerFactory(PlaybackControllerFactory factory)
{
    engineFactory() = std::move(factory);
}

std::shared_ptr<SJBaseVideoPlayer> SJBaseVideoPlayer::player()
{
    return std::make_shared<SJBaseVideoPlayer>();
}

SJBaseVideoPlayer::SJBaseVideoPlayer()
    : m_view(std::make_shared<SJFillingView>())
    , m_presentView(std::make_shared<SJVideoPlayerPresentView>())
    , m_rotationManager(std::make_unique<SJRotationManager>())
    , m_prompting(std::make_unique<SJPromptingPopupController>())
    , m_textPopup(std::make_unique<SJTextPopupController>())
    , m_self(std::make_shared<SJBaseVideoPlayer*>(this))
{
    m_view->setBackgroundColor(UIColor::black());
    m_view->addSubview(m_presentView);
    m_presentView->addSubview(m_prompting->areaView());
    m_presentView->addSubview(m_textPopup->areaView());

    m_rotationManager->setViews(m_presentView, m_view);
    std::weak_ptr<SJBaseVideoPlayer*> weak = m_self;
    m_rotationManager->setTransitionHandler([weak](SJRotationManager& manager, bool isTransitioning) {
        auto self = weak.lock();
        if (!self)
            return;
        SJBaseVideoPlayer& player = **self;
        player.rotationTransitionDidChange(isTransitioning);
        if (!weak.lock())
            return;
        if (auto block = player.m_rotationObserver.onTransitioningChanged)
            block(manager, isTransitioning);
    });
    installGestures();
    // A player is made a moment before it plays (its page asks the server first): the engine's
    // libraries load meanwhile.
    if (!engineFactory())
        MPVLibrary::loadInBackground();

    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(UIApplicationNotification::DidEnterBackground,
        [run = guarded([](SJBaseVideoPlayer& player) { player.applicationDidEnterBackground(); })](
            const Notification&) { run(); },
        this);
    center.addObserver(UIApplicationNotification::WillEnterForeground,
        [run = guarded([](SJBaseVideoPlayer& player) { player.applicationWillEnterForeground(); })](
            const Notification&) { run(); },
        this);
    center.addObserver(UIApplicationNotification::WillTerminate,
        [run = guarded([](SJBaseVideoPlayer& player) { player.saveRecord(SJPlaybackRecordSaveEventTerminate); })](
            const Notification&) { run(); },
        this);
}

SJBaseVideoPlayer::~SJBaseVideoPlayer()
{
    saveRecord(SJPlaybackRecordSaveEventPlayerRelease);
    NotificationCenter::defaultCenter().removeObservers(this);
    if (m_tickTimer)
        m_tickTimer->invalidate();
    if (m_engine) {
        m_engine->setChangeHandler(nullptr);
        m_engine->setFrameHandler(nullptr);
    }
    m_self.reset();
}

std::function<void()> SJBaseVideoPlayer::guarded(std::function<void(SJBaseVideoPlayer&)> action)
{
    return [weak = std::weak_ptr<SJBaseVideoPlayer*>(m_self), action = std::move(action)] {
        if (auto self = weak.lock())
            action(**self);
    };
}

// ---- Asset ----

void SJBaseVideoPlayer::prepareEngine()
{
    if (m_engine)
        return;
    m_engine = engineFactory() ? engineFactory()() : SJMPVPlaybackController::make();
    if (!m_engine)
        return;
    m_engine->setChangeHandler(guarded([](SJBaseVideoPlayer& player) { player.engineDidChange(); }));
    std::weak_ptr<SJBaseVideoPlayer*> weak = m_self;
    m_engine->setFrameHandler([weak](const UIImage& frame) {
        if (auto self = weak.lock())
            (*self)->m_presentView->setFrameImage(frame);
    });
}

void SJBaseVideoPlayer::setURLAsset(std::shared_ptr<SJVideoPlayerURLAsset> asset)
{
    saveRecord(SJPlaybackRecordSaveEventAssetChange);
    std::uint64_t generation = ++m_assetGeneration;
    m_asset = std::move(asset);
    m_wantsPlay = false;
    m_userPaused = false;
    m_played = false;
    m_finished = false;
    m_pausedByBackground = false;
    m_pausedByDisappearing = false;
    m_reportedTime = -1;
    m_presentView->setFrameImage(std::nullopt);

    if (!m_asset) {
        if (m_engine)
            m_engine->unload();
        updateStatuses();
        return;
    }
    prepareEngine();
    if (m_engine) {
        m_engine->setRate(m_rate);
        m_engine->load({ m_asset->URL(), safeHeaderFields(m_asset->httpHeaderFields()) }, true);
    }
    auto alive = std::weak_ptr<SJBaseVideoPlayer*>(m_self);
    updateStatuses();
    if (alive.lock() && generation == m_assetGeneration && m_autoplayWhenSetNewAsset)
        play();
}

SJAssetStatus SJBaseVideoPlayer::assetStatus() const
{
    if (!m_asset)
        return SJAssetStatus::unknown;
    // Without an engine nothing can play.
    return m_engine ? m_engine->assetStatus() : SJAssetStatus::failed;
}

SJAssetFailure SJBaseVideoPlayer::assetFailure() const
{
    if (assetStatus() != SJAssetStatus::failed)
        return SJAssetFailure::none;
    return m_engine ? m_engine->failure() : SJAssetFailure::unplayable;
}

double SJBaseVideoPlayer::currentTime() const
{
    return m_asset && m_engine ? m_engine->currentTime() : 0;
}

double SJBaseVideoPlayer::duration() const
{
    return m_asset && m_engine ? m_engine->duration() : 0;
}

SJPlaybackTimeControlStatus SJBaseVideoPlayer::timeControlStatus() const
{
    if (!m_asset || !m_wantsPlay || m_finished)
        return SJPlaybackTimeControlStatus::paused;
    switch (assetStatus()) {
    case SJAssetStatus::unknown:
    case SJAssetStatus::failed:
        return SJPlaybackTimeControlStatus::paused;
    case SJAssetStatus::preparing:
        return SJPlaybackTimeControlStatus::waitingToPlayAtSpecifiedRate;
    case SJAssetStatus::readyToPlay:
        break;
    }
    return m_engine->isStalled() ? SJPlaybackTimeControlStatus::waitingToPlayAtSpecifiedRate
                                 : SJPlaybackTimeControlStatus::playing;
}

SJWaitingReason SJBaseVideoPlayer::reasonForWaitingToPlay() const
{
    if (timeControlStatus() != SJPlaybackTimeControlStatus::waitingToPlayAtSpecifiedRate)
        return {};
    return assetStatus() == SJAssetStatus::preparing ? SJWaitingWithNoAssetToPlayReason
                                                      : SJWaitingToMinimizeStallsReason;
}

// ---- Playback ----

void SJBaseVideoPlayer::play()
{
    if (!m_asset || !m_engine || assetStatus() == SJAssetStatus::failed)
        return;
    if (m_canPlayAnAsset && !m_canPlayAnAsset(*this))
        return;
    m_userPaused = false;
    m_pausedByBackground = false;
    m_pausedByDisappearing = false;
    if (m_finished)
        return replay();
    m_wantsPlay = true;
    m_engine->setRate(m_rate);
    m_engine->setPaused(false);
    updateStatuses();
}

void SJBaseVideoPlayer::pause()
{
    bool wasPlaying = m_wantsPlay;
    m_wantsPlay = false;
    if (m_engine)
        m_engine->setPaused(true);
    if (wasPlaying)
        saveRecord(SJPlaybackRecordSaveEventPause);
    updateStatuses();
}

void SJBaseVideoPlayer::pauseForUser()
{
    m_userPaused = true;
    pause();
}

void SJBaseVideoPlayer::stop()
{
    setURLAsset(nullptr);
}

void SJBaseVideoPlayer::replay()
{
    if (!m_asset || !m_engine)
        return;
    if (assetStatus() == SJAssetStatus::failed) {
        auto asset = m_asset;
        bool autoplay = m_autoplayWhenSetNewAsset;
        m_autoplayWhenSetNewAsset = true;
        setURLAsset(asset);
        m_autoplayWhenSetNewAsset = autoplay;
        return;
    }
    m_finished = false;
    m_reportedTime = -1;
    seekToTime(0);
    play();
}

void SJBaseVideoPlayer::seekToTime(double seconds, SeekCompletion completion)
{
    SJAssetStatus status = assetStatus();
    if (!m_engine || status == SJAssetStatus::unknown || status == SJAssetStatus::failed) {
        if (completion)
            DispatchQueue::main().async([completion = std::move(completion)] { completion(false); });
        return;
    }
    double target = std::isfinite(seconds) ? std::max(0.0, seconds) : 0;
    if (duration() > 0)
        target = std::min(target, duration());
    if (m_finished && target < duration())
        m_finished = false;
    std::uint64_t generation = m_assetGeneration;
    std::weak_ptr<SJBaseVideoPlayer*> weak = m_self;
    m_engine->seek(target, [weak, generation, completion = std::move(completion)](bool finished) {
        auto self = weak.lock();
        if (self && (*self)->m_assetGeneration == generation) {
            (*self)->updateStatuses();
            if (weak.lock() && (*self)->m_assetGeneration == generation)
                (*self)->tick();
        }
        if (completion)
            completion(finished);
    });
    updateStatuses();
}

void SJBaseVideoPlayer::setRate(double rate)
{
    m_rate = clampRate(rate);
    if (m_engine)
        m_engine->setRate(m_rate);
}

void SJBaseVideoPlayer::setRateWhenLongPressGestureTriggered(double rate)
{
    m_longPressRate = clampRate(rate);
}

// ---- What the engine reports ----

void SJBaseVideoPlayer::engineDidChange()
{
    if (!m_asset)
        return;
    if (m_engine->isFinished() && !m_finished && assetStatus() == SJAssetStatus::readyToPlay)
        return setFinished();
    updateStatuses();
}

void SJBaseVideoPlayer::setFinished()
{
    m_finished = true;
    m_wantsPlay = false;
    m_engine->setPaused(true);
    saveRecord(SJPlaybackRecordSaveEventFinish);
    std::uint64_t generation = m_assetGeneration;
    std::weak_ptr<SJBaseVideoPlayer*> alive = m_self;
    auto current = [&] { return alive.lock() && m_assetGeneration == generation; };
    updateStatuses();
    if (!current())
        return;
    tick();
    if (!current())
        return;
    playbackDidFinish();
    if (!current())
        return;
    if (auto block = m_observation.playbackDidFinishExeBlock)
        block(*this);
}

void SJBaseVideoPlayer::updateStatuses()
{
    std::uint64_t generation = m_assetGeneration;
    std::weak_ptr<SJBaseVideoPlayer*> alive = m_self;
    // A block may set another asset or let the player go; what it did then stands.
    auto current = [&] { return alive.lock() && m_assetGeneration == generation; };

    SJAssetStatus status = assetStatus();
    if (status != m_reportedAssetStatus) {
        m_reportedAssetStatus = status;
        if (status == SJAssetStatus::readyToPlay) {
            if (m_placeholderDelay <= 0)
                m_presentView->hidePlaceholderImageViewAnimated(false);
            else
                DispatchQueue::main().asyncAfter(DispatchTime::now() + m_placeholderDelay,
                    guarded([generation](SJBaseVideoPlayer& player) {
                        if (player.m_assetGeneration == generation)
                            player.m_presentView->hidePlaceholderImageViewAnimated(true);
                    }));
        }
        assetStatusDidChange();
        if (!current())
            return;
        if (auto block = m_observation.assetStatusDidChangeExeBlock)
            block(*this);
        if (!current())
            return;
    }

    SJPlaybackTimeControlStatus timeControl = timeControlStatus();
    SJWaitingReason reason = reasonForWaitingToPlay();
    if (timeControl == m_reportedTimeControl && reason == m_reportedReason)
        return;
    bool wasPlaying = m_reportedTimeControl == SJPlaybackTimeControlStatus::playing;
    m_reportedTimeControl = timeControl;
    m_reportedReason = reason;
    if (timeControl == SJPlaybackTimeControlStatus::playing)
        m_played = true;
    updateTimeTicks();
    if (wasPlaying)
        tick(); // where the time stopped
    if (!current())
        return;
    playbackStatusDidChange();
    if (!current())
        return;
    if (auto block = m_observation.playbackStatusDidChangeExeBlock)
        block(*this);
}

void SJBaseVideoPlayer::updateTimeTicks()
{
    bool moving = m_reportedTimeControl == SJPlaybackTimeControlStatus::playing;
    if (moving && !m_tickTimer) {
        std::weak_ptr<SJBaseVideoPlayer*> weak = m_self;
        m_tickTimer = Timer::scheduledTimer(periodicTimeInterval, true, [weak](Timer& timer) {
            auto self = weak.lock();
            if (!self)
                return timer.invalidate();
            (*self)->tick();
        });
    } else if (!moving && m_tickTimer) {
        m_tickTimer->invalidate();
        m_tickTimer.reset();
    }
}

void SJBaseVideoPlayer::tick()
{
    if (!m_asset || m_reportedAssetStatus != SJAssetStatus::readyToPlay)
        return;
    double time = currentTime();
    if (time == m_reportedTime)
        return;
    m_reportedTime = time;
    std::uint64_t generation = m_assetGeneration;
    std::weak_ptr<SJBaseVideoPlayer*> alive = m_self;
    currentTimeDidChange();
    if (!alive.lock() || m_assetGeneration != generation)
        return;
    if (auto block = m_observation.currentTimeDidChangeExeBlock)
        block(*this);
}

void SJBaseVideoPlayer::saveRecord(SJPlaybackRecordSaveEvent event)
{
    if (!m_asset || !m_asset->record())
        return;
    // A position is only known once the asset is open; an earlier event would overwrite the
    // stored one with 0.
    if (event == SJPlaybackRecordSaveEventFinish)
        return SJPlaybackRecordSaveHandler::shared().handle(event, *m_asset->record(), 0);
    if (assetStatus() != SJAssetStatus::readyToPlay)
        return;
    SJPlaybackRecordSaveHandler::shared().handle(event, *m_asset->record(), currentTime());
}

// ---- Gestures ----

void SJBaseVideoPlayer::installGestures()
{
    std::weak_ptr<SJBaseVideoPlayer*> weak = m_self;
    auto tap = std::make_shared<UITapGestureRecognizer>([weak](UIGestureRecognizer& recognizer) {
        auto self = weak.lock();
        if (!self || recognizer.state() != UIGestureRecognizerState::ended)
            return;
        SJBaseVideoPlayer& player = **self;
        if (!player.m_gestures.supports(SJPlayerGestureTypeMask_SingleTap))
            return;
        if (auto handler = player.m_gestures.singleTapHandler)
            return handler(player, recognizer.location(player.m_presentView.get()));
        player.singleTapped();
    });
    auto press = std::make_shared<UILongPressGestureRecognizer>([weak](UIGestureRecognizer& recognizer) {
        auto self = weak.lock();
        if (!self)
            return;
        switch (recognizer.state()) {
        case UIGestureRecognizerState::began:
            (*self)->longPressChanged(true);
            break;
        case UIGestureRecognizerState::ended:
        case UIGestureRecognizerState::cancelled:
            (*self)->longPressChanged(false);
            break;
        default:
            break;
        }
    });
    m_presentView->addGestureRecognizer(tap);
    m_presentView->addGestureRecognizer(press);
}

void SJBaseVideoPlayer::longPressChanged(bool pressing)
{
    if (pressing) {
        if (!m_gestures.supports(SJPlayerGestureTypeMask_LongPress) || m_rateBeforeLongPress)
            return;
        m_rateBeforeLongPress = m_rate;
        setRate(m_longPressRate);
        return;
    }
    if (!m_rateBeforeLongPress)
        return;
    double rate = *m_rateBeforeLongPress;
    m_rateBeforeLongPress.reset();
    setRate(rate);
}

// ---- Application and screen ----

void SJBaseVideoPlayer::applicationDidEnterBackground()
{
    saveRecord(SJPlaybackRecordSaveEventBackground);
    if (!m_pausedInBackground || !m_wantsPlay)
        return;
    pause();
    m_pausedByBackground = true;
}

void SJBaseVideoPlayer::applicationWillEnterForeground()
{
    bool resume = m_pausedByBackground && m_resumeInForeground && !m_userPaused;
    m_pausedByBackground = false;
    if (resume)
        play();
}

void SJBaseVideoPlayer::vc_viewDidAppear()
{
    bool resume = m_pausedByDisappearing && !m_userPaused;
    m_pausedByDisappearing = false;
    if (resume)
        play();
}

void SJBaseVideoPlayer::vc_viewWillDisappear()
{
    saveRecord(SJPlaybackRecordSaveEventViewDisappear);
}

void SJBaseVideoPlayer::vc_viewDidDisappear()
{
    if (!m_wantsPlay)
        return;
    pause();
    m_pausedByDisappearing = true;
}
