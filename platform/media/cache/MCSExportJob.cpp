#include "platform/media/cache/MCSExportJob.h"

#include "platform/foundation/FileSystem.h"
#include "platform/media/cache/MCSTempFile.h"
#include "platform/media/cache/MCSURL.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// AES-128 and SAMPLE-AES keys are 16 bytes; anything else is not a key.
constexpr std::uint64_t keyBytes = 16;

double exportClockSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string numbered(
    const char* prefix, std::size_t index, const std::string& extension, const char* fallback)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%05zu", index);
    return std::string(prefix) + digits + "." + (extension.empty() ? fallback : extension);
}

// A failure to write, with the system's reason when there is one ("No space left on device").
std::string writeFailure(std::string what, const std::string& reason)
{
    return reason.empty() ? what : what + ": " + reason;
}

std::string systemReason(int error)
{
    return error == 0 ? std::string() : std::strerror(error);
}

// Writes a body to a temporary file; refuses any reply but 200.
class FileSink : public MCSFetchSink {
public:
    explicit FileSink(MCSTempFile& file)
        : m_file(file)
    { }

    bool receiveHead(const MCSFetchHead& head) override
    {
        status = head.status;
        return head.status == 200;
    }
    bool receiveData(const std::uint8_t* bytes, std::size_t size) override
    {
        if (!m_file.write(bytes, size)) {
            writeFailed = true;
            return false;
        }
        return true;
    }

    int status = 0;
    bool writeFailed = false;

private:
    MCSTempFile& m_file;
};

// Appends a media file's body to the part already fetched: a 206 from that byte on goes on, a 200
// starts the file over; any other answer is refused.
class ResumingFileSink : public MCSFetchSink {
public:
    using Progress = std::function<void(std::uint64_t have, std::optional<std::uint64_t> total)>;

    ResumingFileSink(int fd, std::uint64_t have, Progress progress)
        : have(have)
        , m_fd(fd)
        , m_progress(std::move(progress))
    { }

    bool receiveHead(const MCSFetchHead& head) override
    {
        status = head.status;
        if (head.status == 206 && head.rangeFirst == have) {
            total = head.totalLength;
        } else if (head.status == 200) {
            if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0) {
                error = errno;
                writeFailed = true;
                return false;
            }
            have = 0;
            total = head.contentLength;
        } else {
            return false;
        }
        m_progress(have, total);
        return true;
    }

    bool receiveData(const std::uint8_t* bytes, std::size_t size) override
    {
        if (!FileSystem::writeAll(m_fd, bytes, size)) {
            error = errno;
            writeFailed = true;
            return false;
        }
        have += size;
        m_progress(have, total);
        return true;
    }

    std::uint64_t have;
    std::optional<std::uint64_t> total;
    int status = 0;
    bool writeFailed = false;
    int error = 0; // errno of the failed write

private:
    int m_fd;
    Progress m_progress;
};

// Answers that a later attempt may not get again: the server was busy, or asked for patience.
bool isPassingStatus(int status)
{
    return status == 408 || status == 429 || (status >= 500 && status <= 599);
}

bool isPassingFailure(const MCSFetchResult& result)
{
    if (result.outcome != MCSFetchResult::Outcome::Failed)
        return false;
    switch (result.code) {
    case HTTPError::Code::CannotFindHost:
    case HTTPError::Code::CannotConnect:
    case HTTPError::Code::TimedOut:
    case HTTPError::Code::ConnectionLost:
        return true;
    default:
        return false;
    }
}

void removeStaleTemporaries(const fs::path& folder)
{
    for (const std::string& name : FileSystem::list(folder)) {
        if (name.find(".part-") != std::string::npos)
            FileSystem::remove(folder / name);
    }
}

}

bool MCSExportFiles::isMediaFile(std::string_view url)
{
    std::string extension = MCSURL::extension(url);
    return extension == "mp4" || extension == "m4v" || extension == "mov";
}

const char* MCSExportFiles::playable(const fs::path& folder)
{
    if (FileSystem::exists(folder / localPlaylist))
        return localPlaylist;
    if (FileSystem::exists(folder / localFile))
        return localFile;
    return nullptr;
}

struct MCSExportJob::Source {
    std::string text;
    std::string baseURL;
    MCSPlaylist playlist;
};

struct MCSExportJob::Resource {
    MCSPlaylistURIKind kind;
    std::string url;
    std::string name;
};

MCSExportJob::MCSExportJob(
    std::string url, fs::path folder, MCSExportSettings settings, Progress progress, Ended ended)
    : m_url(std::move(url))
    , m_folder(std::move(folder))
    , m_settings(std::move(settings))
    , m_progress(std::move(progress))
    , m_ended(std::move(ended))
    , m_downloader(m_settings.fetch)
{ }

