#include "platform/media/cache/MCSReadThrough.h"

#include "platform/foundation/Log.h"
#include "platform/media/cache/MCSForwarder.h"
#include "platform/media/cache/MCSURL.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t readThroughBlock = 256 * 1024;
// Bytes of a chunk held back from the output at most, when the origin has more ready than this:
// the output should not wait for the origin's whole burst.
constexpr std::uint64_t maxHeldBack = 64 * 1024;

// Statuses a player should see as they are; every other failure of the origin is a bad gateway.
int passedOnStatus(int status)
{
    return status == 401 || status == 403 || status == 404 || status == 410 ? status : 502;
}

std::optional<std::uint64_t> parseDecimal(std::string_view text)
{
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string guessedType(std::string_view url)
{
    std::string extension = MCSURL::extension(url);
    if (extension == "ts")
        return "video/mp2t";
    if (extension == "mp4" || extension == "m4s" || extension == "m4v")
        return "video/mp4";
    if (extension == "aac")
        return "audio/aac";
    return "application/octet-stream";
}

MCSResourceAnswer errorAnswer(int status, std::optional<std::uint64_t> total = std::nullopt)
{
    MCSResourceAnswer answer;
    answer.status = status;
    answer.contentLength = 0;
    answer.total = total;
    return answer;
}

// Takes an origin reply apart: what goes to the output, and the chunks it completes. The bytes of
// a chunk are copied once, into its buffer; the output is sent what it wants from there by this
// thread's forwarder, while this thread goes on taking bytes from the origin, in one piece for
// each read of the origin's connection rather than one for each of the downloader's small
// pieces; and the store writes the whole chunk to disk from the same buffer, behind.
class ChunkSink : public MCSFetchSink {
public:
    using HeadCheck = std::function<bool(const MCSFetchHead&, ChunkSink&)>;

    ChunkSink(const MCSPlaybackStore& store, const MCSReadRequest& request, MCSResourceOutput& output,
        HeadCheck check)
        : m_store(store)
        , m_request(request)
        , m_output(output)
        , m_check(std::move(check))
        , m_forwarder(MCSForwarder::forThisThread())
    {
        m_forwarder.begin(output);
    }
    // The output is the caller's: nothing may be left on its way to it.
    ~ChunkSink() { m_forwarder.finish(); }
    ChunkSink(const ChunkSink&) = delete;
    ChunkSink& operator=(const ChunkSink&) = delete;

    bool receiveHead(const MCSFetchHead& head) override { return m_check(head, *this); }

    bool receiveData(const std::uint8_t* bytes, std::size_t size) override
    {
        const std::uint64_t chunkSize = m_store.chunkSize();
        while (size > 0) {
            if (!m_buffer && origin % chunkSize == 0) {
                m_chunkStart = origin;
                m_buffer = std::make_shared<Data>(m_store.chunkBuffer());
            }
            std::uint64_t chunkEnd = (origin / chunkSize + 1) * chunkSize;
            std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(size, chunkEnd - origin));
            std::uint64_t pieceStart = origin;
            origin += take;
            if (m_buffer) {
                m_buffer->insert(m_buffer->end(), bytes, bytes + take);
                bool whole = origin % chunkSize == 0 || (total && origin == *total);
                if (whole ? !keepChunk()
                          : origin - std::max(m_sentTo, m_chunkStart) >= maxHeldBack
                            && !send(m_buffer, m_chunkStart, origin))
                    return false;
            } else if (!sendNow(bytes, pieceStart, origin)) {
                // Bytes before the first whole chunk (an origin that answered another range):
                // nothing to keep, so they go out as they are.
                return false;
            }
            bytes += take;
            size -= take;

            if (forwardLast && origin > *forwardLast && !m_buffer) {
                satisfied = true;
                return false;
            }
        }
        return true;
    }

    bool receivedAllReady() override { return !m_buffer || send(m_buffer, m_chunkStart, origin); }

    // Waits for what is on its way to the output; false when the output failed.
    bool finishSending()
    {
        if (!m_forwarder.finish())
            outputFailed = true;
        return !outputFailed;
    }

    // The transfer ended whole: with no length announced, its end is the resource's end.
    void finish()
    {
        if (!m_buffer || m_buffer->empty())
            return;
        if (!total) {
            total = origin;
            m_store.saveMeta(m_request.asset, m_request.key, { origin, contentType });
        }
        if (origin == *total)
            keepChunk();
    }

    std::uint64_t origin = 0; // offset in the resource of the next byte from the origin
    std::uint64_t forwardFirst = 0;
    std::optional<std::uint64_t> forwardLast;
    std::optional<std::uint64_t> total;
    std::string contentType;
    std::uint64_t forwarded = 0;
    bool satisfied = false;
    bool outputFailed = false;
    // The length is written with the first chunk kept, not before the first byte goes out.
    bool saveMetaFirst = false;

private:
    // What the output wants of the resource's bytes [base, to) and has not had yet.
    std::pair<std::uint64_t, std::uint64_t> wanted(std::uint64_t base, std::uint64_t to) const
    {
        std::uint64_t from = std::max({ base, forwardFirst, m_sentTo });
        if (forwardLast)
            to = std::min(to, *forwardLast + 1);
        return { from, std::max(from, to) };
    }

    // Hands that part of a chunk's buffer, which holds the resource from `base` on, to the
    // forwarder.
    bool send(const std::shared_ptr<Data>& buffer, std::uint64_t base, std::uint64_t to)
    {
        auto [from, end] = wanted(base, to);
        if (from == end)
            return true;
        if (!m_forwarder.send(
                buffer, static_cast<std::size_t>(from - base), static_cast<std::size_t>(end - from))) {
            outputFailed = true;
            return false;
        }
        forwarded += end - from;
        m_sentTo = end;
        return true;
    }

    // Sends that part of bytes that are only lent, after what is on its way.
    bool sendNow(const std::uint8_t* bytes, std::uint64_t base, std::uint64_t to)
    {
        auto [from, end] = wanted(base, to);
        if (from == end)
            return true;
        if (!finishSending()
            || !m_output.write(bytes + (from - base), static_cast<std::size_t>(end - from))) {
            outputFailed = true;
            return false;
        }
        forwarded += end - from;
        m_sentTo = end;
        return true;
    }

    // A chunk is kept before its last bytes go out: whoever has them can find it cached.
    bool keepChunk()
    {
        if (saveMetaFirst && total) {
            m_store.saveMeta(m_request.asset, m_request.key, { *total, contentType });
            saveMetaFirst = false;
        }
        std::shared_ptr<Data> chunk = std::move(m_buffer);
        m_store.saveChunk(m_request.asset, m_request.key, m_chunkStart / m_store.chunkSize(), chunk);
        return send(chunk, m_chunkStart, origin);
    }

    const MCSPlaybackStore& m_store;
    const MCSReadRequest& m_request;
    MCSResourceOutput& m_output;
    HeadCheck m_check;
    MCSForwarder& m_forwarder;
    std::shared_ptr<Data> m_buffer; // the chunk being filled, from m_chunkStart on
    std::uint64_t m_chunkStart = 0;
    std::uint64_t m_sentTo = 0; // the output has had what it wants up to here
};

