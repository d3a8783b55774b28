#include "platform/media/SJMPVPlaybackController.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/MPVLibrary.h"
#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/net/HTTPClient.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Reached only through a controller, and a controller exists only once libmpv is loaded.
const MPVLibrary& api()
{
    return *MPVLibrary::get();
}

// Bounds on what one asset may take: waits on the network, memory read ahead, frame size.
constexpr const char* networkTimeoutSeconds = "30";
constexpr double redirectCheckSeconds = 30;
// A server that ignores the range of the check still sends no more than this before it stops.
constexpr std::size_t redirectCheckMaxBytes = 64 * 1024;
constexpr const char* demuxerMaxBytes = "32MiB";
constexpr const char* demuxerMaxBackBytes = "8MiB";
constexpr int64_t maxFrameWidth = 1280;
constexpr int64_t maxFrameHeight = 720;
// libmpv's volume that neither reduces nor amplifies.
constexpr double fullVolume = 100;

enum Property : std::uint64_t {
    pauseProperty = 1,
    pausedForCacheProperty,
    coreIdleProperty,
    eofReachedProperty,
    timePosProperty,
    durationProperty,
};

std::mutex& caFileMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::string& caFileSetting()
{
    static std::string path;
    return path;
}

std::atomic<bool> g_soundEnabled { false };
// Set once an output failed to open: players made or loading from then on stay silent, so that
// the process tries the system's audio output once rather than with every episode.
std::atomic<bool> g_soundUnavailable { false };

std::string trustedCAFile()
{
    {
        std::lock_guard lock(caFileMutex());
        if (!caFileSetting().empty())
            return caFileSetting();
    }
    return Bundle::main().infoString(InfoKey::TrustedCAFile).value_or("");
}