MCSExportJob::~MCSExportJob()
{
    cancel();
    join();
}

void MCSExportJob::start()
{
    if (m_thread.joinable())
        return;
    m_thread = std::thread([this] { run(); });
}

void MCSExportJob::cancel()
{
    m_downloader.cancel();
}

void MCSExportJob::join()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void MCSExportJob::run()
{
    std::string message;
    Outcome outcome = perform(message);
    m_ended(outcome, message);
}

MCSExportJob::Outcome MCSExportJob::withRetries(
    const std::function<Outcome(std::string&, bool&)>& attempt, std::string& message)
{
    int attempts = std::max(1, m_settings.fetchAttempts);
    double delay = m_settings.retryDelay;
    for (int made = 1;; ++made) {
        bool passing = false;
        Outcome outcome = attempt(message, passing);
        if (outcome != Outcome::Failed || !passing)
            return outcome;
        if (made >= attempts) {
            message += " (" + std::to_string(made) + " attempts)";
            return outcome;
        }
        if (!m_downloader.pause(std::min(delay, m_settings.maxRetryDelay)))
            return Outcome::Cancelled;
        delay *= 2;
    }
}

MCSExportJob::Outcome MCSExportJob::fetchPlaylist(const std::string& url, MCSPlaylist& playlist,
    std::string& text, std::string& finalURL, std::string& message)
{
    return withRetries(
        [&](std::string& failure, bool& passing) {
            return fetchPlaylistOnce(url, playlist, text, finalURL, failure, passing);
        },
        message);
}

MCSExportJob::Outcome MCSExportJob::fetchPlaylistOnce(const std::string& url, MCSPlaylist& playlist,
    std::string& text, std::string& finalURL, std::string& message, bool& passing)
{
    MCSFetchedBody fetched = fetchBody(m_downloader, url, m_settings.playlist.maxBytes);
    if (fetched.result.outcome == MCSFetchResult::Outcome::Cancelled)
        return Outcome::Cancelled;
    if (!fetched.result.completed()) {
        passing = isPassingFailure(fetched.result);
        message = "the playlist " + url + " could not be fetched: " + fetched.result.message;
        return Outcome::Failed;
    }
    if (fetched.head.status != 200) {
        passing = isPassingStatus(fetched.head.status);
        message = "the playlist " + url + " answered " + std::to_string(fetched.head.status);
        return Outcome::Failed;
    }
    text = stringFromData(fetched.body);
    MCSPlaylistParse parsed = parsePlaylist(text, m_settings.playlist);
    if (!parsed.playlist) {
        message = url + ": " + parsed.error;
        return Outcome::Failed;
    }
    playlist = std::move(*parsed.playlist);
    finalURL = fetched.head.finalURL.empty() ? url : fetched.head.finalURL;
    return Outcome::Finished;
}

MCSExportJob::Outcome MCSExportJob::loadSource(Source& source, std::string& message)
{
    auto text = FileSystem::readFile(m_folder / MCSExportFiles::sourcePlaylist);
    auto base = FileSystem::readFile(m_folder / MCSExportFiles::sourceURL);
    if (text && base) {
        // The playlist of an earlier run: the names of what is already here follow from it.
        MCSPlaylistParse parsed = parsePlaylist(stringFromData(*text), m_settings.playlist);
        auto baseURL = MCSURL::normalizedHTTP(stringFromData(*base));
        if (parsed.playlist && !parsed.playlist->isMaster && baseURL) {
            source.text = stringFromData(*text);
            source.baseURL = *baseURL;
            source.playlist = std::move(*parsed.playlist);
            return Outcome::Finished;
        }
    }

    std::string finalURL;
    Outcome outcome = fetchPlaylist(m_url, source.playlist, source.text, finalURL, message);
    if (outcome != Outcome::Finished)
        return outcome;
    if (source.playlist.isMaster) {
        auto variant = MCSURL::resolve(finalURL, source.playlist.variants.front());
        if (!variant) {
            message = "the variant address of " + m_url + " is not an http address";
            return Outcome::Failed;
        }
        outcome = fetchPlaylist(*variant, source.playlist, source.text, finalURL, message);
        if (outcome != Outcome::Finished)
            return outcome;
        if (source.playlist.isMaster) {
            message = "the variant of " + m_url + " is a master playlist again";
            return Outcome::Failed;
        }
    }
    if (!source.playlist.hasEndList) {
        message = m_url + " is a live playlist (no #EXT-X-ENDLIST); it cannot be exported";
        return Outcome::Failed;
    }
    if (source.playlist.segments.empty()) {
        message = m_url + " has no segments";
        return Outcome::Failed;
    }
    source.baseURL = finalURL;
    errno = 0;
    if (!FileSystem::writeFileAtomically(m_folder / MCSExportFiles::sourceURL, dataFromString(finalURL), 0600)
        || !FileSystem::writeFileAtomically(
            m_folder / MCSExportFiles::sourcePlaylist, dataFromString(source.text), 0600)) {
        message = writeFailure("cannot write into " + m_folder.string(), systemReason(errno));
        return Outcome::Failed;
    }
    return Outcome::Finished;
}

