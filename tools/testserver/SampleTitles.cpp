#include "tools/testserver/SampleTitles.h"

#include "tools/testserver/JsonText.h"

#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string_view>
#include <utility>

namespace testserver {

namespace {

using nlohmann::json;

constexpr const char* summaryKeys[] = { "name", "cover", "dynamic", "label", "type_name", "year", "blurb",
    "hot", "content", "tags", "members" };

bool hasValue(const json& value)
{
    if (value.is_string() || value.is_array() || value.is_object())
        return !value.empty();
    return value.is_number();
}

std::optional<json> readFile(const std::filesystem::path& file, std::string* error)
{
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    json value = json::parse(text.str(), nullptr, false);
    if (!stream || value.is_discarded() || !value.is_structured()) {
        if (error)
            *error = "not a sample file: " + file.string();
        return std::nullopt;
    }
    return value;
}

json arrayAt(const json& value, const char* key)
{
    json found = value.is_object() ? value.value(key, json()) : json();
    return found.is_array() ? found : json::array();
}

// A picture that bears a name (a short video's poster, an explore card) -> the plain cover of the
// title it shows, by their files' names in images/.
using PlainCovers = std::map<std::string, std::string>;

constexpr const char* kImagesPrefix = "/images/";

// The table of images/drawn-names.json; none for a folder without it, an error for a damaged one.
std::optional<PlainCovers> plainCovers(const std::filesystem::path& dataDir, std::string* error)
{
    std::filesystem::path file = dataDir / "images" / "drawn-names.json";
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return PlainCovers();
    std::optional<json> table = readFile(file, error);
    if (!table)
        return std::nullopt;
    json covers = table->is_object() ? table->value("covers", json::object()) : json();
    if (!covers.is_object()) {
        if (error)
            *error = "not a table of pictures: " + file.string();
        return std::nullopt;
    }
    PlainCovers plain;
    for (const auto& [picture, cover] : covers.items()) {
        if (cover.is_string() && !cover.get<std::string>().empty())
            plain[picture] = cover.get<std::string>();
    }
    return plain;
}

class Collector {
public:
    explicit Collector(PlainCovers plainCovers)
        : m_plainCovers(std::move(plainCovers))
    { }

    // Adds the title, or fills the members it still lacks; an item without an id adds nothing.
    void add(const json& id, const json& fields)
    {
        std::string key = textOf(id);
        if (key.empty() || !fields.is_object())
            return;
        auto [found, fresh] = m_places.try_emplace(key, m_titles.size());
        if (fresh)
            m_titles.push_back({ { "id", key } });
        json& title = m_titles[found->second];
        for (const char* member : summaryKeys) {
            json value = fields.value(member, json());
            if (!title.contains(member) && hasValue(value))
                title[member]
                    = std::string_view(member) == "cover" ? plainCover(std::move(value)) : std::move(value);
        }
    }

    // A title's own list item: the keys the detail reply uses.
    void addTitle(const json& item) { add(item.value("id", json()), item); }

    // An item of a viewer's list, which names its title by "movie_id" and "movie_name"; the
    // title's status line is under `statusKey` ("dynamic" in the history, "movie_dynamic" in the
    // favourites), and none in the feed's strip, whose "dynamic" tells the viewer's progress.
    void addMovieItem(const json& item, const char* statusKey = nullptr)
    {
        add(item.value("movie_id", json()),
            { { "name", item.value("movie_name", json()) }, { "cover", item.value("cover", json()) },
                { "type_name", item.value("type_name", json()) }, { "label", item.value("label", json()) },
                { "dynamic", statusKey ? item.value(statusKey, json()) : json() } });
    }

    bool hasName(const std::string& name) const
    {
        for (const json& title : m_titles) {
            if (textOf(title.value("name", json())) == name)
                return true;
        }
        return false;
    }

    // The titles; one that no list gives a status line gets the one its page shows, so that a
    // favourite added later shows it too.
    json take()
    {
        for (json& title : m_titles) {
            if (!title.contains("dynamic"))
                title["dynamic"] = textOf(title.value("type_name", json())) == "电影" ? "HD" : "全12集";
        }
        return std::move(m_titles);
    }

private:
    // The title's cover in place of a picture that bears a name: where the app writes the title's
    // name, status or progress over a cover, a drawn name would lie under its own.
    json plainCover(json cover) const
    {
        std::string address = cover.is_string() ? cover.get<std::string>() : std::string();
        std::size_t at = address.find(kImagesPrefix);
        if (at == std::string::npos)
            return cover;
        std::size_t begin = at + std::string_view(kImagesPrefix).size();
        auto plain = m_plainCovers.find(address.substr(begin));
        if (plain == m_plainCovers.end())
            return cover;
        return address.substr(0, begin) + plain->second;
    }

