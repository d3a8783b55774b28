#include "tools/testserver/ChatRoom.h"

#include "tools/testserver/ChatRoomState.h"
#include "tools/testserver/JsonText.h"
#include "tools/testserver/SampleAccounts.h"
#include "tools/testserver/StaticFiles.h"

#include <algorithm>
#include <fstream>
#include <google/protobuf/util/json_util.h>
#include <limits>
#include <sstream>

namespace testserver {

namespace {

std::optional<nlohmann::json> readJSON(const std::filesystem::path& file, std::string* error)
{
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    nlohmann::json json = nlohmann::json::parse(text.str(), nullptr, false);
    if (!stream || json.is_discarded()) {
        if (error)
            *error = "not a JSON file: " + file.string();
        return std::nullopt;
    }
    return json;
}

void pointAtServer(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    if (value.is_string()) {
        value = pointAtLoopback(value.get<std::string>(), httpPort, httpsPort);
        return;
    }
    if (value.is_structured()) {
        for (auto& element : value)
            pointAtServer(element, httpPort, httpsPort);
    }
}

// The path of the chat address in the server-address file; "/ws" without one.
std::string socketPath(const std::filesystem::path& dataDir)
{
    std::optional<nlohmann::json> domain = readJSON(dataDir / "domain_v2.json", nullptr);
    std::string url = domain && domain->is_object() ? domain->value("room_gateway_websocket_url", "") : "";
    size_t scheme = url.find("://");
    size_t slash = scheme == std::string::npos ? std::string::npos : url.find('/', scheme + 3);
    if (slash == std::string::npos)
        return "/ws";
    return url.substr(slash, url.find_first_of("?#", slash) - slash);
}

template<class Payload> std::optional<Payload> decode(const std::string& bytes)
{
    Payload payload;
    if (!payload.ParseFromString(bytes))
        return std::nullopt;
    return payload;
}

constexpr IntegerField anyNumber = anyInteger;
constexpr IntegerField counts { 0, std::numeric_limits<int>::max() };
constexpr IntegerField ids { 1, StateFolder::maxExactInteger };

// A whole number of the data file: `fallback` when it is missing; none, with what is wrong in
// `problem`, when it is no number of its field.
std::optional<std::int64_t> number(const nlohmann::json& entry, const char* key, std::int64_t fallback,
    const IntegerField& field, std::string& problem)
{
    auto it = entry.find(key);
    if (it == entry.end())
        return fallback;
    IntegerRead read = readInteger(*it, field);
    if (!read) {
        problem = std::string(key) + " is not " + wholeNumberFrom(field);
        return std::nullopt;
    }
    return *read;
}

std::optional<ChatScriptStep> scriptStep(const nlohmann::json& json, std::string& problem)
{
    ChatScriptStep step;
    step.on = json.value("on", "");
    std::optional<std::int64_t> count = number(json, "count", 1, { 1, counts.high }, problem);
    std::optional<std::int64_t> push = number(json, "push", 0, counts, problem);
    std::optional<std::int64_t> revoke = number(json, "revoke", 0, counts, problem);
    if (!count || !push || !revoke)
        return std::nullopt;
    step.count = static_cast<int>(*count);
    step.push = static_cast<int>(*push);
    step.revoke = static_cast<int>(*revoke);
    step.drop = json.value("drop", false);
    step.beforeReply = json.value("before_reply", false);
    if (json.contains("block") && json["block"].is_object()) {
        const nlohmann::json& block = json["block"];
        std::optional<std::int64_t> userID = number(block, "user_id", 0, anyNumber, problem);
        std::optional<std::int64_t> isBlock = number(block, "is_block", 1, anyNumber, problem);
        std::optional<std::int64_t> remainTime = number(block, "remain_time", -1, anyNumber, problem);
        if (!userID || !isBlock || !remainTime)
            return std::nullopt;
        step.block = ChatScriptStep::Block { *userID, *isBlock, *remainTime };
    }
    return step;
}

}

Output makeOutput(PackageType type, std::int64_t requestID, const google::protobuf::Message& payload,
    std::int32_t code, std::string message)
{
    Output output;
    output.set_type(type);
    output.set_request_id(requestID);
    output.set_code(code);
    output.set_message(std::move(message));
    output.set_data(payload.SerializeAsString());
    return output;
}

bool ChatRoom::State::load(std::string* error)
{
    std::optional<nlohmann::json> file = readJSON(dataFile, error);
    if (!file)
        return false;
    pointAtServer(*file, httpPort, httpsPort);
    rooms.clear();
    members.clear();
    samples.clear();
    nextSample = 0;
    script.clear();
    scriptFromData = true;
    played.clear();
    dataPlayed.clear();
    eventCounts.clear();
    auto fail = [&](std::string what) {
        if (error)
            *error = dataFile.string() + ": " + what;
        return false;
    };
    std::string problem;
    for (const nlohmann::json& entry : file->value("rooms", nlohmann::json::array())) {
        ChatRoomData room;
        std::optional<std::int64_t> roomID = number(entry, "room_id", 0, ids, problem);
        if (!roomID)
            return fail("a room's " + problem);
        room.roomID = *roomID;
        room.notice = entry.value("notice", "");
        // What a heartbeat counts on top of it stays an int64.
        std::optional<std::int64_t> baseOnline = number(entry, "base_online", 0, { 0, ids.high }, problem);
        if (!baseOnline)
            return fail("room " + std::to_string(room.roomID) + "'s " + problem);
        room.baseOnline = *baseOnline;
        // However far past the largest seq, it is past it (below).
        IntegerRead maxSeq = readInteger(entry.value("max_seq", nlohmann::json(0)), { 0, anyNumber.high });
        if (!maxSeq && maxSeq.fault != IntegerFault::aboveHigh)
            return fail("room " + std::to_string(room.roomID) + "'s max_seq is not a whole number from 0");
        room.maxSeq = maxSeq ? *maxSeq : anyNumber.high;
        for (const nlohmann::json& stored : entry.value("messages", nlohmann::json::array())) {
            Message message;
            if (!google::protobuf::util::JsonStringToMessage(stored.dump(), &message).ok()) {
                if (error)
                    *error = "a message of room " + std::to_string(room.roomID) + " is not a Message";
                return false;
            }
            room.maxSeq = std::max(room.maxSeq, message.seq());
            room.messages.push_back(std::move(message));
        }
        if (room.maxSeq > ChatRoom::largestSeq)
            return fail("room " + std::to_string(room.roomID) + " has a seq past "
                + std::to_string(ChatRoom::largestSeq));
        std::sort(room.messages.begin(), room.messages.end(),
            [](const Message& a, const Message& b) { return a.seq() < b.seq(); });
        rooms[room.roomID] = std::move(room);
    }
    for (const nlohmann::json& entry : file->value("members", nlohmann::json::array())) {
        ChatMember member;
        std::optional<std::int64_t> userID = number(entry, "user_id", 0, ids, problem);
        std::optional<std::int64_t> memberType = number(entry, "member_type", 0, anyNumber, problem);
        std::optional<std::int64_t> rankLevel = number(entry, "rank_level", 0, anyNumber, problem);
        if (!userID || !memberType || !rankLevel)
            return fail("a member's " + problem);
        member.userID = *userID;
        member.nickname = entry.value("nickname", "");
        member.avatarURL = entry.value("avatar_url", "");
        member.memberType = *memberType;
        member.rankLevel = *rankLevel;
        member.rankName = entry.value("rank_name", "");
        member.rankColor = entry.value("rank_color", "");
        members[member.userID] = std::move(member);
    }
    for (const nlohmann::json& entry : file->value("pushes", nlohmann::json::array())) {
        // [sender, text]; the sender 0 is the room itself.
        IntegerRead sender
            = entry.is_array() && entry.size() == 2 ? readInteger(entry[0], { 0, ids.high }) : IntegerRead();
        if (sender && entry[1].is_string())
            samples.emplace_back(*sender, entry[1].get<std::string>());
    }
    for (const nlohmann::json& entry : file->value("script", nlohmann::json::array())) {
        std::optional<ChatScriptStep> step = scriptStep(entry, problem);
        if (!step)
            return fail("a step of the script: " + problem);
        script.push_back(std::move(*step));
    }
    if (!rooms.contains(1) || samples.empty())
        return fail("needs room 1 and sample pushes");
    // The state file keeps each room's newest messages, and stays under what a start reads only
    // for so many rooms.
    if (rooms.size() > ChatRoom::maxRooms)
        return fail("has more than " + std::to_string(ChatRoom::maxRooms) + " rooms");
    return true;
}

std::optional<std::int64_t> ChatRoom::State::userForToken(const std::optional<std::string>& token)
{
    if (!token)
        return std::nullopt;
    // The sample account keeps its file's tokens and its place in the room's data, whatever its
    // sign-ins have become since.
    if (tokens.contains(*token))
        return accountUserID;
    std::shared_ptr<SampleAccounts> accounts = api ? SampleAccounts::of(*api) : nullptr;
    std::optional<nlohmann::json> profile = accounts ? accounts->profileForToken(*token) : std::nullopt;
    if (!profile || !profile->is_object())
        return std::nullopt;
    auto field = [&](const char* key) {
        auto it = profile->find(key);
        return it == profile->end() ? nlohmann::json() : *it;
    };
    IntegerRead id = readInteger(field("id"), { 1, ChatRoom::largestUserID });
    if (!id)
        return std::nullopt;
    // Its name and picture are the account's (accountLook), asked whenever a message is made.
    ChatMember& member = members[*id];
    member.userID = *id;
    return member.userID;
}

std::int64_t ChatRoom::State::onlineCount(const ChatRoomData& room) const
{
    std::int64_t count = room.baseOnline;
    for (const auto& [id, connection] : connections) {
        if (connection.roomID == room.roomID)
            ++count;
    }
    return count;
}

std::pair<std::int64_t, std::int64_t> ChatRoom::State::blockState(std::int64_t userID)
{
    auto it = members.find(userID);
    if (it == members.end() || !it->second.blocked)
        return { 0, 0 };
    ChatMember& member = it->second;
    if (!member.blockEnds)
        return { 1, -1 };
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        *member.blockEnds - std::chrono::system_clock::now());
    if (left.count() <= 0) {
        member.blocked = false;
        member.blockEnds.reset();
        return { 0, 0 };
    }
    // A second begun counts whole: a mute of one second just applied is still one second long.
    return { 1, (left.count() + 999) / 1000 };
}

