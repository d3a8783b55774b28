#pragma once

#include "tools/testserver/StateFolder.h"

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testserver {

// What the viewer's lists show of a title: its name, cover, status line ("全12集", "HD"), type
// and label. Addresses keep the sample's placeholder host ("https://127.0.0.1:0/"): replies point
// them at the server that answers, so that a state file outlives the ports of its server.
struct TitleNames {
    std::string name;
    std::string cover;
    std::string status;
    std::string typeName;
    std::string label;
};

// Where an account stopped in a title, after its newest play report.
struct PlaybackRecord {
    std::string id {}; // decimal: what a deletion from the history names; given by the lists when empty
    std::string movieID {};
    std::string episodeID {};
    std::string episodeName {};
    std::string from {}; // the code of the source that played
    long long currentTime = 0; // seconds
    long long duration = 0;
    std::int64_t watchedAt = 0; // seconds since the epoch
    TitleNames title {};
};

struct Favourite {
    std::string id {}; // decimal, as above
    std::string movieID {};
    TitleNames title {};
};

// One account's own lists on the sample API: a playback record per title and the favourites,
// both newest first, each bounded so that no client can grow them (or the account's state file)
// without end: past its bound a report drops the oldest record, while a favourite is refused.
//
// Their JSON form (the account's state file) is {"records": [...], "favourites": [...]}: a record
// as a history entry (historyEntry) with "movie_from" and "watched_at", a favourite as an entry
// of the favourites list. fromJSON takes it back and refuses anything else, since a file may have
// been damaged.
class AccountLists {
public:
    static constexpr std::size_t maxRecords = 500;
    static constexpr std::size_t maxFavourites = 500;
    // The last id the lists give: the next start reads every id back and goes on from the
    // largest, so the id after the last must still be one that every JSON reader keeps exact. A
    // file with an id past it is no such lists.
    static constexpr std::int64_t lastID = StateFolder::maxExactInteger - 1;

    const std::vector<PlaybackRecord>& records() const { return m_records; }
    const std::vector<Favourite>& favourites() const { return m_favourites; }
    const PlaybackRecord* recordOf(const std::string& movieID) const;
    bool isFavourite(const std::string& movieID) const;

    // The record goes to the front in place of the title's earlier one, whose id it keeps; false,
    // and nothing changed, when the title is new to the history and the lists have no id left.
    bool report(PlaybackRecord record);
    // Removes the records or favourites whose ids are listed; the number removed.
    std::size_t removeRecords(const std::set<std::string>& ids);
    std::size_t removeFavourites(const std::set<std::string>& ids);
    // The favourite goes to the front in place of the title's earlier one; false when the
    // favourites are full and it would be one more, or when the lists have no id left for it
    // (then *noIDLeft is set).
    bool addFavourite(Favourite favourite, bool* noIDLeft = nullptr);
    // Whether there was one to remove.
    bool removeFavourite(const std::string& movieID);

    nlohmann::json toJSON() const;
    // None, with what is wrong, for anything that is not such lists.
    static std::optional<AccountLists> fromJSON(const nlohmann::json& value, std::string* error = nullptr);

    // A record as the history lists it (placeholder addresses), and as the title page resumes it.
    static nlohmann::json historyEntry(const PlaybackRecord& record);
    static nlohmann::json lastPlayback(const PlaybackRecord& record);
    static nlohmann::json favouriteEntry(const Favourite& favourite);
    // A history entry or favourite as the sample data and the state files write them; `watchedAt`
    // stands for a missing "watched_at".
    static std::optional<PlaybackRecord> recordFrom(
        const nlohmann::json& entry, std::int64_t watchedAt, std::string* error = nullptr);
    static std::optional<Favourite> favouriteFrom(const nlohmann::json& entry, std::string* error = nullptr);

private:
    // The id of an entry new to the lists; none once the last was given.
    std::optional<std::string> newID();
    void numberedUpTo(const std::string& id);

    std::vector<PlaybackRecord> m_records;
    std::vector<Favourite> m_favourites;
    std::int64_t m_nextID = firstNewID;
    // The ids the lists give start above those of the sample data.
    static constexpr std::int64_t firstNewID = 90000;
};

}
