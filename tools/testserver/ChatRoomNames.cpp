// The names the rooms give accounts of the server. A message keeps the name its sender had when it
// was sent, as it was pushed; whenever the room answers it again (history, a sync, a quote) the
// sender is named as the account is named now, as a real server that keeps its users apart from
// their messages does. Members that only the room's data knows keep the names of the data.

#include "tools/testserver/ChatRoomState.h"
#include "tools/testserver/SampleAccounts.h"

#include <algorithm>

namespace testserver {

std::optional<ChatLook> ChatRoom::State::accountLook(std::int64_t userID) const
{
    if (!api || userID <= 0)
        return std::nullopt;
    std::shared_ptr<SampleAccounts> accounts = SampleAccounts::of(*api);
    std::optional<nlohmann::json> profile = accounts ? accounts->profileOf(userID) : std::nullopt;
    if (!profile || !profile->is_object())
        return std::nullopt;
    // A profile read back from a state folder is checked as an object only: a field of another
    // kind counts as empty.
    auto text = [&](const char* key) {
        auto it = profile->find(key);
        return it != profile->end() && it->is_string() ? it->get<std::string>() : std::string();
    };
    // What a message copies of them is bounded: a nickname's first characters, a picture's
    // address only when it is no longer than an address the room keeps.
    std::string avatar = text("avatar");
    if (avatar.size() > ChatRoom::maxPictureAddressBytes)
        avatar.clear();
    return ChatLook { firstCharacters(text("nickname"), ChatRoom::maxNameCharacters), std::move(avatar) };
}

Message ChatRoom::State::withCurrentNames(const ChatRoomData& room, Message message) const
{
    if (message.has_sender() && message.sender().sender_type() == ST_USER) {
        if (std::optional<ChatLook> look = accountLook(message.sender().sender_id())) {
            message.mutable_sender()->set_nickname(std::move(look->nickname));
            message.mutable_sender()->set_avatar_url(std::move(look->avatarURL));
        }
    }
    if (message.link_seq() == 0 || !message.has_link_message())
        return message;
    // The quoted message while the room still has it (a recalled one keeps the name it was quoted
    // with); the room's messages ascend by seq.
    auto quoted = std::lower_bound(room.messages.begin(), room.messages.end(), message.link_seq(),
        [](const Message& stored, std::int64_t seq) { return stored.seq() < seq; });
    if (quoted == room.messages.end() || quoted->seq() != message.link_seq() || !quoted->has_sender()
        || quoted->sender().sender_type() != ST_USER)
        return message;
    if (std::optional<ChatLook> look = accountLook(quoted->sender().sender_id()))
        message.mutable_link_message()->set_sender_name(std::move(look->nickname));
    return message;
}

}
