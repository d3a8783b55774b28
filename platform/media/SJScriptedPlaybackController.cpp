#include "platform/media/SJScriptedPlaybackController.h"

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/NoDestructor.h"

#include <algorithm>
#include <map>

namespace {

std::map<std::string, SJScriptedMedia>& scripts()
{
    static NoDestructor<std::map<std::string, SJScriptedMedia>> map;
    return *map;
}

bool isRemoteAddress(const std::string& url)
{
    return url.starts_with("http://") || url.starts_with("https://");
}

}

void SJScriptedPlaybackController::script(const std::string& url, SJScriptedMedia media)
{
    scripts()[url] = std::move(media);
}

void SJScriptedPlaybackController::clearScripts()
{
    scripts().clear();
}

std::shared_ptr<SJScriptedPlaybackController> SJScriptedPlaybackController::make()
{
    return std::make_shared<SJScriptedPlaybackController>(Passkey());
}

SJScriptedPlaybackController::SJScriptedPlaybackController(Passkey) { }

void SJScriptedPlaybackController::after(double seconds, void (SJScriptedPlaybackController::*step)())
{
    DispatchQueue::main().asyncAfter(DispatchTime::now() + std::max(0.0, seconds),
        [weak = weak_from_this(), generation = m_loadGeneration, step] {
            auto self = weak.lock();
            if (self && self->m_loadGeneration == generation)
                ((*self).*step)();
        });
}

void SJScriptedPlaybackController::load(const SJMediaPlaybackRequest& request, bool paused)
{
    unload();
    m_request = request;
    auto script = scripts().find(request.URL);
    m_media = script != scripts().end() ? script->second : SJScriptedMedia();
    if (!isRemoteAddress(request.URL))
        m_media.failsToOpen = true;
    m_stallsDone.assign(m_media.stalls.size(), false);
    m_status = SJAssetStatus::preparing;
    m_paused = paused;
    after(m_media.openingTime, &SJScriptedPlaybackController::open);
}

void SJScriptedPlaybackController::open()
{
    if (m_media.redirectsToHTTP) {
        m_status = SJAssetStatus::failed;
        m_failure = SJAssetFailure::insecureRedirect;
        m_error = "a redirect from https to http is refused";
        return notifyChange();
    }
    if (m_media.failsToOpen) {
        m_status = SJAssetStatus::failed;
        m_failure = SJAssetFailure::unplayable;
        m_error = "the scripted asset does not open";
        return notifyChange();
    }
    m_status = SJAssetStatus::readyToPlay;
    m_position = 0;
    m_origin = Clock::now();
    deliverFrame(UIImage::filled(UIColor(0.12, 0.14, 0.22, 1), m_media.videoSize));
    if (m_deferredSeek) {
        double target = *m_deferredSeek;
        m_deferredSeek.reset();
        seek(target, std::move(m_deferredCompletion));
    }
    schedule();
    notifyChange();
}

void SJScriptedPlaybackController::unload()
{
    ++m_loadGeneration;
    ++m_moveGeneration;
    if (auto completion = std::move(m_deferredCompletion))
        DispatchQueue::main().async([completion] { completion(false); });
    m_deferredCompletion = nullptr;
    m_deferredSeek.reset();
    m_status = SJAssetStatus::unknown;
    m_error.clear();
    m_failure = SJAssetFailure::none;
    m_stalled = false;
    m_finished = false;
    m_position = 0;
}

bool SJScriptedPlaybackController::isMoving() const
{
    return m_status == SJAssetStatus::readyToPlay && !m_paused && !m_stalled && !m_finished;
}

double SJScriptedPlaybackController::nextStop() const
{
    double stop = m_media.duration;
    if (m_media.failsAt && *m_media.failsAt >= m_position)
        stop = std::min(stop, *m_media.failsAt);
    for (size_t i = 0; i < m_media.stalls.size(); ++i) {
        if (!m_stallsDone[i] && m_media.stalls[i].at >= m_position)
            stop = std::min(stop, m_media.stalls[i].at);
    }
    return stop;
}

double SJScriptedPlaybackController::currentTime() const
{
    if (m_status != SJAssetStatus::readyToPlay)
        return 0;
    if (!isMoving())
        return m_position;
    double moved = m_position + (Clock::now() - m_origin) * m_rate;
    return std::clamp(moved, 0.0, nextStop());
}

void SJScriptedPlaybackController::rebase()
{
    m_position = currentTime();
    m_origin = Clock::now();
}

void SJScriptedPlaybackController::schedule()
{
    ++m_moveGeneration;
    if (!isMoving())
        return;
    double stop = nextStop();
    DispatchQueue::main().asyncAfter(DispatchTime::now() + std::max(0.0, (stop - m_position) / m_rate),
        [weak = weak_from_this(), generation = m_moveGeneration, stop] {
            auto self = weak.lock();
            if (self && self->m_moveGeneration == generation)
                self->reachStop(stop);
        });
}

void SJScriptedPlaybackController::reachStop(double stop)
{
    m_position = stop;
    m_origin = Clock::now();
    if (m_media.failsAt && stop >= *m_media.failsAt) {
        ++m_loadGeneration;
        m_status = SJAssetStatus::failed;
        m_failure = SJAssetFailure::unplayable;
        m_error = "the scripted asset fails";
        return notifyChange();
    }
    for (size_t i = 0; i < m_media.stalls.size(); ++i) {
        if (m_stallsDone[i] || m_media.stalls[i].at != stop)
            continue;
        m_stallsDone[i] = true;
        m_stalled = true;
        after(m_media.stalls[i].length, &SJScriptedPlaybackController::endStall);
        return notifyChange();
    }
    if (stop >= m_media.duration) {
        m_finished = true;
        m_paused = true;
        return notifyChange();
    }
    schedule();
}

void SJScriptedPlaybackController::endStall()
{
    m_stalled = false;
    m_origin = Clock::now();
    schedule();
    notifyChange();
}

void SJScriptedPlaybackController::setPaused(bool paused)
{
    if (m_status == SJAssetStatus::readyToPlay)
        rebase();
    m_paused = paused;
    if (m_stalled)
        return; // the stall's own end goes on from there
    schedule();
}

void SJScriptedPlaybackController::setRate(double rate)
{
    if (rate <= 0)
        return;
    if (m_status == SJAssetStatus::readyToPlay)
        rebase();
    m_rate = rate;
    if (!m_stalled)
        schedule();
}

void SJScriptedPlaybackController::seek(double seconds, SeekCompletion completion)
{
    if (m_status == SJAssetStatus::preparing) {
        if (auto earlier = std::move(m_deferredCompletion))
            DispatchQueue::main().async([earlier] { earlier(false); });
        m_deferredSeek = seconds;
        m_deferredCompletion = std::move(completion);
        return;
    }
    bool ready = m_status == SJAssetStatus::readyToPlay;
    if (ready) {
        m_position = std::clamp(seconds, 0.0, m_media.duration);
        m_origin = Clock::now();
        m_finished = m_position >= m_media.duration;
        if (!m_stalled)
            schedule();
    }
    if (completion)
        DispatchQueue::main().async([completion = std::move(completion), ready] { completion(ready); });
}
