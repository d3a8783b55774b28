// The rooms' state file in a state folder: what a room must not forget when its server starts
// again. Each room's newest messages and its newest seq, so that a client that stored messages
// above the sample's seqs sees new ones numbered on from them (a client keeps the first message of
// a seq it has, since a server never reuses one), and the members' mutes and bans with their ends.
// The sample's rooms, members and script come from the data file at every start.

#include "tools/testserver/ChatRoomState.h"
#include "tools/testserver/StoredAddresses.h"

#include <google/protobuf/util/json_util.h>

namespace testserver {

namespace {

std::optional<std::int64_t> integer(const nlohmann::json& object, const char* key)
{
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return std::nullopt;
    return it->get<std::int64_t>();
}

std::int64_t millisecondsOf(std::chrono::system_clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

struct KeptRoom {
    std::int64_t maxSeq = 0;
    std::vector<Message> messages;
};

struct KeptRestriction {
    std::int64_t userID = 0;
    std::optional<std::chrono::system_clock::time_point> ends; // none: a ban
};

struct KeptState {
    std::map<std::int64_t, KeptRoom> rooms;
    std::vector<KeptRestriction> restrictions;
};

// Reads the file's JSON whole; the first thing wrong is a message.
std::optional<std::string> parseState(const nlohmann::json& file, KeptState& kept)
{
    auto rooms = file.find("rooms");
    if (rooms == file.end() || !rooms->is_array())
        return "rooms is not a list";
    for (const nlohmann::json& entry : *rooms) {
        if (!entry.is_object())
            return "a room is not an object";
        std::optional<std::int64_t> roomID = integer(entry, "room_id");
        std::optional<std::int64_t> maxSeq = integer(entry, "max_seq");
        if (!roomID || !maxSeq || *maxSeq < 0)
            return "a room lacks its room_id or a max_seq of at least 0";
        std::string which = "room " + std::to_string(*roomID);
        if (kept.rooms.contains(*roomID))
            return which + " is there twice";
        auto messages = entry.find("messages");
        if (messages == entry.end() || !messages->is_array())
            return which + " has no list of messages";
        KeptRoom room;
        room.maxSeq = *maxSeq;
        for (const nlohmann::json& stored : *messages) {
            Message message;
            if (!stored.is_object()
                || !google::protobuf::util::JsonStringToMessage(stored.dump(), &message).ok())
                return "a message of " + which + " is not a message";
            std::int64_t previous = room.messages.empty() ? 0 : room.messages.back().seq();
            if (message.seq() <= previous || message.seq() > room.maxSeq)
                return "the messages of " + which + " do not ascend by seq up to its max_seq";
            room.messages.push_back(std::move(message));
        }
        kept.rooms[*roomID] = std::move(room);
    }

    auto restrictions = file.find("restrictions");
    if (restrictions == file.end() || !restrictions->is_array())
        return "restrictions is not a list";
    for (const nlohmann::json& entry : *restrictions) {
        std::optional<std::int64_t> userID = entry.is_object() ? integer(entry, "user_id") : std::nullopt;
        auto ends = entry.is_object() ? entry.find("ends_ms") : entry.end();
        if (!userID || ends == entry.end() || !(ends->is_null() || ends->is_number_integer()))
            return "a restriction lacks its user_id or its end (a time, or null for a ban)";
        KeptRestriction restriction { *userID, std::nullopt };
        if (ends->is_number_integer())
            restriction.ends
                = std::chrono::system_clock::time_point(std::chrono::milliseconds(ends->get<std::int64_t>()));
        kept.restrictions.push_back(restriction);
    }
    return std::nullopt;
}

}

bool ChatRoom::State::restore(std::string* error)
{
    auto fail = [error](std::string message) {
        if (error)
            *error = std::move(message);
        return false;
    };
    if (!folder)
        return true;
    StateFolder::Read read = folder->readJSON(stateFile);
    if (!read.ok)
        return fail(std::move(read.error));
    if (!read.value)
        return true;
    restoreAddresses(*read.value, httpPort, httpsPort);
    KeptState kept;
    if (std::optional<std::string> wrong = parseState(*read.value, kept))
        return fail("the state file " + (folder->path() / stateFile).string() + " is damaged: " + *wrong);

    for (auto& [roomID, keptRoom] : kept.rooms) {
        // A room the data no longer has is gone; the data decides which rooms there are.
        auto room = rooms.find(roomID);
        if (room == rooms.end())
            continue;
        room->second.messages = std::move(keptRoom.messages);
        // Never below a seq that was handed out: not the data's, not the kept room's.
        room->second.maxSeq = std::max(room->second.maxSeq, keptRoom.maxSeq);
    }
    for (const KeptRestriction& restriction : kept.restrictions) {
        ChatMember& member = members[restriction.userID];
        member.userID = restriction.userID;
        member.blocked = true;
        member.blockEnds = restriction.ends;
    }
    return true;
}

void ChatRoom::State::keep()
{
    if (!changed || !folder)
        return;
    google::protobuf::util::JsonPrintOptions options;
    options.preserve_proto_field_names = true;
    nlohmann::json keptRooms = nlohmann::json::array();
    for (const auto& [roomID, room] : rooms) {
        nlohmann::json messages = nlohmann::json::array();
        std::size_t skip
            = room.messages.size() > maxKeptMessages ? room.messages.size() - maxKeptMessages : 0;
        for (std::size_t i = skip; i < room.messages.size(); ++i) {
            std::string text;
            if (!google::protobuf::util::MessageToJsonString(room.messages[i], &text, options).ok())
                continue;
            nlohmann::json message = nlohmann::json::parse(text, nullptr, false);
            if (!message.is_discarded())
                messages.push_back(std::move(message));
        }
        keptRooms.push_back(
            { { "room_id", roomID }, { "max_seq", room.maxSeq }, { "messages", std::move(messages) } });
    }
    nlohmann::json restrictions = nlohmann::json::array();
    for (const auto& [userID, member] : members) {
        if (!member.blocked)
            continue;
        nlohmann::json ends
            = member.blockEnds ? nlohmann::json(millisecondsOf(*member.blockEnds)) : nlohmann::json();
        restrictions.push_back({ { "user_id", userID }, { "ends_ms", std::move(ends) } });
    }
    nlohmann::json file = { { "rooms", std::move(keptRooms) }, { "restrictions", std::move(restrictions) } };
    keepAddresses(file, httpPort, httpsPort);
    // Refused by the disk: the file keeps its last whole version, and the next change tries again.
    if (folder->writeJSON(stateFile, file))
        changed = false;
}

}
