#include "tools/testserver/SampleFeed.h"

#include "tools/testserver/SampleTitles.h"
#include "tools/testserver/StoredAddresses.h"
#include "tools/testserver/ViewerLists.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace testserver {

namespace {

using nlohmann::json;

constexpr const char* kStripLayout = "index_recommend_playback";

// A status line that counts more than one episode.
bool isSeries(const TitleNames& title)
{
    return SampleTitles::numberBeforeEpisodeMark(title.status).value_or(1) > 1;
}

std::string clock(long long seconds)
{
    char text[32];
    if (seconds >= 3600)
        std::snprintf(
            text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

class StripMaker {
public:
    StripMaker(std::uint16_t httpPort, std::uint16_t httpsPort)
        : m_httpPort(httpPort)
        , m_httpsPort(httpsPort)
    { }

    json item(const std::string& movieID, const TitleNames& title) const
    {
        json cover = title.cover;
        // The lists keep the sample's placeholder host; the reply leads to this server.
        restoreAddresses(cover, m_httpPort, m_httpsPort);
        return { { "id", "" }, { "movie_id", movieID }, { "movie_name", title.name }, { "name", title.name },
            { "cover", std::move(cover) }, { "dynamic", title.status } };
    }

    // The item of a title with where its record stopped.
    json watched(const PlaybackRecord& record, const TitleNames& title) const
    {
        json entry = item(record.movieID, title);
        json history = AccountLists::historyEntry(record);
        entry["dynamic"] = SampleFeed::progressLine(record);
        for (const char* key : { "episode_id", "episode_name", "current_time", "duration" })
            entry[key] = history[key];
        return entry;
    }

    json continueWatching(const AccountLists& lists) const
    {
        json strip = json::array();
        for (const PlaybackRecord& record : lists.records()) {
            if (strip.size() == SampleFeed::maxStripItems)
                break;
            strip.push_back(watched(record, record.title));
        }
        return strip;
    }

    json following(const AccountLists& lists) const
    {
        json strip = json::array();
        for (const Favourite& favourite : lists.favourites()) {
            if (strip.size() == SampleFeed::maxStripItems)
                break;
            if (!isSeries(favourite.title))
                continue;
            const PlaybackRecord* record = lists.recordOf(favourite.movieID);
            strip.push_back(
                record ? watched(*record, favourite.title) : item(favourite.movieID, favourite.title));
        }
        return strip;
    }

private:
    std::uint16_t m_httpPort;
    std::uint16_t m_httpsPort;
};

}

std::string SampleFeed::progressLine(const PlaybackRecord& record)
{
    std::optional<long long> episode = SampleTitles::numberBeforeEpisodeMark(record.episodeName);
    if (!episode || !isSeries(record.title))
        return "看到 " + clock(record.currentTime);
    return "看到第" + std::to_string(*episode) + "集 " + clock(record.currentTime);
}

void SampleFeed::install(ApiServer& api, json sections, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    auto file = std::make_shared<const json>(sections.is_array() ? std::move(sections) : json::array());
    ApiServer* server = &api;
    StripMaker maker(httpPort, httpsPort);
    api.handle("v1/movie/index_recommend", [file, server, maker](const ApiCall& call) {
        std::shared_ptr<ViewerLists> lists = ViewerLists::of(*server);
        std::optional<std::int64_t> account
            = lists ? ViewerLists::accountOf(*server, call.token) : std::nullopt;
        json feed = json::array();
        auto addStrips = [&](const AccountLists& own) {
            for (const json& section : *file) {
                std::string title = section.is_object() ? section.value("title", "") : "";
                bool isStrip = section.is_object() && section.value("layout", "") == kStripLayout;
                if (!isStrip || (title != continueWatching && title != following)) {
                    feed.push_back(section);
                    continue;
                }
                json strip = title == continueWatching ? maker.continueWatching(own) : maker.following(own);
                if (strip.empty())
                    continue;
                feed.push_back(section);
                feed.back()["list"] = std::move(strip);
            }
        };
        if (account)
            lists->read(*account, addStrips);
        else
            addStrips(AccountLists());
        return ApiReply::success(std::move(feed));
    });
}

}