// Of the origin's failures, which the player sees as a bad gateway, a refused redirect is the
// one the log tells: it is the cache's choice, not the network's.
void logRefusal(const MCSReadRequest& request, const MCSFetchResult& result)
{
    if (result.outcome == MCSFetchResult::Outcome::Failed && result.code == HTTPError::Code::InsecureRedirect)
        Log::write("MCSMediaCache: " + request.url + ": " + result.message);
}

// Only looks at the head of a reply.
class HeadSink : public MCSFetchSink {
public:
    bool receiveHead(const MCSFetchHead& fetched) override
    {
        head = fetched;
        return false;
    }
    bool receiveData(const std::uint8_t*, std::size_t) override { return false; }

    std::optional<MCSFetchHead> head;
};

// Copies [from, to] of a chunk file to the output; false on a read or output failure.
bool copyFromFile(
    const std::filesystem::path& path, std::uint64_t offset, std::uint64_t count, MCSResourceOutput& output)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(count, readThroughBlock)));
    bool ok = true;
    while (ok && count > 0) {
        std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size()));
        ssize_t got = ::pread(fd, buffer.data(), want, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = false;
            break;
        }
        ok = output.write(buffer.data(), static_cast<std::size_t>(got));
        offset += static_cast<std::uint64_t>(got);
        count -= static_cast<std::uint64_t>(got);
    }
    ::close(fd);
    return ok;
}

