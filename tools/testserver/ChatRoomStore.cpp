// The rooms' state file in a state folder: what a room must not forget when its server starts
// again. Each room's newest messages and its newest seq, so that a client that stored messages
// above the sample's seqs sees new ones numbered on from them (a client keeps the first message of
// a seq it has, since a server never reuses one), the members' mutes and bans with their ends, and
// which steps of the data's script have played ("script_played", absent from files of before it:
// none then), so that the script plays once for the folder. The sample's rooms, members and script
// come from the data file at every start.
//
// Texts are kept as they were sent, byte for byte. The server's own addresses follow its ports
// (StoredAddresses) in two places only: a sender's picture, which the room alone fills (from the
// data or an account's profile), and the picture of an image message, or of the quote of one, at
// the server's origin (as the upload route answers them), which the file holds under
// "server_address" in place of "message_content". No client can put a text there, so an image
// address that a client typed on port 0 reads back as typed. A file without "texts_as_typed" is of
// an earlier server, which wrote every text that began with its origin on port 0: there an image's
// address and a sender's picture on port 0 follow the ports as they did then, and every other
// text is read as it stands.

#include "tools/testserver/ChatRoomState.h"
#include "tools/testserver/JsonText.h"
#include "tools/testserver/StoredAddresses.h"

#include <algorithm>
#include <google/protobuf/util/json_util.h>
#include <limits>