MCSExportJob::Outcome MCSExportJob::download(const Resource& resource, std::string& message)
{
    return withRetries(
        [&](std::string& failure, bool& passing) { return downloadOnce(resource, failure, passing); },
        message);
}

MCSExportJob::Outcome MCSExportJob::downloadOnce(
    const Resource& resource, std::string& message, bool& passing)
{
    // Each attempt starts a fresh temporary file; the one of a failed attempt is deleted with it.
    MCSTempFile file(m_folder / resource.name);
    if (!file.isOpen()) {
        message = writeFailure("cannot write into " + m_folder.string(), file.failure());
        return Outcome::Failed;
    }
    MCSFetchRequest request;
    request.url = resource.url;
    switch (resource.kind) {
    case MCSPlaylistURIKind::Key:
        request.maxBytes = keyBytes;
        break;
    case MCSPlaylistURIKind::Map:
        request.maxBytes = m_settings.maxMapBytes;
        break;
    default:
        request.maxBytes = m_settings.maxSegmentBytes;
        break;
    }
    FileSink sink(file);
    MCSFetchResult result = m_downloader.fetch(request, sink);
    if (result.outcome == MCSFetchResult::Outcome::Cancelled)
        return Outcome::Cancelled;
    if (sink.writeFailed) {
        message = writeFailure("cannot write " + resource.name, file.failure());
        return Outcome::Failed;
    }
    if (result.outcome == MCSFetchResult::Outcome::Stopped) {
        passing = isPassingStatus(sink.status);
        message = resource.url + " answered " + std::to_string(sink.status);
        return Outcome::Failed;
    }
    if (!result.completed()) {
        passing = isPassingFailure(result);
        message = resource.url + ": " + result.message;
        return Outcome::Failed;
    }
    if (resource.kind == MCSPlaylistURIKind::Key && file.size() != keyBytes) {
        message = "the key " + resource.url + " is not a 16-byte key";
        return Outcome::Failed;
    }
    if (!file.commit()) {
        message = writeFailure("cannot write " + resource.name, file.failure());
        return Outcome::Failed;
    }
    return Outcome::Finished;
}

void MCSExportJob::reportProgress(std::size_t done, std::size_t total, bool force)
{
    double now = exportClockSeconds();
    if (!force && m_lastReport >= 0 && now - m_lastReport < m_settings.progressInterval && done < total)
        return;
    m_lastReport = now;
    m_progress(total == 0 ? 0.0 : static_cast<double>(done) / static_cast<double>(total));
}

MCSExportJob::Outcome MCSExportJob::perform(std::string& message)
{
    errno = 0;
    if (!FileSystem::createOwnerOnlyDirectories(m_folder)) {
        message = writeFailure("cannot create " + m_folder.string(), systemReason(errno));
        return Outcome::Failed;
    }
    removeStaleTemporaries(m_folder);
    if (MCSExportFiles::isMediaFile(m_url))
        return performFile(message);

    Source source;
    Outcome outcome = loadSource(source, message);
    if (outcome != Outcome::Finished)
        return outcome;

    // Local names follow from the playlist alone, so a later run finds what an earlier one fetched.
    std::vector<Resource> resources;
    std::map<std::string, std::string> localNames; // resolved address -> file name
    std::size_t counts[4] = {};
    for (const MCSPlaylistURI& uri : source.playlist.uris) {
        if (uri.kind == MCSPlaylistURIKind::Playlist)
            continue;
        auto url = MCSURL::resolve(source.baseURL, uri.uri);
        if (!url) {
            message = "the playlist names an address that is not http: " + uri.uri;
            return Outcome::Failed;
        }
        if (localNames.contains(*url))
            continue;
        std::string extension = MCSURL::extension(*url);
        std::size_t index = counts[static_cast<int>(uri.kind)]++;
        std::string name;
        switch (uri.kind) {
        case MCSPlaylistURIKind::Key:
            name = numbered("key-", index, {}, "key");
            break;
        case MCSPlaylistURIKind::Map:
            name = numbered("map-", index, extension, "mp4");
            break;
        default:
            name = numbered("seg-", index, extension, "ts");
            break;
        }
        localNames.emplace(*url, name);
        resources.push_back({ uri.kind, *url, name });
    }

    std::size_t done = 0;
    for (const Resource& resource : resources) {
        if (FileSystem::exists(m_folder / resource.name))
            ++done;
    }
    reportProgress(done, resources.size(), true);
    for (const Resource& resource : resources) {
        if (m_downloader.isCancelled())
            return Outcome::Cancelled;
        if (FileSystem::exists(m_folder / resource.name))
            continue;
        outcome = download(resource, message);
        if (outcome != Outcome::Finished) {
            // Reports in between may have been left out; the stored progress is what is here.
            reportProgress(done, resources.size(), true);
            return outcome;
        }
        reportProgress(++done, resources.size(), false);
    }

    std::string local = rewritePlaylist(source.text, source.playlist, [&](const MCSPlaylistURI& uri) {
        auto url = MCSURL::resolve(source.baseURL, uri.uri);
        if (!url)
            return uri.uri;
        auto found = localNames.find(*url);
        return found == localNames.end() ? *url : found->second;
    });
    errno = 0;
    if (!FileSystem::writeFileAtomically(
            m_folder / MCSExportFiles::localPlaylist, dataFromString(local), 0600)) {
        message
            = writeFailure("cannot write the local playlist into " + m_folder.string(), systemReason(errno));
        return Outcome::Failed;
    }
    return Outcome::Finished;
}