    PlainCovers m_plainCovers;
    json m_titles = json::array();
    std::map<std::string, std::size_t> m_places;
};

constexpr const char* listFiles[]
    = { "detail", "catalogue", "search", "index_recommend", "home", "explore", "mine", "short_video" };

// What the summaries of a data folder were made from: the folder and each list file's size and
// time of writing, and the pictures' table's (or that there is none). Empty when a list file
// cannot be looked at (its error is then reported afresh).
std::string sourcesKey(const std::filesystem::path& dataDir)
{
    std::string key = dataDir.string();
    auto stamp = [](const std::filesystem::path& file) -> std::optional<std::string> {
        std::error_code ec;
        auto size = std::filesystem::file_size(file, ec);
        if (ec)
            return std::nullopt;
        auto written = std::filesystem::last_write_time(file, ec);
        if (ec)
            return std::nullopt;
        return std::to_string(size) + ':' + std::to_string(written.time_since_epoch().count());
    };
    for (const char* name : listFiles) {
        std::optional<std::string> file = stamp(dataDir / "api" / (std::string(name) + ".json"));
        if (!file)
            return {};
        key += '\n' + *file;
    }
    key += '\n' + stamp(dataDir / "images" / "drawn-names.json").value_or("none");
    return key;
}

std::optional<json> summariesOf(const std::filesystem::path& dataDir, std::string* error)
{
    std::map<std::string, json> files;
    for (const char* name : listFiles) {
        std::optional<json> file = readFile(dataDir / "api" / (std::string(name) + ".json"), error);
        if (!file)
            return std::nullopt;
        files[name] = std::move(*file);
    }

    std::optional<PlainCovers> covers = plainCovers(dataDir, error);
    if (!covers)
        return std::nullopt;
    Collector titles(std::move(*covers));
    for (const char* name : { "detail", "catalogue", "search" }) {
        for (const json& title : arrayAt(files[name], "titles")) {
            if (title.is_object())
                titles.addTitle(title);
        }
    }

    // The feed's posters and strip before its carousels, whose picture is a wide banner.
    const json& feed = files["index_recommend"];
    for (bool carousels : { false, true }) {
        for (const json& section : feed.is_array() ? feed : json::array()) {
            if (!section.is_object())
                continue;
            std::string layout = textOf(section.value("layout", json()));
            if ((layout == "index_recommend_carousel") != carousels || layout == "advert_self")
                continue;
            for (const json& item : arrayAt(section, "list")) {
                if (!item.is_object())
                    continue;
                if (layout == "index_recommend_playback") {
                    titles.addMovieItem(item);
                } else if (!carousels) {
                    titles.addTitle(item);
                } else if (item.value("type", json()) == 1) {
                    titles.add(item.value("click", json()),
                        { { "name", item.value("title", json()) }, { "cover", item.value("image", json()) },
                            { "label", item.value("label", json()) },
                            { "blurb", item.value("sub_title", json()) } });
                }
            }
        }
    }

    for (auto [file, key] : { std::pair { "home", "screen_titles" }, std::pair { "explore", "titles" } }) {
        for (const json& title : arrayAt(files[file], key)) {
            if (title.is_object())
                titles.addTitle(title);
        }
    }

    const json& mine = files["mine"];
    for (const json& section : arrayAt(mine, "playback")) {
        for (const json& item : arrayAt(section, "list")) {
            if (item.is_object())
                titles.addMovieItem(item, "dynamic");
        }
    }
    for (const json& item : arrayAt(mine, "favourites")) {
        if (item.is_object())
            titles.addMovieItem(item, "movie_dynamic");
    }
    for (const json& notice : arrayAt(mine.is_object() ? mine.value("notices", json()) : json(), "list")) {
        if (notice.is_object() && notice.value("type", json()) == 2)
            titles.add(notice.value("content", json()), json::object());
    }

    long long place = 0;
    for (const json& clip : arrayAt(files["short_video"], "clips")) {
        ++place;
        std::string name = clip.is_object() ? textOf(clip.value("title", json())) : std::string();
        if (name.empty() || titles.hasName(name))
            continue;
        titles.add(SampleTitles::clipTitleIdBase + place,
            { { "name", name }, { "cover", clip.value("cover", json()) },
                { "blurb", clip.value("desc", json()) }, { "content", clip.value("desc", json()) },
                { "type_name", "短剧" } });
    }
    return titles.take();
}

}

std::optional<long long> SampleTitles::numberBeforeEpisodeMark(const std::string& text)
{
    static const std::string mark = "集";
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + mark.size())) {
        std::size_t begin = at;
        while (begin > 0 && text[begin - 1] >= '0' && text[begin - 1] <= '9')
            --begin;
        if (begin == at)
            continue;
        if (at - begin > 9)
            return std::nullopt;
        return std::stoll(text.substr(begin, at - begin));
    }
    return std::nullopt;
}

std::optional<json> SampleTitles::load(const std::filesystem::path& dataDir, std::string* error)
{
    // Several routes of one server, and every server a test program starts, read the same lists:
    // made once per unchanged folder, since reading them is most of a server's start.
    static std::mutex mutex;
    static std::map<std::string, json> made;
    std::string key = sourcesKey(dataDir);
    if (!key.empty()) {
        std::lock_guard lock(mutex);
        if (auto found = made.find(key); found != made.end())
            return found->second;
    }
    std::optional<json> summaries = summariesOf(dataDir, error);
    if (summaries && !key.empty()) {
        std::lock_guard lock(mutex);
        made.insert_or_assign(key, *summaries);
    }
    return summaries;
}

}
