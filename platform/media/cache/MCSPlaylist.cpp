#include "platform/media/cache/MCSPlaylist.h"

#include <algorithm>

namespace {

struct Attribute {
    std::string_view name;
    std::string_view value;
    std::size_t valueOffset = 0; // in the whole text
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text, std::size_t& offset)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
        ++offset;
    }
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool hasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// NAME=VALUE pairs separated by commas; quoted values may hold commas. None when malformed.
std::optional<std::vector<Attribute>> parseAttributes(std::string_view list, std::size_t offset)
{
    std::vector<Attribute> attributes;
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && isBlank(list[i]))
            ++i;
        std::size_t equals = list.find('=', i);
        if (equals == std::string_view::npos || equals == i)
            return std::nullopt;
        Attribute attribute;
        attribute.name = list.substr(i, equals - i);
        while (!attribute.name.empty() && isBlank(attribute.name.back()))
            attribute.name.remove_suffix(1);
        i = equals + 1;
        if (i < list.size() && list[i] == '"') {
            std::size_t close = list.find('"', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            attribute.value = list.substr(i + 1, close - i - 1);
            attribute.valueOffset = offset + i + 1;
            i = close + 1;
        } else {
            std::size_t comma = std::min(list.find(',', i), list.size());
            attribute.value = list.substr(i, comma - i);
            attribute.valueOffset = offset + i;
            i = comma;
        }
        attributes.push_back(attribute);
        while (i < list.size() && isBlank(list[i]))
            ++i;
        if (i < list.size()) {
            if (list[i] != ',')
                return std::nullopt;
            ++i;
        }
    }
    return attributes;
}

const Attribute* find(const std::vector<Attribute>& attributes, std::string_view name)
{
    for (const Attribute& attribute : attributes) {
        if (attribute.name == name)
            return &attribute;
    }
    return nullptr;
}

// Tag name and what follows its colon (empty when there is none).
std::pair<std::string_view, std::string_view> splitTag(std::string_view line)
{
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return { line, {} };
    return { line.substr(0, colon), line.substr(colon + 1) };
}

class Parser {
public:
    Parser(std::string_view text, const MCSPlaylistLimits& limits)
        : m_text(text)
        , m_limits(limits)
    { }

    MCSPlaylistParse run()
    {
        if (m_text.size() > m_limits.maxBytes)
            return fail("the playlist is larger than " + std::to_string(m_limits.maxBytes) + " bytes");
        std::size_t start = 0;
        if (m_text.starts_with("\xEF\xBB\xBF"))
            start = 3;
        bool first = true;
        while (start < m_text.size() || first) {
            std::size_t end = m_text.find_first_of("\r\n", start);
            if (end == std::string_view::npos)
                end = m_text.size();
            std::size_t offset = start;
            std::string_view line = trimmed(m_text.substr(start, end - start), offset);
            start = end < m_text.size() ? end + 1 : end;
            if (line.empty()) {
                if (first && start >= m_text.size())
                    return fail("not a playlist: no #EXTM3U header");
                continue;
            }
            if (first) {
                if (line != "#EXTM3U")
                    return fail("not a playlist: no #EXTM3U header");
                first = false;
                continue;
            }
            if (!readLine(line, offset))
                return fail(m_error);
            if (m_playlist.uris.size() > m_limits.maxURIs)
                return fail("the playlist has more than " + std::to_string(m_limits.maxURIs) + " addresses");
        }
        if (m_playlist.isMaster && m_sawMediaTag)
            return fail("the playlist mixes variant streams and segments");
        if (m_playlist.isMaster && m_playlist.variants.empty())
            return fail("the master playlist names no variant stream");
        if (m_pendingVariant || m_pendingSegment)
            return fail("the playlist ends before the address of its last entry");
        return MCSPlaylistParse { std::move(m_playlist), {} };
    }

private:
    MCSPlaylistParse fail(std::string error) { return MCSPlaylistParse { std::nullopt, std::move(error) }; }

    bool error(std::string message)
    {
        m_error = std::move(message);
        return false;
    }

    bool addURI(MCSPlaylistURIKind kind, std::string_view uri, std::size_t offset)
    {
        if (uri.empty() || hasControlCharacter(uri))
            return error("the playlist holds an empty or malformed address");
        m_playlist.uris.push_back({ kind, std::string(uri), offset, uri.size() });
        return true;
    }