std::optional<std::uint64_t> fileSize(const std::filesystem::path& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

// The length of a resource, learnt from a one-byte request (for suffix ranges).
std::optional<MCSResourceMeta> probe(
    const MCSPlaybackStore& store, MCSDownloader& downloader, const MCSReadRequest& request)
{
    MCSFetchRequest fetch;
    fetch.url = request.url;
    fetch.headers = request.headers;
    fetch.rangeStart = 0;
    fetch.rangeEnd = 0;
    fetch.maxBytes = request.maxBytes;
    HeadSink sink;
    logRefusal(request, downloader.fetch(fetch, sink));
    if (!sink.head || (sink.head->status != 200 && sink.head->status != 206) || !sink.head->totalLength
        || *sink.head->totalLength > request.maxBytes)
        return std::nullopt;
    MCSResourceMeta meta { *sink.head->totalLength,
        sink.head->contentType.empty() ? guessedType(request.url) : sink.head->contentType };
    store.saveMeta(request.asset, request.key, meta);
    return meta;
}

bool answerKnown(const MCSPlaybackStore& store, MCSDownloader& downloader, const MCSReadRequest& request,
    const MCSResourceMeta& meta, MCSResourceOutput& output)
{
    const std::uint64_t total = meta.length;
    const std::uint64_t chunkSize = store.chunkSize();
    std::uint64_t first = 0;
    std::uint64_t last = total == 0 ? 0 : total - 1;
    if (request.range) {
        if (request.range->first) {
            first = *request.range->first;
            last = std::min(request.range->last.value_or(last), last);
        } else {
            std::uint64_t count = std::min(request.range->suffix, total);
            first = total - count;
            if (count == 0)
                first = total;
        }
        if (first >= total || first > last) {
            output.begin(errorAnswer(416, total));
            return true;
        }
    }

    MCSResourceAnswer answer;
    answer.status = request.range ? 206 : 200;
    answer.contentLength = total == 0 ? 0 : last - first + 1;
    if (request.range) {
        answer.first = first;
        answer.last = last;
    }
    answer.total = total;
    answer.contentType = meta.contentType;
    if (!output.begin(answer))
        return false;
    if (total == 0)
        return true;

    std::uint64_t position = first;
    while (position <= last) {
        std::uint64_t index = position / chunkSize;
        std::uint64_t chunkStart = index * chunkSize;
        std::uint64_t length = store.chunkLength(total, index);
        auto stored = store.chunk(request.asset, request.key, index);
        if (stored
            && (stored->bytes ? std::optional<std::uint64_t>(stored->bytes->size()) : fileSize(stored->file))
                == length) {
            std::uint64_t end = std::min(last, chunkStart + length - 1);
            std::uint64_t offset = position - chunkStart;
            std::uint64_t count = end - position + 1;
            bool sent = stored->bytes
                ? output.write(stored->bytes->data() + offset, static_cast<std::size_t>(count))
                : copyFromFile(stored->file, offset, count, output);
            if (!sent)
                return false;
            position = end + 1;
            continue;
        }

        MCSFetchRequest fetch;
        fetch.url = request.url;
        fetch.headers = request.headers;
        fetch.rangeStart = chunkStart;
        fetch.rangeEnd = std::min(total - 1, (last / chunkSize + 1) * chunkSize - 1);
        fetch.maxBytes = request.maxBytes;
        ChunkSink sink(store, request, output, [&](const MCSFetchHead& head, ChunkSink& self) {
            if (head.status == 206 && head.rangeFirst && *head.rangeFirst <= position
                && (!head.totalLength || *head.totalLength == total)) {
                self.origin = *head.rangeFirst;
                return true;
            }
            if (head.status == 200 && (!head.contentLength || *head.contentLength == total)) {
                self.origin = 0;
                return true;
            }
            return false; // the origin's resource is not the one cached
        });
        sink.forwardFirst = position;
        sink.forwardLast = last;
        sink.total = total;
        sink.contentType = meta.contentType;
        MCSFetchResult result = downloader.fetch(fetch, sink);
        logRefusal(request, result);
        if (result.completed())
            sink.finish();
        position += sink.forwarded;
        if (!sink.finishSending() || !(result.completed() || sink.satisfied) || sink.forwarded == 0)
            return false;
    }
    return true;
}

bool answerUnknown(const MCSPlaybackStore& store, MCSDownloader& downloader, const MCSReadRequest& request,
    MCSResourceOutput& output)
{
    const std::uint64_t chunkSize = store.chunkSize();
    const std::uint64_t first = request.range ? request.range->first.value_or(0) : 0;
    MCSFetchRequest fetch;
    fetch.url = request.url;
    fetch.headers = request.headers;
    if (request.range) {
        fetch.rangeStart = first / chunkSize * chunkSize;
        // A closed range asks the origin for no more than its last chunk: an open one would have
        // the origin send what the connection's buffers take beyond it before the reading stops.
        std::uint64_t lastChunk = request.range->last.value_or(0) / chunkSize;
        if (request.range->first && request.range->last
            && lastChunk < std::numeric_limits<std::uint64_t>::max() / chunkSize)
            fetch.rangeEnd = (lastChunk + 1) * chunkSize - 1;
    }
    fetch.maxBytes = request.maxBytes;

    bool answered = false; // an error answer went out: it is whole
    bool begun = false;
    ChunkSink sink(store, request, output, [&](const MCSFetchHead& head, ChunkSink& self) {
        auto fail = [&](int status, std::optional<std::uint64_t> total = std::nullopt) {
            output.begin(errorAnswer(status, total));
            answered = true;
            return false;
        };
        if (head.status == 416)
            return fail(416);
        if (head.status != 200 && head.status != 206)
            return fail(passedOnStatus(head.status));
        self.origin = head.status == 206 ? head.rangeFirst.value_or(0) : 0;
        self.total = head.status == 206 ? head.totalLength : head.contentLength;
        if (self.origin > first || (self.total && *self.total > request.maxBytes))
            return fail(502);
        self.contentType = head.contentType.empty() ? guessedType(request.url) : head.contentType;

        MCSResourceAnswer answer;
        answer.contentType = self.contentType;
        if (request.range) {
            if (!self.total)
                return fail(502);
            if (first >= *self.total)
                return fail(416, self.total);
            std::uint64_t last = std::min(request.range->last.value_or(*self.total - 1), *self.total - 1);
            self.forwardLast = last;
            answer.status = 206;
            answer.first = first;
            answer.last = last;
            answer.total = self.total;
            answer.contentLength = last - first + 1;
        } else {
            answer.status = 200;
            answer.contentLength = self.total;
            answer.total = self.total;
        }
        begun = true;
        self.saveMetaFirst = true;
        return output.begin(answer);
    });
    sink.forwardFirst = first;
    MCSFetchResult result = downloader.fetch(fetch, sink);
    logRefusal(request, result);
    if (result.completed())
        sink.finish();
    bool sent = sink.finishSending();
    if (answered)
        return true;
    if (!begun) {
        if (result.outcome == MCSFetchResult::Outcome::Cancelled)
            return false;
        output.begin(errorAnswer(result.code == HTTPError::Code::TimedOut ? 504 : 502));
        return true;
    }
    return sent && (result.completed() || sink.satisfied);
}

}