Message ChatRoom::State::makeMessage(std::int64_t roomID, std::int64_t senderID, std::string text) const
{
    Message message;
    Sender* sender = message.mutable_sender();
    sender->set_sender_type(senderID == 0 ? ST_SYSTEM : ST_USER);
    sender->set_sender_id(senderID);
    if (auto it = members.find(senderID); it != members.end()) {
        sender->set_nickname(it->second.nickname);
        sender->set_avatar_url(it->second.avatarURL);
        sender->set_member_type(it->second.memberType);
        sender->set_rank_level(it->second.rankLevel);
        sender->set_rank_name(it->second.rankName);
        sender->set_rank_color(it->second.rankColor);
    }
    // An account of the server speaks under its name of now, the sample account too; its place
    // (role, rank) stays the data's.
    if (std::optional<ChatLook> look = accountLook(senderID)) {
        sender->set_nickname(std::move(look->nickname));
        sender->set_avatar_url(std::move(look->avatarURL));
    }
    message.set_receiver_type(RT_ROOM);
    message.set_receiver_id(roomID);
    message.set_message_type(MT_TEXT);
    message.set_message_content(std::move(text));
    message.set_status(MS_NORMAL);
    return message;
}

void ChatRoom::State::dropAll()
{
    for (auto& [id, connection] : connections) {
        if (auto peer = connection.peer.lock())
            peer->drop();
    }
}