    bool readLine(std::string_view line, std::size_t offset)
    {
        if (line.front() != '#')
            return readAddress(line, offset);
        if (!line.starts_with("#EXT"))
            return true; // a comment
        auto [name, rest] = splitTag(line);
        std::size_t restOffset = offset + name.size() + 1;
        if (name == "#EXT-X-STREAM-INF") {
            m_playlist.isMaster = true;
            m_pendingVariant = true;
            return true;
        }
        if (name == "#EXTINF") {
            m_sawMediaTag = true;
            m_pendingSegment = true;
            return true;
        }
        if (name == "#EXT-X-ENDLIST") {
            m_playlist.hasEndList = true;
            return true;
        }
        if (name == "#EXT-X-KEY" || name == "#EXT-X-SESSION-KEY")
            return readKey(rest, restOffset);
        if (name == "#EXT-X-MAP")
            return readURIAttribute(rest, restOffset, MCSPlaylistURIKind::Map, true);
        if (name == "#EXT-X-I-FRAME-STREAM-INF") {
            m_playlist.isMaster = true;
            return readURIAttribute(rest, restOffset, MCSPlaylistURIKind::Playlist, true);
        }
        if (name == "#EXT-X-MEDIA")
            return readURIAttribute(rest, restOffset, MCSPlaylistURIKind::Playlist, false);
        if (name == "#EXT-X-TARGETDURATION" || name == "#EXT-X-MEDIA-SEQUENCE" || name == "#EXT-X-BYTERANGE")
            m_sawMediaTag = true;
        return true;
    }

    bool readAddress(std::string_view line, std::size_t offset)
    {
        if (m_pendingVariant) {
            m_pendingVariant = false;
            if (!addURI(MCSPlaylistURIKind::Playlist, line, offset))
                return false;
            m_playlist.variants.emplace_back(line);
            return true;
        }
        if (m_pendingSegment) {
            m_pendingSegment = false;
            if (!addURI(MCSPlaylistURIKind::Segment, line, offset))
                return false;
            m_playlist.segments.emplace_back(line);
            return true;
        }
        return error("the playlist holds an address that no #EXTINF or #EXT-X-STREAM-INF announces");
    }

    bool readKey(std::string_view list, std::size_t offset)
    {
        auto attributes = parseAttributes(list, offset);
        if (!attributes)
            return error("malformed key tag");
        const Attribute* method = find(*attributes, "METHOD");
        if (!method)
            return error("a key tag without METHOD");
        if (method->value == "NONE")
            return true;
        const Attribute* uri = find(*attributes, "URI");
        if (!uri)
            return error("a key tag without URI");
        return addURI(MCSPlaylistURIKind::Key, uri->value, uri->valueOffset);
    }

    bool readURIAttribute(std::string_view list, std::size_t offset, MCSPlaylistURIKind kind, bool required)
    {
        auto attributes = parseAttributes(list, offset);
        if (!attributes)
            return error("malformed attribute list");
        const Attribute* uri = find(*attributes, "URI");
        if (!uri)
            return required ? error("a tag without its URI") : true;
        return addURI(kind, uri->value, uri->valueOffset);
    }

    std::string_view m_text;
    const MCSPlaylistLimits& m_limits;
    MCSPlaylist m_playlist;
    std::string m_error;
    bool m_pendingVariant = false;
    bool m_pendingSegment = false;
    bool m_sawMediaTag = false;
};

}

MCSPlaylistParse parsePlaylist(std::string_view text, const MCSPlaylistLimits& limits)
{
    return Parser(text, limits).run();
}

std::string rewritePlaylist(std::string_view text, const MCSPlaylist& playlist,
    const std::function<std::string(const MCSPlaylistURI&)>& map)
{
    std::string out;
    out.reserve(text.size() + playlist.uris.size() * 32);
    std::size_t copied = 0;
    for (const MCSPlaylistURI& uri : playlist.uris) {
        if (uri.offset < copied || uri.offset + uri.length > text.size())
            continue; // not from this text
        out.append(text.substr(copied, uri.offset - copied));
        out += map(uri);
        copied = uri.offset + uri.length;
    }
    out.append(text.substr(copied));
    return out;
}