namespace testserver {

namespace {

constexpr const char* typedFormKey = "texts_as_typed";
// No longer than "message_content", which it replaces: a message takes no more room in the file
// than the room measured it by.
constexpr const char* serverAddressKey = "server_address";

// The whole numbers of the file, as this server writes them: JSON numbers, never their texts.
constexpr IntegerField roomIDs = anyInteger;
constexpr IntegerField seqs { 0, ChatRoom::largestSeq };
constexpr IntegerField userIDs { 1, ChatRoom::largestUserID };

IntegerRead integer(const nlohmann::json& object, const char* key, const IntegerField& field)
{
    auto it = object.find(key);
    return it == object.end() ? IntegerRead() : readInteger(*it, field);
}

std::int64_t millisecondsOf(std::chrono::system_clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

// The latest end of a mute that the clock counts, in milliseconds since 1970.
constexpr std::int64_t largestEndMilliseconds
    = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::duration::max())
          .count();

std::optional<nlohmann::json> keptJSON(const Message& message)
{
    google::protobuf::util::JsonPrintOptions options;
    options.preserve_proto_field_names = true;
    std::string text;
    if (!google::protobuf::util::MessageToJsonString(message, &text, options).ok())
        return std::nullopt;
    nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded())
        return std::nullopt;
    return json;
}

// A message (or its quote) of the file's form: its picture, when it is an image at this server's
// origin, under serverAddressKey on port 0.
void keepPicture(nlohmann::json& message, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    auto content = message.find("message_content");
    if (message.value("message_type", nlohmann::json()) != "MT_IMAGE" || content == message.end()
        || !content->is_string())
        return;
    std::optional<std::string> kept = keptAddress(content->get<std::string>(), httpPort, httpsPort);
    if (!kept)
        return;
    message.erase(content);
    message[serverAddressKey] = std::move(*kept);
}

nlohmann::json keptForm(nlohmann::json message, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    keepPicture(message, httpPort, httpsPort);
    if (auto link = message.find("link_message"); link != message.end() && link->is_object())
        keepPicture(*link, httpPort, httpsPort);
    if (auto sender = message.find("sender"); sender != message.end() && sender->is_object()) {
        auto picture = sender->find("avatar_url");
        if (picture != sender->end() && picture->is_string()) {
            std::optional<std::string> kept = keptAddress(picture->get<std::string>(), httpPort, httpsPort);
            if (kept)
                *picture = std::move(*kept);
        }
    }
    return message;
}

// Puts the picture that a message object of the file keeps under serverAddressKey back as its
// "message_content" (`taken` says whether it had one); false when it is not as the server writes
// it: no text, or beside a content of its own.
bool takeServerAddress(nlohmann::json& message, bool& taken)
{
    auto kept = message.find(serverAddressKey);
    taken = kept != message.end();
    if (!taken)
        return true;
    if (!kept->is_string() || message.contains("message_content"))
        return false;
    nlohmann::json address = std::move(*kept);
    message.erase(kept);
    message["message_content"] = std::move(address);
    return true;
}

// Which texts of a message read back are the server's pictures, kept on port 0.
struct KeptPictures {
    bool content = false;
    bool quoted = false;
};

// The message of a stored object, in the form the file keeps it (its pictures on port 0) and
// where its pictures are; none when it is not a message.
std::optional<std::pair<Message, KeptPictures>> readMessage(const nlohmann::json& stored, bool typed)
{
    if (!stored.is_object())
        return std::nullopt;
    nlohmann::json form = stored;
    KeptPictures pictures;
    if (typed) {
        auto link = form.find("link_message");
        if (!takeServerAddress(form, pictures.content)
            || (link != form.end() && link->is_object() && !takeServerAddress(*link, pictures.quoted)))
            return std::nullopt;
    }
    Message message;
    if (!google::protobuf::util::JsonStringToMessage(form.dump(), &message).ok())
        return std::nullopt;
    const bool image = message.message_type() == MT_IMAGE;
    const bool quotedImage = message.link_message().message_type() == MT_IMAGE;
    // The earlier form kept every text at the server's origin on port 0: of those only an image's
    // address can be a picture of the server's.
    if (!typed)
        pictures = { image, quotedImage };
    if ((pictures.content && !image) || (pictures.quoted && !quotedImage))
        return std::nullopt;
    return std::pair(std::move(message), pictures);
}

// A message read back, its pictures pointed at these ports.
void restorePictures(Message& message, KeptPictures pictures, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    auto restored = [&](const std::string& kept) { return restoredAddress(kept, httpPort, httpsPort); };
    if (pictures.content)
        message.set_message_content(restored(message.message_content()));
    if (pictures.quoted) {
        LinkMessage* quote = message.mutable_link_message();
        quote->set_message_content(restored(quote->message_content()));
    }
    if (message.has_sender())
        message.mutable_sender()->set_avatar_url(restored(message.sender().avatar_url()));
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
    std::set<std::size_t> scriptPlayed;
};

// Reads the file's JSON whole, the server's pictures pointed at these ports; the first thing wrong
// is a message.
std::optional<std::string> parseState(
    const nlohmann::json& file, KeptState& kept, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    const bool typed = file.value(typedFormKey, nlohmann::json()) == true;
    auto rooms = file.find("rooms");
    if (rooms == file.end() || !rooms->is_array())
        return "rooms is not a list";
    for (const nlohmann::json& entry : *rooms) {
        if (!entry.is_object())
            return "a room is not an object";
        IntegerRead roomID = integer(entry, "room_id", roomIDs);
        IntegerRead maxSeq = integer(entry, "max_seq", seqs);
        if (!roomID || !(maxSeq || maxSeq.fault == IntegerFault::aboveHigh))
            return "a room lacks its room_id or a max_seq of at least 0";
        std::string which = "room " + std::to_string(*roomID);
        if (!maxSeq)
            return "the max_seq of " + which + " is past " + std::to_string(ChatRoom::largestSeq);
        if (kept.rooms.contains(*roomID))
            return which + " is there twice";
        auto messages = entry.find("messages");
        if (messages == entry.end() || !messages->is_array())
            return which + " has no list of messages";
        KeptRoom room;
        room.maxSeq = *maxSeq;
        for (const nlohmann::json& stored : *messages) {
            std::optional<std::pair<Message, KeptPictures>> read = readMessage(stored, typed);
            if (!read)
                return "a message of " + which + " is not a message";
            auto& [message, pictures] = *read;
            std::int64_t previous = room.messages.empty() ? 0 : room.messages.back().seq();
            if (message.seq() <= previous || message.seq() > room.maxSeq)
                return "the messages of " + which + " do not ascend by seq up to its max_seq";
            // Checked as the file keeps it: the form that the room measured within its bounds.
            if (std::optional<std::string> fault = keptMessageFault(message))
                return "the message " + std::to_string(message.seq()) + " of " + which + " is not one the room takes: "
                    + *fault;
            restorePictures(message, pictures, httpPort, httpsPort);
            room.messages.push_back(std::move(message));
        }
        kept.rooms[*roomID] = std::move(room);
    }

    auto restrictions = file.find("restrictions");
    if (restrictions == file.end() || !restrictions->is_array())
        return "restrictions is not a list";
    for (const nlohmann::json& entry : *restrictions) {
        IntegerRead userID = entry.is_object() ? integer(entry, "user_id", userIDs) : IntegerRead();
        auto ends = entry.is_object() ? entry.find("ends_ms") : entry.end();
        if (isOutside(userID.fault))
            return "the user_id of a restriction is not " + wholeNumberFrom(userIDs);
        if (!userID || ends == entry.end() || !(ends->is_null() || ends->is_number_integer()))
            return "a restriction lacks its user_id or its end (a time, or null for a ban)";
        KeptRestriction restriction { *userID, std::nullopt };
        if (!ends->is_null()) {
            IntegerRead milliseconds = readInteger(*ends, { 0, largestEndMilliseconds });
            if (!milliseconds)
                return "the end of the restriction of " + std::to_string(restriction.userID)
                    + " is not a time from 0 to " + std::to_string(largestEndMilliseconds) + " ms";
            restriction.ends
                = std::chrono::system_clock::time_point(std::chrono::milliseconds(*milliseconds));
        }
        kept.restrictions.push_back(restriction);
    }
    if (kept.restrictions.size() > ChatRoom::maxRestrictions)
        return "more than " + std::to_string(ChatRoom::maxRestrictions) + " restrictions";

    if (auto played = file.find("script_played"); played != file.end()) {
        if (!played->is_array())
            return "script_played is not a list of steps";
        for (const nlohmann::json& step : *played) {
            if (!step.is_number_unsigned())
                return "script_played is not a list of steps";
            kept.scriptPlayed.insert(step.get<std::size_t>());
        }
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
    KeptState kept;
    if (std::optional<std::string> wrong = parseState(*read.value, kept, httpPort, httpsPort))
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
    // Steps the data's script no longer has are forgotten.
    for (std::size_t step : kept.scriptPlayed) {
        if (step < script.size())
            dataPlayed.insert(step);
    }
    if (scriptFromData)
        played = dataPlayed;
    return true;
}

std::size_t keptMessageBytes(const Message& message)
{
    std::optional<nlohmann::json> json = keptJSON(message);
    if (!json)
        return std::numeric_limits<std::size_t>::max();
    // As the state folder writes it: one field a line, the message four levels in, and the
    // separator from the one before it.
    std::string text = json->dump(1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    return text.size() + 4 * lines + 2;
}

bool ChatRoom::State::keep()
{
    if (!folder)
        return true;
    nlohmann::json keptRooms = nlohmann::json::array();
    for (const auto& [roomID, room] : rooms) {
        nlohmann::json messages = nlohmann::json::array();
        std::size_t skip
            = room.messages.size() > maxKeptMessages ? room.messages.size() - maxKeptMessages : 0;
        for (std::size_t i = skip; i < room.messages.size(); ++i) {
            // Every message the room took was measured through this same form.
            if (std::optional<nlohmann::json> message = keptJSON(room.messages[i]))
                messages.push_back(keptForm(std::move(*message), httpPort, httpsPort));
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
    nlohmann::json file = { { typedFormKey, true }, { "rooms", std::move(keptRooms) },
        { "restrictions", std::move(restrictions) }, { "script_played", dataPlayed } };
    return folder->writeJSON(stateFile, file);
}

}
