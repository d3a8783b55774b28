// The changes of the rooms: a message, a recall, a restriction, a step of the script. Each is made
// in memory with a record of how to undo it, and what it tells the clients waits: settle() writes
// the state file first, and only a change the file took is told; one the disk refused is undone, so
// that no seq is handed out, no message shown, no restriction answered that the next start would
// not have.

#include "tools/testserver/ChatRoomState.h"

#include <algorithm>

namespace testserver {

namespace {

std::int64_t nowMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}

bool ChatRoom::State::settle()
{
    std::vector<std::function<void()>> toTell = std::move(tells);
    std::vector<std::function<void()>> toUndo = std::move(undoes);
    tells.clear();
    undoes.clear();
    if ((!toUndo.empty() || unkept) && !keep()) {
        for (auto it = toUndo.rbegin(); it != toUndo.rend(); ++it)
            (*it)();
        return false;
    }
    unkept = false;
    for (const std::function<void()>& tell : toTell)
        tell();
    return true;
}

Message ChatRoom::State::stamped(const ChatRoomData& room, Message message) const
{
    // The newest seq stays within the largest (refusal()), so the next one is still an int64.
    message.set_seq(std::max(message.seq(), room.maxSeq + 1));
    message.set_send_time(nowMilliseconds());
    return message;
}

std::int64_t ChatRoom::State::append(ChatRoomData& room, Message message)
{
    const std::int64_t before = room.maxSeq;
    room.maxSeq = message.seq();
    MessageOutput push;
    push.set_room_id(room.roomID);
    *push.mutable_message() = message;
    room.messages.push_back(std::move(message));
    ChatRoomData* target = &room;
    undoes.push_back([target, before] {
        target->messages.pop_back();
        target->maxSeq = before;
    });
    tells.push_back(
        [this, roomID = room.roomID, output = makeOutput(PT_MESSAGE, 0, push)] { toRoom(roomID, output); });
    return room.maxSeq;
}

std::int64_t ChatRoom::State::appendSample(ChatRoomData& room)
{
    const std::size_t index = nextSample % samples.size();
    const auto& [sender, text] = samples[index];
    Message message = stamped(room, makeMessage(room.roomID, sender, text));
    if (refusal(message))
        return 0;
    undoes.push_back([this, before = nextSample] { nextSample = before; });
    ++nextSample;
    return append(room, std::move(message));
}

std::vector<std::int64_t> ChatRoom::State::revoke(ChatRoomData& room, const std::vector<std::int64_t>& seqs)
{
    std::vector<std::int64_t> found;
    std::vector<Message> removed;
    for (std::int64_t seq : seqs) {
        auto it = std::find_if(room.messages.begin(), room.messages.end(),
            [seq](const Message& message) { return message.seq() == seq; });
        if (it == room.messages.end())
            continue;
        removed.push_back(std::move(*it));
        room.messages.erase(it);
        found.push_back(seq);
    }
    if (found.empty())
        return found;
    ChatRoomData* target = &room;
    undoes.push_back([target, removed = std::move(removed)] {
        for (const Message& message : removed) {
            auto at = std::lower_bound(target->messages.begin(), target->messages.end(), message.seq(),
                [](const Message& stored, std::int64_t seq) { return stored.seq() < seq; });
            target->messages.insert(at, message);
        }
    });
    RevokeMessageOutput push;
    push.set_code(1);
    for (std::int64_t seq : found)
        push.add_seqs(seq);
    tells.push_back(
        [this, roomID = room.roomID, output = makeOutput(PT_REVOKE, 0, push)] { toRoom(roomID, output); });
    return found;
}

void ChatRoom::State::applyBlock(std::int64_t userID, bool blocked, std::int64_t remainTime)
{
    auto existing = members.find(userID);
    std::optional<ChatMember> before
        = existing == members.end() ? std::nullopt : std::optional<ChatMember>(existing->second);
    undoes.push_back([this, userID, before] {
        if (before)
            members[userID] = *before;
        else
            members.erase(userID);
    });
    ChatMember& member = members[userID];
    member.userID = userID;
    member.blocked = blocked;
    member.blockEnds.reset();
    if (blocked && remainTime >= 0)
        member.blockEnds = std::chrono::system_clock::now() + std::chrono::seconds(remainTime);
    BlockUserOutput push;
    push.set_is_block(blocked ? 1 : 0);
    push.set_block_remain_time(blocked ? remainTime : 0);
    tells.push_back([this, userID, output = makeOutput(PT_BLOCK_USER, 0, push)] { toUser(userID, output); });
}

void ChatRoom::State::markPlayed(std::size_t step)
{
    const bool kept = scriptFromData && !dataPlayed.contains(step);
    played.insert(step);
    if (kept)
        dataPlayed.insert(step);
    undoes.push_back([this, step, kept] {
        played.erase(step);
        if (kept)
            dataPlayed.erase(step);
    });
}

bool ChatRoom::State::playStep(std::size_t index)
{
    const ChatScriptStep& step = script[index];
    if (step.drop)
        tells.push_back([this] { dropAll(); });
    if (auto room = rooms.find(1); room != rooms.end()) {
        for (int i = 0; i < step.push; ++i)
            appendSample(room->second);
        if (step.revoke > 0) {
            std::vector<std::int64_t> newest;
            for (auto it = room->second.messages.rbegin();
                 it != room->second.messages.rend() && int(newest.size()) < step.revoke; ++it)
                newest.push_back(it->seq());
            revoke(room->second, newest);
        }
    }
    if (step.block) {
        const bool blocked = step.block->isBlock == 1;
        if (!blockRefusal({ step.block->userID }, blocked, step.block->remainTime))
            applyBlock(step.block->userID, blocked, step.block->remainTime);
    }
    markPlayed(index);
    return settle();
}

void ChatRoom::State::countEvent(const std::string& event, const std::function<void(bool kept)>& reply)
{
    const int count = ++eventCounts[event];
    auto play = [&](bool beforeReply) {
        bool kept = true;
        for (std::size_t i = 0; i < script.size(); ++i) {
            const ChatScriptStep& step = script[i];
            if (step.on != event || count < step.count || step.beforeReply != beforeReply
                || played.contains(i))
                continue;
            kept = playStep(i) && kept;
        }
        return kept;
    };
    const bool kept = play(true);
    if (reply)
        reply(kept);
    play(false);
}

}