void ChatRoom::State::toRoom(std::int64_t roomID, const Output& output)
{
    std::string bytes = output.SerializeAsString();
    for (auto& [id, connection] : connections) {
        if (connection.roomID != roomID)
            continue;
        if (auto peer = connection.peer.lock())
            peer->send(bytes);
    }
}

void ChatRoom::State::toUser(std::int64_t userID, const Output& output)
{
    std::string bytes = output.SerializeAsString();
    for (auto& [id, connection] : connections) {
        if (connection.userID != userID)
            continue;
        if (auto peer = connection.peer.lock())
            peer->send(bytes);
    }
}

namespace {

// The answer to a request whose steps of the script ahead of it could not be kept.
Output notKeptOutput(PackageType type, std::int64_t requestID, const google::protobuf::Message& payload)
{
    return makeOutput(type, requestID, payload, 0, notKeptMessage);
}

// One frame of a client, on the server's thread.
void handleFrame(
    ChatRoom::State& state, const std::shared_ptr<WebSocketPeer>& peer, std::string bytes, bool binary)
{
    std::lock_guard lock(state.mutex);
    ChatFrame frame { peer->id(), bytes, std::nullopt };
    Input input;
    if (binary && input.ParseFromString(bytes))
        frame.input = input;
    const bool parsed = frame.input.has_value();
    if (state.received.size() < ChatRoom::State::maxRecordedFrames)
        state.received.push_back(std::move(frame));
    auto found = state.connections.find(peer->id());
    if (!binary || !parsed || found == state.connections.end())
        return;
    ChatConnection& connection = found->second;
    auto reply = [&](const Output& output) { peer->send(output.SerializeAsString()); };
    const std::int64_t requestID = input.request_id();

    switch (input.type()) {
    case PT_SIGN_IN: {
        std::optional<SignInInput> signIn = decode<SignInInput>(input.data());
        constexpr std::string_view scheme = "Bearer ";
        std::optional<std::int64_t> user;
        if (signIn && signIn->token().starts_with(scheme))
            user = state.userForToken(signIn->token().substr(scheme.size()));
        if (user && signIn->user_id() != 0 && signIn->user_id() != *user)
            user.reset();
        SignInOutput answer;
        answer.set_code(user ? 1 : 0);
        connection.userID = user;
        state.countEvent("sign_in", [&](bool kept) {
            if (!kept) {
                connection.userID.reset();
                reply(notKeptOutput(PT_SIGN_IN, requestID, SignInOutput()));
                return;
            }
            reply(
                makeOutput(PT_SIGN_IN, requestID, answer, user ? 1 : 0, user ? "success" : "token invalid"));
        });
        return;
    }
    case PT_SUBSCRIBE_ROOM: {
        std::optional<SubscribeRoomInput> subscribe = decode<SubscribeRoomInput>(input.data());
        SubscribeRoomOutput answer;
        auto room = subscribe ? state.rooms.find(subscribe->room_id()) : state.rooms.end();
        const std::optional<std::int64_t> before = connection.roomID;
        if (connection.userID && room != state.rooms.end()) {
            connection.roomID = room->first;
            answer.set_code(1);
            answer.set_room_conns(state.onlineCount(room->second));
        }
        state.countEvent("subscribe", [&](bool kept) {
            if (!kept) {
                connection.roomID = before;
                reply(notKeptOutput(PT_SUBSCRIBE_ROOM, requestID, SubscribeRoomOutput()));
                return;
            }
            reply(makeOutput(PT_SUBSCRIBE_ROOM, requestID, answer, static_cast<std::int32_t>(answer.code())));
        });
        return;
    }
    case PT_SYNC: {
        std::optional<SyncInput> sync = decode<SyncInput>(input.data());
        SyncOutput answer;
        auto room = connection.roomID ? state.rooms.find(*connection.roomID) : state.rooms.end();
        if (sync && room != state.rooms.end() && (sync->flag() == 1 || sync->flag() == -1)) {
            const std::vector<Message>& all = room->second.messages;
            std::vector<const Message*> range;
            for (const Message& message : all) {
                if (sync->flag() == 1 ? message.seq() > sync->seq() : message.seq() < sync->seq())
                    range.push_back(&message);
            }
            std::size_t take = std::min(range.size(), ChatRoom::State::pageSize);
            // Newer: the ones right after seq; older: the ones right before it.
            std::size_t first = sync->flag() == 1 ? 0 : range.size() - take;
            for (std::size_t i = first; i < first + take; ++i)
                *answer.add_messages() = state.withCurrentNames(room->second, *range[i]);
            answer.set_has_more(range.size() > take);
            answer.set_more_msg_count(static_cast<std::int64_t>(range.size() - take));
        }
        const bool inRoom = room != state.rooms.end();
        state.countEvent("sync", [&](bool kept) {
            reply(kept ? makeOutput(PT_SYNC, requestID, answer, inRoom ? 1 : 0)
                       : notKeptOutput(PT_SYNC, requestID, SyncOutput()));
        });
        return;
    }
    case PT_HEARTBEAT: {
        HeartBeatOutput answer;
        if (auto room = connection.roomID ? state.rooms.find(*connection.roomID) : state.rooms.end();
            room != state.rooms.end()) {
            answer.set_room_id(room->first);
            answer.set_room_conns(state.onlineCount(room->second));
            answer.set_room_notice(room->second.notice);
        }
        state.countEvent("heartbeat", [&](bool kept) {
            reply(kept ? makeOutput(PT_HEARTBEAT, requestID, answer)
                       : notKeptOutput(PT_HEARTBEAT, requestID, HeartBeatOutput()));
        });
        return;
    }
    case PT_MESSAGE:
        // Acknowledgements are taken note of, not answered.
        state.countEvent("ack");
        return;
    default:
        return;
    }
}

}

