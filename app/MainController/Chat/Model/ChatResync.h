#pragma once

#include <cstdint>
#include <optional>

// Where the chat page asks the room for newer messages, so that none is lost around a new
// connection.
//
// What the room sent while no connection was subscribed is asked for from the newest message the
// page knew before the connection opened (store and list): that is where a gap may begin. Pushes
// may come on the new connection before its subscription is answered, and before or between the
// pages of that sync; they are kept, but they never move the start of the gap. While a page
// leaves more behind and a message beyond it is listed already, the rest of the gap is asked for
// at once, page after page, until the room has nothing more between. A gap that a lost
// connection leaves open keeps its start for the next one. The history can leave a gap too: newer
// messages than the stored ones, more than one reply holds.
//
// It decides only; the page sends the syncs it answers. At most one sync of its own is on its
// way at a time. Main thread.
class ChatResync {
public:
    // A connection opened; `newestKnown`: the newest seq of the store and the list, before
    // anything came on it (none when both are empty). Requests of earlier connections are void.
    void connectionOpened(std::optional<std::int64_t> newestKnown);
    // The history, asked for what is newer than `askedAfter` (none: the newest page), answered
    // with more left than it holds: what lies between is a gap.
    void historyReceived(std::optional<std::int64_t> askedAfter, bool hasMore);

    // The connection is subscribed: the seq to sync newer messages from (none: nothing was known
    // when it opened, and the history brings the newest).
    std::optional<std::int64_t> subscribed();
    // A pull for newer messages: from the start of an open gap, else from `newestListed`.
    std::optional<std::int64_t> pulled(std::optional<std::int64_t> newestListed);
    // A page of newer messages came, its last seq and whether the room holds more after it: the
    // seq to ask from at once, or none.
    std::optional<std::int64_t> pageReceived(
        std::optional<std::int64_t> lastInPage, bool hasMore, std::optional<std::int64_t> newestListed);
    // A message was pushed on a subscribed connection: the seq to ask from at once when it lies
    // beyond an open gap that nothing is asking for, or none.
    std::optional<std::int64_t> pushReceived(std::int64_t seq);

    // The start of the gap still open, if any.
    std::optional<std::int64_t> gapFrom() const { return m_gapFrom; }
    bool isAsking() const { return m_asking; }

private:
    std::optional<std::int64_t> ask(std::optional<std::int64_t> from);

    std::optional<std::int64_t> m_gapFrom;
    bool m_asking = false;
};