std::optional<MCSByteRange> parseRangeHeader(std::string_view value)
{
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    if (!value.starts_with("bytes="))
        return std::nullopt;
    value.remove_prefix(6);
    if (value.find(',') != std::string_view::npos)
        return std::nullopt;
    std::size_t dash = value.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    std::string_view head = value.substr(0, dash);
    std::string_view tail = value.substr(dash + 1);
    MCSByteRange range;
    if (head.empty()) {
        auto suffix = parseDecimal(tail);
        if (!suffix)
            return std::nullopt;
        range.suffix = *suffix;
        return range;
    }
    range.first = parseDecimal(head);
    if (!range.first)
        return std::nullopt;
    if (!tail.empty()) {
        range.last = parseDecimal(tail);
        if (!range.last || *range.last < *range.first)
            return std::nullopt;
    }
    return range;
}

bool readThrough(const MCSPlaybackStore& store, MCSDownloader& downloader, const MCSReadRequest& request,
    MCSResourceOutput& output)
{
    std::optional<MCSResourceMeta> meta = store.meta(request.asset, request.key);
    if (meta && meta->length <= request.maxBytes)
        return answerKnown(store, downloader, request, *meta, output);
    if (!request.range || request.range->first)
        return answerUnknown(store, downloader, request, output);
    // A suffix range needs the length first.
    std::optional<MCSResourceMeta> probed = probe(store, downloader, request);
    if (probed)
        return answerKnown(store, downloader, request, *probed, output);
    if (downloader.isCancelled())
        return false;
    output.begin(errorAnswer(502));
    return true;
}