std::unique_ptr<ChatRoom> ChatRoom::install(
    TestServer& server, ApiServer& api, const std::filesystem::path& dataDir, std::string* error)
{
    auto state = std::make_shared<State>();
    state->dataFile = dataDir / "api" / "chat_room.json";
    state->httpPort = server.httpPort();
    state->httpsPort = server.httpsPort();
    state->path = socketPath(dataDir);
    std::optional<nlohmann::json> account = readJSON(dataDir / "api" / "account.json", error);
    if (!account)
        return nullptr;
    for (const char* key : { "access_token", "refreshed_token" }) {
        if (std::string token = account->value(key, ""); !token.empty())
            state->tokens.insert(token);
    }
    // The sample accounts' own start refuses an id out of bounds; none signs in as it meanwhile.
    state->accountUserID
        = readInteger(account->value("user", nlohmann::json::object()).value("id", nlohmann::json()),
            { 1, ChatRoom::largestUserID })
              .valueOr(0);
    state->api = &api;
    state->folder = api.stateFolder();
    {
        std::lock_guard lock(state->mutex);
        if (!state->load(error) || !state->restore(error))
            return nullptr;
    }

    WebSocketCallbacks callbacks;
    std::weak_ptr<State> weak = state;
    callbacks.accept = [weak](const UpgradeHandler::HTTPRequest&) {
        auto state = weak.lock();
        if (!state)
            return false;
        std::lock_guard lock(state->mutex);
        return state->accepting;
    };
    callbacks.opened = [weak](const std::shared_ptr<WebSocketPeer>& peer) {
        if (auto state = weak.lock()) {
            std::lock_guard lock(state->mutex);
            state->connections[peer->id()] = ChatConnection { peer, std::nullopt, std::nullopt };
        }
    };
    callbacks.message = [weak](const std::shared_ptr<WebSocketPeer>& peer, std::string bytes, bool binary) {
        if (auto state = weak.lock())
            handleFrame(*state, peer, std::move(bytes), binary);
    };
    callbacks.closed = [weak](const std::shared_ptr<WebSocketPeer>& peer) {
        if (auto state = weak.lock()) {
            std::lock_guard lock(state->mutex);
            state->connections.erase(peer->id());
        }
    };
    server.routeUpgrade(state->path, makeWebSocketHandler(std::move(callbacks)));
    installChatApi(api, state);
    return std::unique_ptr<ChatRoom>(new ChatRoom(std::move(state)));
}