bool isNetworkAddress(const std::string& url)
{
    auto startsWithIgnoringCase = [&](std::string_view prefix) {
        return url.size() >= prefix.size()
            && std::equal(prefix.begin(), prefix.end(), url.begin(),
                [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    };
    return startsWithIgnoringCase("http://") || startsWithIgnoringCase("https://");
}

bool isSecureAddress(const std::string& url)
{
    constexpr std::string_view scheme = "https://";
    return url.size() >= scheme.size()
        && std::equal(scheme.begin(), scheme.end(), url.begin(),
            [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// An mpv list of strings, set as a node so that no comma or quote in a value is read as syntax.
int setStringList(mpv_handle* mpv, const char* name, const std::vector<std::string>& items)
{
    std::vector<mpv_node> values(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        values[i].format = MPV_FORMAT_STRING;
        values[i].u.string = const_cast<char*>(items[i].c_str());
    }
    mpv_node_list list {};
    list.num = static_cast<int>(values.size());
    list.values = values.data();
    mpv_node node {};
    node.format = MPV_FORMAT_NODE_ARRAY;
    node.u.list = &list;
    return api().set_property(mpv, name, MPV_FORMAT_NODE, &node);
}

int setStringMap(mpv_handle* mpv, const char* name, const std::vector<std::pair<std::string, std::string>>& items)
{
    std::vector<mpv_node> values(items.size());
    std::vector<char*> keys(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        keys[i] = const_cast<char*>(items[i].first.c_str());
        values[i].format = MPV_FORMAT_STRING;
        values[i].u.string = const_cast<char*>(items[i].second.c_str());
    }
    mpv_node_list list {};
    list.num = static_cast<int>(values.size());
    list.values = values.data();
    list.keys = keys.data();
    mpv_node node {};
    node.format = MPV_FORMAT_NODE_MAP;
    node.u.list = &list;
    return api().set_property(mpv, name, MPV_FORMAT_NODE, &node);
}

bool readFlag(mpv_handle* mpv, const char* name, bool fallback)
{
    int flag = 0;
    return api().get_property(mpv, name, MPV_FORMAT_FLAG, &flag) >= 0 ? flag != 0 : fallback;
}

double readDouble(mpv_handle* mpv, const char* name)
{
    double value = 0;
    if (api().get_property(mpv, name, MPV_FORMAT_DOUBLE, &value) < 0 || !std::isfinite(value))
        return 0;
    return std::max(0.0, value);
}

}

// What libmpv's threads reach: they post to the main queue, coalesced, and never touch the
// controller itself. Outlives the libmpv core (freed after it).
struct SJMPVPlaybackController::Callbacks {
    std::weak_ptr<SJMPVPlaybackController> owner;
    std::atomic<bool> eventsPosted { false };
    std::atomic<bool> framePosted { false };

    static void wakeup(void* context)
    {
        auto* self = static_cast<Callbacks*>(context);
        if (self->eventsPosted.exchange(true))
            return;
        DispatchQueue::main().async([owner = self->owner] {
            if (auto controller = owner.lock())
                controller->drainEvents();
        });
    }

    static void frameReady(void* context)
    {
        auto* self = static_cast<Callbacks*>(context);
        if (self->framePosted.exchange(true))
            return;
        DispatchQueue::main().async([owner = self->owner] {
            if (auto controller = owner.lock())
                controller->renderFrame();
        });
    }
};

void SJMPVPlaybackController::setSoundEnabled(bool enabled)
{
    g_soundEnabled = enabled;
    // A new choice tries the output afresh.
    g_soundUnavailable = false;
}

bool SJMPVPlaybackController::isSoundUnavailable()
{
    return g_soundUnavailable;
}

double SJMPVPlaybackController::volumeForLevel(double level)
{
    if (!std::isfinite(level))
        return 0;
    return std::clamp(level, 0.0, 1.0) * fullVolume;
}

void SJMPVPlaybackController::setTrustedCAFile(std::string path)
{
    std::lock_guard lock(caFileMutex());
    caFileSetting() = std::move(path);
}

std::shared_ptr<SJMPVPlaybackController> SJMPVPlaybackController::make()
{
    if (!MPVLibrary::get())
        return nullptr;
    auto controller = std::make_shared<SJMPVPlaybackController>(Passkey());
    controller->m_callbacks->owner = controller;
    if (!controller->start())
        return nullptr;
    return controller;
}

SJMPVPlaybackController::SJMPVPlaybackController(Passkey)
    : m_callbacks(std::make_shared<Callbacks>())
{ }

SJMPVPlaybackController::~SJMPVPlaybackController()
{
    NotificationCenter::defaultCenter().removeObservers(this);
    if (m_redirectCheck)
        m_redirectCheck->cancel();
    // The renderer goes before the core, as libmpv requires; both calls wait for libmpv's threads,
    // so no callback runs after them.
    if (m_render) {
        api().render_context_set_update_callback(m_render, nullptr, nullptr);
        api().render_context_free(m_render);
    }
    if (m_mpv) {
        api().set_wakeup_callback(m_mpv, nullptr, nullptr);
        api().terminate_destroy(m_mpv);
    }
}

bool SJMPVPlaybackController::start()
{
    m_mpv = api().create();
    if (!m_mpv) {
        Log::write("player: libmpv does not start");
        return false;
    }
    const std::pair<const char*, const char*> options[] = {
        { "vo", "libmpv" },
        { "ao", "null" },
        { "terminal", "no" },
        { "config", "no" },
        { "ytdl", "no" },
        { "load-scripts", "no" },
        { "load-stats-overlay", "no" },
        { "load-osd-console", "no" },
        { "load-auto-profiles", "no" },
        { "input-default-bindings", "no" },
        { "resume-playback", "no" },
        { "osd-level", "0" },
        { "sub-auto", "no" },
        { "audio-file-auto", "no" },
        { "hwdec", "no" },
        { "vd-lavc-threads", "2" },
        { "idle", "yes" },
        // The last frame stays and the player pauses at the end, so that it can replay.
        { "keep-open", "yes" },
        { "pause", "yes" },
        { "network-timeout", networkTimeoutSeconds },
        { "demuxer-max-bytes", demuxerMaxBytes },
        { "demuxer-max-back-bytes", demuxerMaxBackBytes },
        { "tls-verify", "yes" },
    };
    m_triesSound = g_soundEnabled && !g_soundUnavailable;
    for (auto [name, value] : options) {
        // To be heard, the system's own outputs are tried in libmpv's order; SDL's and OpenAL's,
        // which only wrap them, are not (SDL's keeps memory of a failed start for good).
        if (m_triesSound && std::string_view(name) == "ao")
            value = "pipewire,pulse,alsa,jack";
        if (int error = api().set_option_string(m_mpv, name, value); error < 0)
            Log::write(std::string("player: libmpv refuses ") + name + ": " + api().error_string(error));
    }
    // Errors of libmpv (a stream that does not open, a segment that fails) go to the log.
    api().request_log_messages(m_mpv, "error");
    if (int error = api().initialize(m_mpv); error < 0) {
        Log::write(std::string("player: libmpv does not initialise: ") + api().error_string(error));
        return false;
    }
    // Playlists may lead FFmpeg only to network addresses and decryption, never to local files.
    setStringMap(m_mpv, "demuxer-lavf-o", { { "protocol_whitelist", "http,https,tls,tcp,crypto,httpproxy" } });
    if (char* agent = api().get_property_string(m_mpv, "user-agent")) {
        m_defaultUserAgent = agent;
        api().free(agent);
    }

    api().observe_property(m_mpv, pauseProperty, "pause", MPV_FORMAT_FLAG);
    api().observe_property(m_mpv, pausedForCacheProperty, "paused-for-cache", MPV_FORMAT_FLAG);
    api().observe_property(m_mpv, coreIdleProperty, "core-idle", MPV_FORMAT_FLAG);
    api().observe_property(m_mpv, eofReachedProperty, "eof-reached", MPV_FORMAT_FLAG);
    api().observe_property(m_mpv, timePosProperty, "time-pos", MPV_FORMAT_DOUBLE);
    api().observe_property(m_mpv, durationProperty, "duration", MPV_FORMAT_DOUBLE);

    char apiType[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {
        { MPV_RENDER_PARAM_API_TYPE, apiType },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    if (int error = api().render_context_create(&m_render, m_mpv, params); error < 0) {
        Log::write(std::string("player: libmpv has no software renderer: ") + api().error_string(error));
        m_render = nullptr;
        return false;
    }
    api().render_context_set_update_callback(m_render, &Callbacks::frameReady, m_callbacks.get());
    api().set_wakeup_callback(m_mpv, &Callbacks::wakeup, m_callbacks.get());
    followDeviceVolume();
    return true;
}

void SJMPVPlaybackController::followDeviceVolume()
{
    auto apply = [](SJMPVPlaybackController& self) {
        double volume = volumeForLevel(SJDeviceVolumeAndBrightnessController::shared().volume());
        if (int error = api().set_property(self.m_mpv, "volume", MPV_FORMAT_DOUBLE, &volume); error < 0)
            Log::write(std::string("player: libmpv refuses the volume: ") + api().error_string(error));
    };
    apply(*this);
    NotificationCenter::defaultCenter().addObserver(
        SJDeviceVolumeDidChangeNotification,
        [owner = m_callbacks->owner, apply](const Notification&) {
            if (auto self = owner.lock())
                apply(*self);
        },
        this);
}

std::optional<double> SJMPVPlaybackController::engineVolume() const
{
    double volume = 0;
    if (api().get_property(m_mpv, "volume", MPV_FORMAT_DOUBLE, &volume) < 0 || !std::isfinite(volume))
        return std::nullopt;
    return volume;
}

void SJMPVPlaybackController::load(const SJMediaPlaybackRequest& request, bool paused)
{
    finishSeek(false);
    cancelRedirectCheck();
    m_deferredSeek.reset();
    m_entryId = -1;
    m_loaded = false;
    m_status = SJAssetStatus::preparing;
    m_error.clear();
    m_failure = SJAssetFailure::none;
    m_time = 0;
    m_duration = 0;
    m_eof = false;
    m_pausedForCache = false;
    m_coreIdle = true;

    if (!isNetworkAddress(request.URL))
        return fail("only http and https addresses are played");
    // No output opened, for this player or another.
    if (m_triesSound && g_soundUnavailable)
        silence();
    setPaused(paused);
    if (!isSecureAddress(request.URL))
        return open(request);
    // The asset before goes now, not once the check is done.
    const char* stop[] = { "stop", nullptr };
    api().command(m_mpv, stop);

    // FFmpeg follows any redirect, from https to plain http too, where the playlist, its keys and
    // its segments would travel in the clear: the redirects of the address are followed here
    // first, by the HTTP client that refuses that one, and the engine opens where they end.
    HTTPRequest check;
    check.url = request.URL;
    for (const auto& field : request.headerFields) {
        if (!headerNameEquals(field.first, "Range"))
            check.headers.push_back(field);
    }
    check.headers.emplace_back("Range", "bytes=0-0");
    check.timeout = redirectCheckSeconds;
    check.emptyBody = EmptyBodyRule::Accept;
    check.maxBodySize = redirectCheckMaxBytes;
    std::uint64_t generation = m_loadGeneration;
    m_redirectCheck = HTTPClient::shared().send(
        std::move(check), [owner = m_callbacks->owner, generation, request](HTTPResponse response) {
            auto self = owner.lock();
            if (!self || self->m_loadGeneration != generation)
                return;
            self->m_redirectCheck.reset();
            self->redirectsChecked(request, response);
        });
}

void SJMPVPlaybackController::cancelRedirectCheck()
{
    ++m_loadGeneration;
    if (auto check = std::exchange(m_redirectCheck, nullptr))
        check->cancel();
}

void SJMPVPlaybackController::redirectsChecked(
    const SJMediaPlaybackRequest& request, const HTTPResponse& response)
{
    if (response.error && response.error->code == HTTPError::Code::InsecureRedirect) {
        Log::write(
            "player: a redirect from https to http is refused: " + request.URL + " -> " + response.url);
        return fail("a redirect from https to http is refused", SJAssetFailure::insecureRedirect);
    }
    // Whatever else went wrong, the engine tries the address itself and reports what it finds;
    // every redirect followed so far stayed on https.
    SJMediaPlaybackRequest opened = request;
    if (isSecureAddress(response.url))
        opened.URL = response.url;
    open(opened);
}

void SJMPVPlaybackController::open(const SJMediaPlaybackRequest& request)
{
    std::string agent = m_defaultUserAgent;
    std::vector<std::string> fields;
    for (const auto& [name, value] : request.headerFields) {
        if (headerNameEquals(name, "User-Agent"))
            agent = value;
        else
            fields.push_back(name + ": " + value);
    }
    api().set_property_string(m_mpv, "user-agent", agent.c_str());
    setStringList(m_mpv, "http-header-fields", fields);
    std::string caFile = trustedCAFile();
    api().set_property_string(m_mpv, "tls-ca-file", caFile.c_str());

    const char* command[] = { "loadfile", request.URL.c_str(), "replace", nullptr };
    mpv_node result {};
    if (int error = api().command_ret(m_mpv, command, &result); error < 0)
        return fail(std::string("the address does not load: ") + api().error_string(error));
    if (result.format == MPV_FORMAT_NODE_MAP) {
        for (int i = 0; i < result.u.list->num; ++i) {
            if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0
                && result.u.list->values[i].format == MPV_FORMAT_INT64)
                m_entryId = result.u.list->values[i].u.int64;
        }
    }
    api().free_node_contents(&result);
}

void SJMPVPlaybackController::unload()
{
    finishSeek(false);
    cancelRedirectCheck();
    m_failure = SJAssetFailure::none;
    m_deferredSeek.reset();
    m_entryId = -1;
    m_loaded = false;
    m_status = SJAssetStatus::unknown;
    m_error.clear();
    m_time = 0;
    m_duration = 0;
    m_eof = false;
    const char* command[] = { "stop", nullptr };
    api().command(m_mpv, command);
}

void SJMPVPlaybackController::setPaused(bool paused)
{
    m_paused = paused;
    int flag = paused ? 1 : 0;
    api().set_property(m_mpv, "pause", MPV_FORMAT_FLAG, &flag);
}

void SJMPVPlaybackController::setRate(double rate)
{
    api().set_property(m_mpv, "speed", MPV_FORMAT_DOUBLE, &rate);
}

void SJMPVPlaybackController::seek(double seconds, SeekCompletion completion)
{
    finishSeek(false);
    m_seekCompletion = std::move(completion);
    if (m_status == SJAssetStatus::failed || m_status == SJAssetStatus::unknown)
        return finishSeek(false);
    if (!m_loaded) {
        m_deferredSeek = seconds;
        return;
    }
    issueSeek(seconds);
}

void SJMPVPlaybackController::issueSeek(double seconds)
{
    std::string target = std::to_string(std::max(0.0, seconds));
    const char* command[] = { "seek", target.c_str(), "absolute", nullptr };
    if (api().command(m_mpv, command) < 0)
        return finishSeek(false);
    m_seekIssued = true;
    m_eof = false;
    m_time = std::max(0.0, seconds);
}

void SJMPVPlaybackController::finishSeek(bool finished)
{
    m_seekIssued = false;
    SeekCompletion completion = std::move(m_seekCompletion);
    m_seekCompletion = nullptr;
    if (completion)
        DispatchQueue::main().async([completion = std::move(completion), finished] { completion(finished); });
}

bool SJMPVPlaybackController::isStalled() const
{
    if (m_status != SJAssetStatus::readyToPlay || m_paused || m_eof)
        return false;
    return m_pausedForCache || m_coreIdle || m_seekIssued;
}

void SJMPVPlaybackController::fail(std::string error, SJAssetFailure failure)
{
    finishSeek(false);
    m_deferredSeek.reset();
    m_status = SJAssetStatus::failed;
    m_failure = failure;
    m_error = std::move(error);
    postChange();
}

void SJMPVPlaybackController::postChange()
{
    DispatchQueue::main().async([owner = m_callbacks->owner] {
        if (auto controller = owner.lock())
            controller->notifyChange();
    });
}

void SJMPVPlaybackController::readPlaybackState()
{
    m_duration = readDouble(m_mpv, "duration");
    m_time = readDouble(m_mpv, "time-pos");
    m_pausedForCache = readFlag(m_mpv, "paused-for-cache", false);
    m_coreIdle = readFlag(m_mpv, "core-idle", true);
    m_eof = readFlag(m_mpv, "eof-reached", false);
}

void SJMPVPlaybackController::drainEvents()
{
    m_callbacks->eventsPosted = false;
    bool changed = false;
    // A bounded batch per turn of the run loop; a wake-up brings the rest.
    for (int i = 0; i < 256; ++i) {
        mpv_event* event = api().wait_event(m_mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        SJAssetStatus status = m_status;
        bool stalled = isStalled();
        bool finished = isFinished();
        double duration = m_duration;
        handleEvent(*event);
        changed = changed || status != m_status || stalled != isStalled() || finished != isFinished()
            || duration != m_duration;
    }
    if (changed)
        notifyChange();
}

void SJMPVPlaybackController::handleEvent(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_FILE_LOADED:
        // Follows the start of the entry it belongs to; a stale one has no current entry.
        if (m_entryId < 0 || m_loaded || m_status != SJAssetStatus::preparing)
            return;
        m_loaded = true;
        m_status = SJAssetStatus::readyToPlay;
        readPlaybackState();
        if (m_deferredSeek) {
            double target = *m_deferredSeek;
            m_deferredSeek.reset();
            issueSeek(target);
        }
        return;
    case MPV_EVENT_END_FILE: {
        auto* end = static_cast<mpv_event_end_file*>(event.data);
        if (end->playlist_entry_id != m_entryId || m_entryId < 0)
            return;
        if (end->reason == MPV_END_FILE_REASON_ERROR)
            fail(std::string("the asset does not play: ") + api().error_string(end->error));
        else if (end->reason == MPV_END_FILE_REASON_EOF)
            m_eof = true;
        return;
    }
    case MPV_EVENT_PLAYBACK_RESTART:
        if (m_loaded && m_seekIssued) {
            m_time = readDouble(m_mpv, "time-pos");
            finishSeek(true);
        }
        return;
    case MPV_EVENT_PROPERTY_CHANGE: {
        // Values of an entry that is not (yet) open are stale; the open reads them afresh.
        if (!m_loaded)
            return;
        auto* property = static_cast<mpv_event_property*>(event.data);
        bool hasFlag = property->format == MPV_FORMAT_FLAG;
        bool hasDouble = property->format == MPV_FORMAT_DOUBLE;
        bool flag = hasFlag && *static_cast<int*>(property->data) != 0;
        double number = hasDouble ? *static_cast<double*>(property->data) : 0;
        if (hasDouble && !std::isfinite(number))
            number = 0;
        switch (event.reply_userdata) {
        case pausedForCacheProperty:
            m_pausedForCache = flag;
            break;
        case coreIdleProperty:
            m_coreIdle = !hasFlag || flag;
            break;
        case eofReachedProperty:
            m_eof = flag;
            break;
        case timePosProperty:
            if (hasDouble && !m_seekIssued)
                m_time = std::max(0.0, number);
            break;
        case durationProperty:
            m_duration = std::max(0.0, number);
            break;
        default:
            break;
        }
        return;
    }
    case MPV_EVENT_LOG_MESSAGE: {
        auto* message = static_cast<mpv_event_log_message*>(event.data);
        std::string text = message->text;
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        if (m_triesSound && !m_soundFailed && audioOutputMessage(message->prefix, text))
            return;
        Log::write(std::string("player: ") + message->prefix + ": " + text);
        return;
    }
    default:
        return;
    }
}

bool SJMPVPlaybackController::audioOutputMessage(std::string_view prefix, const std::string& text)
{
    // Each output driver that libmpv tries says why it does not open ("ao/alsa: ..."); what
    // matters is whether one did, which the player's own line below tells. Once that is known,
    // no output is tried again, and a line of one would be news.
    if (prefix == "ao" || prefix.starts_with("ao/")) {
        if (m_soundFailure.empty())
            m_soundFailure = std::string(prefix) + ": " + text;
        return true;
    }
    if (prefix != "cplayer" || text.find("audio device") == std::string::npos)
        return false;
    m_soundFailed = true;
    if (!g_soundUnavailable.exchange(true)) {
        Log::write("player: no sound output opens (" + (m_soundFailure.empty() ? text : m_soundFailure)
            + "); playing without sound from now on");
    }
    // This asset plays on without its sound; the next one is loaded with the null output.
    return true;
}

void SJMPVPlaybackController::silence()
{
    m_triesSound = false;
    // No audio track is chosen from now on, so no output is opened: the picture keeps its own clock.
    if (int error = api().set_property_string(m_mpv, "aid", "no"); error < 0)
        Log::write(std::string("player: libmpv refuses to play without sound: ") + api().error_string(error));
}

void SJMPVPlaybackController::renderFrame()
{
    m_callbacks->framePosted = false;
    if (!m_render || !(api().render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME))
        return;
    int64_t width = 0;
    int64_t height = 0;
    api().get_property(m_mpv, "dwidth", MPV_FORMAT_INT64, &width);
    api().get_property(m_mpv, "dheight", MPV_FORMAT_INT64, &height);
    if (width <= 0 || height <= 0)
        return;
    // Large videos are drawn smaller, keeping their shape; the view scales them anyway.
    double shrink = std::min({ 1.0, static_cast<double>(maxFrameWidth) / static_cast<double>(width),
        static_cast<double>(maxFrameHeight) / static_cast<double>(height) });
    int size[2] = { std::max(1, static_cast<int>(static_cast<double>(width) * shrink)),
        std::max(1, static_cast<int>(static_cast<double>(height) * shrink)) };

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size[0], size[1]);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    cairo_surface_flush(surface);
    size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(surface));
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    // Cairo's ARGB32 is B, G, R, A in memory on little-endian machines; the fourth byte that
    // libmpv leaves undefined becomes opaque alpha.
    char format[] = "bgr0";
    int block = 0;
    mpv_render_param params[] = {
        { MPV_RENDER_PARAM_SW_SIZE, size },
        { MPV_RENDER_PARAM_SW_FORMAT, format },
        { MPV_RENDER_PARAM_SW_STRIDE, &stride },
        { MPV_RENDER_PARAM_SW_POINTER, pixels },
        { MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    if (api().render_context_render(m_render, params) < 0) {
        cairo_surface_destroy(surface);
        return;
    }
    for (int y = 0; y < size[1]; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(pixels + stride * static_cast<size_t>(y));
        for (int x = 0; x < size[0]; ++x)
            row[x] |= 0xFF000000u;
    }
    cairo_surface_mark_dirty(surface);
    UIImage frame = UIImage::fromSurface(surface);
    cairo_surface_destroy(surface);
    deliverFrame(frame);
}
