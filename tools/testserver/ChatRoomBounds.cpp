// What a room takes: every message and restriction within bounds that keep the state file under
// what the next start reads, and every seq and end of a mute a number that the server and any JSON
// reader count exactly.

#include "tools/testserver/ChatRoomState.h"

namespace testserver {

std::optional<std::size_t> utf8Characters(std::string_view text)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80 ? 1
            : (byte >> 5) == 0x6         ? 2
            : (byte >> 4) == 0xE         ? 3
            : (byte >> 3) == 0x1E        ? 4
                                         : 0;
        if (length == 0 || i + length > text.size())
            return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return std::nullopt;
        }
        i += length;
    }
    return characters;
}

std::string firstCharacters(std::string_view text, std::size_t count)
{
    std::size_t end = 0;
    for (std::size_t characters = 0; end < text.size() && characters < count; ++characters) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return std::string(text.substr(0, end));
}

std::optional<std::string> keptMessageFault(const Message& message)
{
    const std::string& content = message.message_content();
    std::optional<std::size_t> characters = utf8Characters(content);
    if (!characters)
        return "its text is not UTF-8";
    if (message.message_type() == MT_TEXT && *characters > ChatRoom::maxTextCharacters)
        return "its text is longer than " + std::to_string(ChatRoom::maxTextCharacters) + " characters";
    if (message.message_type() == MT_IMAGE && content.size() > ChatRoom::maxImageAddressBytes)
        return "its image address is longer than " + std::to_string(ChatRoom::maxImageAddressBytes) + " bytes";
    if (static_cast<std::size_t>(message.to_user_ids_size()) > ChatRoom::maxMentions)
        return "it mentions more than " + std::to_string(ChatRoom::maxMentions) + " members";
    for (std::int64_t id : message.to_user_ids()) {
        if (id < 1 || id > ChatRoom::largestUserID)
            return "it mentions a user id outside 1 to " + std::to_string(ChatRoom::largestUserID);
    }
    if (keptMessageBytes(message) > ChatRoom::maxKeptMessageBytes)
        return "it is larger than " + std::to_string(ChatRoom::maxKeptMessageBytes) + " bytes";
    return std::nullopt;
}

std::string muteLengthRefusal()
{
    return "禁言时长须在1秒到" + std::to_string(ChatRoom::maxMuteSeconds / 86400) + "天之间";
}

std::string userIDRefusal()
{
    return "用户编号须在1到" + std::to_string(ChatRoom::largestUserID) + "之间";
}

std::optional<std::string> ChatRoom::State::refusal(const Message& stamped) const
{
    // Past the largest seq the room would hand out a number that readers round or wrap.
    if (stamped.seq() > ChatRoom::largestSeq)
        return "聊天室的消息编号已用完，无法再发送";
    if (keptMessageBytes(stamped) > ChatRoom::maxKeptMessageBytes)
        return "消息太长，无法发送";
    return std::nullopt;
}

std::optional<std::string> ChatRoom::State::blockRefusal(
    const std::vector<std::int64_t>& userIDs, bool blocked, std::int64_t remainTime)
{
    if (!blocked)
        return std::nullopt;
    // A mute of no time would be answered as applied and be over at once; one past the bound
    // would end past what the clock counts.
    if (remainTime != -1 && (remainTime < 1 || remainTime > ChatRoom::maxMuteSeconds))
        return muteLengthRefusal();
    // The state file keeps the restricted ids for the next start, which reads no other.
    for (std::int64_t id : userIDs) {
        if (id < 1 || id > ChatRoom::largestUserID)
            return userIDRefusal();
    }
    std::size_t restricted = 0;
    for (auto& [id, member] : members) {
        // Mutes that have ended free their place.
        if (member.blocked && blockState(id).first == 1)
            ++restricted;
    }
    std::set<std::int64_t> added;
    for (std::int64_t id : userIDs) {
        auto it = members.find(id);
        if (it == members.end() || !it->second.blocked)
            added.insert(id);
    }
    if (restricted + added.size() > ChatRoom::maxRestrictions)
        return "受限制的成员已满，请先解除一些";
    return std::nullopt;
}

}