ChatRoom::ChatRoom(std::shared_ptr<State> state)
    : m_state(std::move(state))
{ }

ChatRoom::~ChatRoom()
{
    dropConnections();
}

const std::string& ChatRoom::path() const
{
    return m_state->path;
}

void ChatRoom::reset()
{
    std::lock_guard lock(m_state->mutex);
    m_state->dropAll();
    m_state->connections.clear();
    std::string error;
    if (!m_state->load(&error))
        throw std::runtime_error(error);
    m_state->script.clear();
    m_state->scriptFromData = false;
    m_state->accepting = true;
    m_state->received.clear();
    // A state folder starts again from the data file too, as a new folder would (its script not
    // played); when the disk refuses that, the next change writes it.
    m_state->unkept = !m_state->keep();
}

void ChatRoom::setScript(std::vector<ChatScriptStep> steps)
{
    std::lock_guard lock(m_state->mutex);
    m_state->script = std::move(steps);
    m_state->scriptFromData = false;
    m_state->played.clear();
    m_state->eventCounts.clear();
}

std::int64_t ChatRoom::push(std::int64_t roomID, std::optional<std::string> text, std::int64_t senderID)
{
    std::lock_guard lock(m_state->mutex);
    auto room = m_state->rooms.find(roomID);
    if (room == m_state->rooms.end())
        return 0;
    if (!text) {
        std::int64_t seq = m_state->appendSample(room->second);
        return seq != 0 && m_state->settle() ? seq : 0;
    }
    Message message
        = m_state->stamped(room->second, m_state->makeMessage(roomID, senderID, std::move(*text)));
    if (m_state->refusal(message))
        return 0;
    std::int64_t seq = m_state->append(room->second, std::move(message));
    return m_state->settle() ? seq : 0;
}