MCSLoadedPlaylist loadPlaylist(const MCSPlaybackStore& store, MCSDownloader& downloader,
    const std::string& asset, const std::string& key, const std::string& url, const HTTPHeaders& headers,
    const MCSPlaylistLimits& limits)
{
    MCSLoadedPlaylist loaded;
    if (auto stored = store.playlist(asset, key)) {
        MCSPlaylistParse parsed = parsePlaylist(stored->text, limits);
        if (parsed.playlist && MCSURL::normalizedHTTP(stored->baseURL)) {
            loaded.stored = std::move(stored);
            loaded.playlist = std::move(parsed.playlist);
            loaded.status = 200;
            return loaded;
        }
    }
    MCSFetchedBody fetched = fetchBody(downloader, url, limits.maxBytes, headers);
    if (!fetched.result.completed()) {
        loaded.status = fetched.result.code == HTTPError::Code::TimedOut ? 504 : 502;
        loaded.error = url + ": " + fetched.result.message;
        return loaded;
    }
    if (fetched.head.status != 200) {
        loaded.status = passedOnStatus(fetched.head.status);
        loaded.error = url + " answered " + std::to_string(fetched.head.status);
        return loaded;
    }
    MCSStoredPlaylist stored { stringFromData(fetched.body),
        fetched.head.finalURL.empty() ? url : fetched.head.finalURL };
    MCSPlaylistParse parsed = parsePlaylist(stored.text, limits);
    if (!parsed.playlist) {
        loaded.error = url + ": " + parsed.error;
        return loaded;
    }
    // A live playlist changes as it plays; only the ones that stay as they are are kept.
    if (parsed.playlist->isMaster || parsed.playlist->hasEndList)
        store.savePlaylist(asset, key, stored);
    loaded.stored = std::move(stored);
    loaded.playlist = std::move(parsed.playlist);
    loaded.status = 200;
    return loaded;
}