MCSExportJob::Outcome MCSExportJob::performFile(std::string& message)
{
    if (FileSystem::exists(m_folder / MCSExportFiles::localFile)) {
        reportProgress(1, 1, true);
        return Outcome::Finished;
    }
    return withRetries(
        [&](std::string& failure, bool& passing) { return downloadFileOnce(failure, passing); }, message);
}

MCSExportJob::Outcome MCSExportJob::downloadFileOnce(std::string& message, bool& passing)
{
    const fs::path partial = m_folder / MCSExportFiles::partialFile;
    int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    struct stat info { };
    if (fd < 0 || ::fstat(fd, &info) != 0 || ::lseek(fd, 0, SEEK_END) < 0) {
        int error = errno;
        if (fd >= 0)
            ::close(fd);
        message = writeFailure("cannot write into " + m_folder.string(), systemReason(error));
        return Outcome::Failed;
    }
    auto have = static_cast<std::uint64_t>(info.st_size);
    MCSFetchRequest request;
    request.url = m_url;
    request.maxBytes = m_settings.maxFileBytes;
    if (have > 0)
        request.rangeStart = have;
    // The share of the file that is on disk, once its length is known.
    auto reportBytes = [this](std::uint64_t done, std::optional<std::uint64_t> total, bool force) {
        if (total && *total > 0)
            reportProgress(
                static_cast<std::size_t>(std::min(done, *total)), static_cast<std::size_t>(*total), force);
    };
    ResumingFileSink sink(fd, have,
        [&](std::uint64_t done, std::optional<std::uint64_t> total) { reportBytes(done, total, false); });
    MCSFetchResult result = m_downloader.fetch(request, sink);
    bool whole = result.completed() && !sink.writeFailed && (!sink.total || sink.have == *sink.total);
    bool flushed = whole && ::fsync(fd) == 0;
    int flushError = whole && !flushed ? errno : 0;
    ::close(fd);
    reportBytes(sink.have, sink.total, true);

    if (result.outcome == MCSFetchResult::Outcome::Cancelled)
        return Outcome::Cancelled;
    if (sink.writeFailed) {
        message = writeFailure("cannot write " + partial.string(), systemReason(sink.error));
        return Outcome::Failed;
    }
    if (result.outcome == MCSFetchResult::Outcome::Stopped) {
        // A range past the end (416), or a part of the file from elsewhere than the bytes on disk
        // (206), means those bytes are not this file's: it starts over.
        bool startOver = sink.status == 416 || sink.status == 206;
        if (startOver)
            FileSystem::remove(partial);
        passing = startOver || isPassingStatus(sink.status);
        message = m_url + " answered " + std::to_string(sink.status);
        return Outcome::Failed;
    }
    if (!result.completed()) {
        passing = isPassingFailure(result);
        message = m_url + ": " + result.message;
        return Outcome::Failed;
    }
    if (!whole) {
        passing = true;
        message = m_url + " ended before its announced length";
        return Outcome::Failed;
    }
    std::error_code error;
    if (flushed)
        fs::rename(partial, m_folder / MCSExportFiles::localFile, error);
    if (!flushed || error) {
        message = writeFailure("cannot write " + (m_folder / MCSExportFiles::localFile).string(),
            flushed ? error.message() : systemReason(flushError));
        return Outcome::Failed;
    }
    reportProgress(1, 1, true);
    return Outcome::Finished;
}