std::int64_t ChatRoom::push(std::int64_t roomID, Message message)
{
    std::lock_guard lock(m_state->mutex);
    auto room = m_state->rooms.find(roomID);
    if (room == m_state->rooms.end())
        return 0;
    message.set_receiver_type(RT_ROOM);
    message.set_receiver_id(roomID);
    message = m_state->stamped(room->second, std::move(message));
    if (m_state->refusal(message))
        return 0;
    std::int64_t seq = m_state->append(room->second, std::move(message));
    return m_state->settle() ? seq : 0;
}

bool ChatRoom::revoke(std::int64_t roomID, const std::vector<std::int64_t>& seqs)
{
    std::lock_guard lock(m_state->mutex);
    if (auto room = m_state->rooms.find(roomID); room != m_state->rooms.end())
        m_state->revoke(room->second, seqs);
    return m_state->settle();
}

bool ChatRoom::block(std::int64_t userID, std::int64_t isBlock, std::int64_t remainTime)
{
    std::lock_guard lock(m_state->mutex);
    if (m_state->blockRefusal({ userID }, isBlock == 1, remainTime))
        return false;
    m_state->applyBlock(userID, isBlock == 1, remainTime);
    return m_state->settle();
}

void ChatRoom::dropConnections()
{
    std::lock_guard lock(m_state->mutex);
    m_state->dropAll();
}

void ChatRoom::setAcceptingConnections(bool accepting)
{
    std::lock_guard lock(m_state->mutex);
    m_state->accepting = accepting;
}

std::vector<ChatFrame> ChatRoom::received() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->received;
}

void ChatRoom::clearReceived()
{
    std::lock_guard lock(m_state->mutex);
    m_state->received.clear();
}

std::size_t ChatRoom::connectionCount() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->connections.size();
}

std::size_t ChatRoom::subscriberCount(std::int64_t roomID) const
{
    std::lock_guard lock(m_state->mutex);
    return std::count_if(m_state->connections.begin(), m_state->connections.end(),
        [roomID](const auto& entry) { return entry.second.roomID == roomID; });
}

std::int64_t ChatRoom::maxSeq(std::int64_t roomID) const
{
    std::lock_guard lock(m_state->mutex);
    auto room = m_state->rooms.find(roomID);
    return room == m_state->rooms.end() ? 0 : room->second.maxSeq;
}

std::vector<Message> ChatRoom::history(std::int64_t roomID) const
{
    std::lock_guard lock(m_state->mutex);
    auto room = m_state->rooms.find(roomID);
    if (room == m_state->rooms.end())
        return {};
    std::vector<Message> answered;
    answered.reserve(room->second.messages.size());
    for (const Message& message : room->second.messages)
        answered.push_back(m_state->withCurrentNames(room->second, message));
    return answered;
}

}
