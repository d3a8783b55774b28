// The room endpoints of the API, over the chat rooms' state.

#include "tools/testserver/ChatRoomState.h"
#include "tools/testserver/JsonText.h"

namespace testserver {

namespace {

// The numbers the room endpoints take, as the app writes them: a number or its decimal text.
constexpr IntegerField anyNumber { anyInteger.low, anyInteger.high, true };
constexpr IntegerField userID { 1, ChatRoom::largestUserID, true };
// Whose restriction v1/room/user tells: 0, no member, is answered as free.
constexpr IntegerField askedUserID { 0, ChatRoom::largestUserID, true };
constexpr IntegerField seqNumber { 0, ChatRoom::largestSeq, true };
// Of a restriction (type 1): -1 for a ban, else seconds, whose own bounds blockRefusal() tells.
constexpr IntegerField muteTime { -1, ChatRoom::maxMuteSeconds, true };

IntegerRead parameter(const ApiCall& call, const char* key, const IntegerField& field = anyNumber)
{
    auto it = call.parameters.find(key);
    return it == call.parameters.end() ? IntegerRead() : readInteger(*it, field);
}

// An array parameter: a JSON array of numbers of the field (or their decimal texts) in `values`.
// Anything else, a list written as one text included, is no list: IntegerFault::notInteger, as
// for an element that is no number; an element outside the field is its fault.
IntegerFault listParameter(
    const ApiCall& call, const char* key, const IntegerField& field, std::vector<std::int64_t>& values)
{
    auto it = call.parameters.find(key);
    if (it == call.parameters.end() || !it->is_array())
        return IntegerFault::notInteger;
    for (const nlohmann::json& element : *it) {
        IntegerRead value = readInteger(element, field);
        if (!value)
            return value.fault;
        values.push_back(*value);
    }
    return IntegerFault::none;
}

ApiReply badParameter(const std::string& key)
{
    return ApiReply::error(1001, "参数错误: " + key);
}

// A number past its field, however far: refused whole, never cut or wrapped into it.
ApiReply outsideField(const char* what, const IntegerField& field)
{
    return ApiReply::error(1001,
        std::string(what) + "须在" + std::to_string(field.low) + "到" + std::to_string(field.high) + "之间");
}

ApiReply signInRequired()
{
    return ApiReply::error(2000, "请先登录");
}

}

nlohmann::json restJSON(const Message& message)
{
    nlohmann::json json
        = { { "seq", message.seq() }, { "receiver_type", static_cast<int>(message.receiver_type()) },
              { "receiver_id", message.receiver_id() },
              { "message_type", static_cast<int>(message.message_type()) },
              { "message_content", message.message_content() }, { "send_time", message.send_time() },
              { "status", static_cast<int>(message.status()) } };
    if (message.has_sender()) {
        const Sender& sender = message.sender();
        json["sender"] = { { "sender_type", static_cast<int>(sender.sender_type()) },
            { "sender_id", sender.sender_id() }, { "nickname", sender.nickname() },
            { "avatar_url", sender.avatar_url() }, { "rank_level", sender.rank_level() },
            { "rank_color", sender.rank_color() }, { "rank_name", sender.rank_name() },
            { "member_type", sender.member_type() } };
    }
    if (message.to_user_ids_size() > 0)
        json["to_user_ids"]
            = std::vector<std::int64_t>(message.to_user_ids().begin(), message.to_user_ids().end());
    if (message.link_seq() != 0)
        json["link_seq"] = message.link_seq();
    if (message.has_link_message()) {
        const LinkMessage& link = message.link_message();
        json["link_message"] = { { "message_content", link.message_content() },
            { "message_type", static_cast<int>(link.message_type()) }, { "sender_name", link.sender_name() },
            { "send_time", link.send_time() } };
    }
    return json;
}

void installChatApi(ApiServer& api, std::shared_ptr<ChatRoom::State> state)
{
    // Every endpoint works under the rooms' lock; a change is kept before its reply, and one that
    // the disk refused is undone and answered as not kept.
    using State = ChatRoom::State;
    auto room = [](State& state, const ApiCall& call) -> ChatRoomData* {
        auto it = state.rooms.find(parameter(call, "room_id").valueOr(0));
        return it == state.rooms.end() ? nullptr : &it->second;
    };

    api.handle("v1/room/maxseq", [state](const ApiCall&) {
        std::lock_guard lock(state->mutex);
        nlohmann::json list = nlohmann::json::array();
        for (const auto& [id, room] : state->rooms)
            list.push_back({ { "room_id", id }, { "max_seq", room.maxSeq } });
        return ApiReply::success(list);
    });

    api.handle("v1/room/current", [state, room](const ApiCall& call) {
        std::lock_guard lock(state->mutex);
        ChatRoomData* found = room(*state, call);
        if (!found)
            return badParameter("room_id");
        return ApiReply::success(
            { { "room_id", found->roomID }, { "online_devices", state->onlineCount(*found) },
                { "room_notice", found->notice }, { "max_seq", found->maxSeq } });
    });

    api.handle("v1/room/user", [state, room](const ApiCall& call) {
        std::lock_guard lock(state->mutex);
        ChatRoomData* found = room(*state, call);
        if (!found)
            return badParameter("room_id");
        // A user_id that is no number asks for the caller, as one that is missing does.
        IntegerRead asked = parameter(call, "user_id", askedUserID);
        if (isOutside(asked.fault))
            return outsideField("用户编号", askedUserID);
        std::optional<std::int64_t> user = asked ? std::optional(*asked) : state->userForToken(call.token);
        if (!user)
            return signInRequired();
        auto [isBlock, remain] = state->blockState(*user);
        auto member = state->members.find(*user);
        return ApiReply::success({ { "is_block", isBlock }, { "block_remain_time", remain },
            { "member_type", member == state->members.end() ? 0 : member->second.memberType },
            { "online_devices", state->onlineCount(*found) }, { "room_notice", found->notice } });
    });

    // The newest messages after `seq` (all of the room without it), a page at most.
    api.handle("v1/room/lastmsg", [state, room](const ApiCall& call) {
        std::lock_guard lock(state->mutex);
        ChatRoomData* found = room(*state, call);
        if (!found)
            return badParameter("room_id");
        IntegerRead seq = parameter(call, "seq", seqNumber);
        if (isOutside(seq.fault))
            return outsideField("消息编号", seqNumber);
        const std::int64_t after = seq.valueOr(0);
        std::vector<const Message*> range;
        for (const Message& message : found->messages) {
            if (message.seq() > after)
                range.push_back(&message);
        }
        std::size_t take = std::min(range.size(), State::pageSize);
        nlohmann::json messages = nlohmann::json::array();
        for (std::size_t i = range.size() - take; i < range.size(); ++i)
            messages.push_back(restJSON(state->withCurrentNames(*found, *range[i])));
        return ApiReply::success({ { "messages", messages }, { "has_more", range.size() > take },
            { "more_msg_count", range.size() - take } });
    });

    api.handle("v1/room/sendmsg", [state](const ApiCall& call) {
        std::lock_guard lock(state->mutex);
        std::optional<std::int64_t> user = state->userForToken(call.token);
        if (!user)
            return signInRequired();
        auto found = state->rooms.find(parameter(call, "receiver_id").valueOr(0));
        if (found == state->rooms.end())
            return badParameter("receiver_id");
        std::int64_t type = parameter(call, "type").valueOr(0);
        std::string content = call.parameters.value("content", nlohmann::json()).is_string()
            ? call.parameters["content"].get<std::string>()
            : "";
        if ((type != MT_TEXT && type != MT_IMAGE) || content.empty())
            return badParameter(content.empty() ? "content" : "type");
        std::optional<std::size_t> characters = utf8Characters(content);
        if (!characters)
            return badParameter("content");
        if (type == MT_TEXT && *characters > ChatRoom::maxTextCharacters)
            return ApiReply::error(
                1001, "消息太长，最多" + std::to_string(ChatRoom::maxTextCharacters) + "个字");
        if (type == MT_IMAGE && content.size() > ChatRoom::maxImageAddressBytes)
            return ApiReply::error(1001, "图片地址太长");
        std::vector<std::int64_t> mentions;
        if (call.parameters.contains("to_user_ids")) {
            IntegerFault fault = listParameter(call, "to_user_ids", userID, mentions);
            if (isOutside(fault))
                return outsideField("提及的用户编号", userID);
            if (fault != IntegerFault::none)
                return badParameter("to_user_ids");
            if (mentions.size() > ChatRoom::maxMentions)
                return ApiReply::error(
                    1001, "一条消息最多提及" + std::to_string(ChatRoom::maxMentions) + "人");
        }
        if (state->blockState(*user).first == 1)
            return ApiReply::error(3001, "你已被禁言");

        Message message = state->makeMessage(found->first, *user, content);
        message.set_message_type(static_cast<ChatMessageType>(type));
        for (std::int64_t id : mentions)
            message.add_to_user_ids(id);
        // A quote of a message the room does not have is left out, as is one that is no number.
        IntegerRead linkSeq = parameter(call, "link_seq", seqNumber);
        if (isOutside(linkSeq.fault))
            return outsideField("引用的消息编号", seqNumber);
        if (linkSeq) {
            for (const Message& quoted : found->second.messages) {
                if (quoted.seq() != *linkSeq)
                    continue;
                message.set_link_seq(*linkSeq);
                LinkMessage* link = message.mutable_link_message();
                link->set_message_content(quoted.message_content());
                link->set_message_type(quoted.message_type());
                link->set_sender_name(state->withCurrentNames(found->second, quoted).sender().nickname());
                link->set_send_time(quoted.send_time());
            }
        }
        message = state->stamped(found->second, std::move(message));
        if (std::optional<std::string> refused = state->refusal(message))
            return ApiReply::error(3003, *refused);
        std::int64_t seq = state->append(found->second, std::move(message));
        if (!state->settle())
            return ApiReply::notKept();
        return ApiReply::success({ { "seq", seq } }, "发送成功");
    });

    api.handle("v1/room/revokemsg", [state, room](const ApiCall& call) {
        std::lock_guard lock(state->mutex);
        std::optional<std::int64_t> user = state->userForToken(call.token);
        if (!user)
            return signInRequired();
        ChatRoomData* found = room(*state, call);
        if (!found)
            return badParameter("room_id");
        std::vector<std::int64_t> seqs;
        IntegerFault fault = listParameter(call, "seqs", seqNumber, seqs);
        if (isOutside(fault))
            return outsideField("消息编号", seqNumber);
        if (fault != IntegerFault::none || seqs.empty())
            return badParameter("seqs");
        bool admin = state->members[*user].memberType == 1;
        for (std::int64_t seq : seqs) {
            for (const Message& message : found->messages) {
                if (message.seq() == seq && !admin && message.sender().sender_id() != *user)
                    return ApiReply::error(3002, "没有权限");
            }
        }
        state->revoke(*found, seqs);
        if (!state->settle())
            return ApiReply::notKept();
        return ApiReply::success(nlohmann::json::object(), "撤回成功");
    });

    // type 1 restricts (time -1: a ban, else a mute of 1 to maxMuteSeconds seconds), type 2 lifts.
    api.handle("v1/room/blockuser", [state, room](const ApiCall& call) {
        std::lock_guard lock(state->mutex);
        std::optional<std::int64_t> user = state->userForToken(call.token);
        if (!user)
            return signInRequired();
        if (!room(*state, call))
            return badParameter("room_id");
        std::vector<std::int64_t> users;
        IntegerFault fault = listParameter(call, "user_ids", userID, users);
        const std::int64_t type = parameter(call, "type").valueOr(0);
        // A lift takes any time, and keeps none.
        IntegerRead time = parameter(call, "time", type == 1 ? muteTime : anyNumber);
        if (isOutside(fault))
            return outsideField("用户编号", userID);
        if (fault != IntegerFault::none || users.empty())
            return badParameter("user_ids");
        if (type != 1 && type != 2)
            return badParameter("type");
        if (time.fault == IntegerFault::aboveHigh && type == 1)
            return ApiReply::error(1001, muteLengthRefusal());
        if (!time)
            return badParameter("time");
        if (state->members[*user].memberType != 1)
            return ApiReply::error(3002, "没有权限");
        // All of them or none.
        if (std::optional<std::string> refused = state->blockRefusal(users, type == 1, type == 1 ? *time : 0))
            return ApiReply::error(1001, *refused);
        for (std::int64_t target : users)
            state->applyBlock(target, type == 1, type == 1 ? *time : 0);
        if (!state->settle())
            return ApiReply::notKept();
        return ApiReply::success(nlohmann::json::object(), "操作成功");
    });
}

}
