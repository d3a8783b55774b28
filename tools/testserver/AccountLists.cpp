#include "tools/testserver/AccountLists.h"

#include "tools/testserver/JsonText.h"

#include <algorithm>

namespace testserver {

namespace {

using nlohmann::json;

// Bounds of what one entry may hold, however it was written.
constexpr IntegerField kIDs { 0, AccountLists::lastID, true };
// An episode's id goes out as a number when every reader keeps it exact, else as its text.
constexpr IntegerField kExactIDs { 0, StateFolder::maxExactInteger, true };
constexpr std::size_t kMaxKeyBytes = 64;
constexpr std::size_t kMaxTextBytes = 1024;
constexpr long long kMaxSeconds = 24 * 3600;

bool isDigits(const std::string& text)
{
    return !text.empty()
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool fail(std::string* error, std::string message)
{
    if (error)
        *error = std::move(message);
    return false;
}

// Reads the members of one entry, keeping the first thing found wrong.
class EntryReader {
public:
    explicit EntryReader(const json& entry)
        : m_entry(entry)
    { }

    // A text member (a number counts as its decimal text); empty when missing.
    std::string text(const char* key, std::size_t maxBytes = kMaxTextBytes)
    {
        json value = m_entry.value(key, json());
        std::string text;
        if (value.is_string())
            text = value.get<std::string>();
        else if (value.is_number_integer())
            text = textOf(value);
        else if (!value.is_null())
            wrong(std::string(key) + " is neither text nor a whole number");
        if (text.size() > maxBytes)
            wrong(std::string(key) + " is longer than " + std::to_string(maxBytes) + " bytes");
        return text;
    }

    std::string required(const char* key, std::size_t maxBytes = kMaxKeyBytes)
    {
        std::string value = text(key, maxBytes);
        if (value.empty())
            wrong(std::string("no ") + key);
        return value;
    }

    std::string id()
    {
        std::string value = required("id");
        if (!value.empty() && !isDigits(value))
            wrong("the id " + value + " is not decimal");
        else if (!value.empty() && !readInteger(value, kIDs))
            wrong("the id " + value + " is not " + wholeNumberFrom(kIDs));
        return value;
    }

    long long number(const char* key, long long limit)
    {
        json value = m_entry.value(key, json());
        if (value.is_null() || value == "")
            return 0;
        IntegerRead read = readInteger(value, { 0, limit, true });
        if (!read)
            wrong(std::string(key) + " is no number within 0..." + std::to_string(limit));
        return read.valueOr(0);
    }

    TitleNames title(const char* statusKey)
    {
        return { text("movie_name"), text("cover"), text(statusKey), text("type_name"), text("label") };
    }

    bool ok(std::string* error) const { return m_problem.empty() || fail(error, m_problem); }

private:
    void wrong(std::string problem)
    {
        if (m_problem.empty())
            m_problem = std::move(problem);
    }

    const json& m_entry;
    std::string m_problem;
};

json episodeIdValue(const std::string& id)
{
    IntegerRead number = isDigits(id) ? readInteger(id, kExactIDs) : IntegerRead();
    return number ? json(*number) : json(id);
}

}

const PlaybackRecord* AccountLists::recordOf(const std::string& movieID) const
{
    auto found = std::find_if(m_records.begin(), m_records.end(),
        [&movieID](const PlaybackRecord& record) { return record.movieID == movieID; });
    return found == m_records.end() ? nullptr : &*found;
}

bool AccountLists::isFavourite(const std::string& movieID) const
{
    return std::any_of(m_favourites.begin(), m_favourites.end(),
        [&movieID](const Favourite& favourite) { return favourite.movieID == movieID; });
}

std::optional<std::string> AccountLists::newID()
{
    if (m_nextID > lastID)
        return std::nullopt;
    return std::to_string(m_nextID++);
}

void AccountLists::numberedUpTo(const std::string& id)
{
    // Ids of the lists' own files are read within lastID; any other id the lists were handed
    // leaves the next one as it is.
    if (IntegerRead number = isDigits(id) ? readInteger(id, kIDs) : IntegerRead())
        m_nextID = std::max(m_nextID, *number + 1);
}

bool AccountLists::report(PlaybackRecord record)
{
    auto earlier = std::find_if(m_records.begin(), m_records.end(),
        [&record](const PlaybackRecord& each) { return each.movieID == record.movieID; });
    if (earlier != m_records.end())
        record.id = earlier->id;
    if (record.id.empty()) {
        std::optional<std::string> id = newID();
        if (!id)
            return false;
        record.id = std::move(*id);
    }
    if (earlier != m_records.end())
        m_records.erase(earlier);
    numberedUpTo(record.id);
    m_records.insert(m_records.begin(), std::move(record));
    if (m_records.size() > maxRecords)
        m_records.resize(maxRecords);
    return true;
}

std::size_t AccountLists::removeRecords(const std::set<std::string>& ids)
{
    return std::erase_if(m_records, [&ids](const PlaybackRecord& record) { return ids.contains(record.id); });
}

std::size_t AccountLists::removeFavourites(const std::set<std::string>& ids)
{
    return std::erase_if(
        m_favourites, [&ids](const Favourite& favourite) { return ids.contains(favourite.id); });
}

bool AccountLists::addFavourite(Favourite favourite, bool* noIDLeft)
{
    auto earlier = std::find_if(m_favourites.begin(), m_favourites.end(),
        [&favourite](const Favourite& each) { return each.movieID == favourite.movieID; });
    if (earlier != m_favourites.end())
        favourite.id = earlier->id;
    else if (m_favourites.size() >= maxFavourites)
        return false;
    if (favourite.id.empty()) {
        std::optional<std::string> id = newID();
        if (!id) {
            if (noIDLeft)
                *noIDLeft = true;
            return false;
        }
        favourite.id = std::move(*id);
    }
    if (earlier != m_favourites.end())
        m_favourites.erase(earlier);
    numberedUpTo(favourite.id);
    m_favourites.insert(m_favourites.begin(), std::move(favourite));
    return true;
}

bool AccountLists::removeFavourite(const std::string& movieID)
{
    return std::erase_if(m_favourites, [&movieID](const Favourite& each) { return each.movieID == movieID; })
        > 0;
}

json AccountLists::historyEntry(const PlaybackRecord& record)
{
    return { { "id", record.id }, { "movie_id", record.movieID }, { "movie_name", record.title.name },
        { "cover", record.title.cover }, { "dynamic", record.title.status },
        { "movie_dynamic", record.title.status }, { "type_name", record.title.typeName },
        { "label", record.title.label }, { "episode_id", episodeIdValue(record.episodeID) },
        { "episode_name", record.episodeName }, { "current_time", record.currentTime },
        { "duration", record.duration } };
}

json AccountLists::lastPlayback(const PlaybackRecord& record)
{
    return { { "movie_from", record.from }, { "episode_id", record.episodeID },
        { "duration", record.duration }, { "current_time", record.currentTime } };
}

json AccountLists::favouriteEntry(const Favourite& favourite)
{
    return { { "id", favourite.id }, { "movie_id", favourite.movieID },
        { "movie_name", favourite.title.name }, { "cover", favourite.title.cover },
        { "movie_dynamic", favourite.title.status }, { "type_name", favourite.title.typeName },
        { "label", favourite.title.label } };
}

std::optional<PlaybackRecord> AccountLists::recordFrom(
    const json& entry, std::int64_t watchedAt, std::string* error)
{
    if (!entry.is_object()) {
        fail(error, "a record that is not an object");
        return std::nullopt;
    }
    EntryReader read(entry);
    PlaybackRecord record;
    record.id = read.id();
    record.movieID = read.required("movie_id");
    record.episodeID = read.required("episode_id");
    record.episodeName = read.text("episode_name");
    record.from = read.text("movie_from", kMaxKeyBytes);
    record.currentTime = read.number("current_time", kMaxSeconds);
    record.duration = read.number("duration", kMaxSeconds);
    record.watchedAt = entry.contains("watched_at") ? read.number("watched_at", 1LL << 40) : watchedAt;
    record.title = read.title("movie_dynamic");
    if (!read.ok(error))
        return std::nullopt;
    return record;
}

std::optional<Favourite> AccountLists::favouriteFrom(const json& entry, std::string* error)
{
    if (!entry.is_object()) {
        fail(error, "a favourite that is not an object");
        return std::nullopt;
    }
    EntryReader read(entry);
    Favourite favourite;
    favourite.id = read.id();
    favourite.movieID = read.required("movie_id");
    favourite.title = read.title("movie_dynamic");
    if (!read.ok(error))
        return std::nullopt;
    return favourite;
}

json AccountLists::toJSON() const
{
    json records = json::array();
    for (const PlaybackRecord& record : m_records) {
        json entry = historyEntry(record);
        entry["movie_from"] = record.from;
        entry["watched_at"] = record.watchedAt;
        records.push_back(std::move(entry));
    }
    json favourites = json::array();
    for (const Favourite& favourite : m_favourites)
        favourites.push_back(favouriteEntry(favourite));
    return { { "records", std::move(records) }, { "favourites", std::move(favourites) } };
}

std::optional<AccountLists> AccountLists::fromJSON(const json& value, std::string* error)
{
    auto listAt = [&value](const char* key) {
        json list = value.is_object() ? value.value(key, json()) : json();
        return list.is_array() ? std::optional(std::move(list)) : std::nullopt;
    };
    std::optional<json> records = listAt("records");
    std::optional<json> favourites = listAt("favourites");
    if (!records || !favourites) {
        fail(error, "the lists need the arrays records and favourites");
        return std::nullopt;
    }
    if (records->size() > maxRecords || favourites->size() > maxFavourites) {
        fail(error, "more records or favourites than an account may hold");
        return std::nullopt;
    }
    AccountLists lists;
    std::string problem;
    // Oldest first, so that each lands at the front in its turn, as it did when it was made.
    for (auto it = records->rbegin(); it != records->rend(); ++it) {
        std::optional<PlaybackRecord> record = recordFrom(*it, 0, &problem);
        if (!record) {
            fail(error, "a record: " + problem);
            return std::nullopt;
        }
        lists.report(std::move(*record));
    }
    for (auto it = favourites->rbegin(); it != favourites->rend(); ++it) {
        std::optional<Favourite> favourite = favouriteFrom(*it, &problem);
        if (!favourite) {
            fail(error, "a favourite: " + problem);
            return std::nullopt;
        }
        lists.addFavourite(std::move(*favourite));
    }
    return lists;
}

}
