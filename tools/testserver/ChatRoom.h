#pragma once

#include "app/MainController/Chat/Schema/ChatSchema.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/StateFolder.h"
#include "tools/testserver/TestServer.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testserver {

// One binary frame a client sent, as it came, with the envelope read from it when it was one.
struct ChatFrame {
    std::uint64_t connection = 0;
    std::string bytes;
    std::optional<Input> input;
};

// A step of the room's script: when the client event `on` ("sign_in", "subscribe", "sync",
// "heartbeat" or "ack") has happened `count` times since the start (or the last reset), the room
// cuts every connection when `drop` is set, then pushes `push` sample messages, recalls its
// `revoke` newest messages and applies `block` to a member. It does so after its reply to the
// event, or with `beforeReply` ahead of it (a new subscriber gets those pushes before the answer
// to its subscription).
struct ChatScriptStep {
    struct Block {
        std::int64_t userID = 0;
        std::int64_t isBlock = 1;
        std::int64_t remainTime = -1; // -1: a ban without end
    };

    std::string on;
    int count = 1;
    bool drop = false;
    int push = 0;
    int revoke = 0;
    std::optional<Block> block {};
    bool beforeReply = false;
};

// The chat rooms of the local test server: a WebSocket endpoint (ws and wss, at the path of the
// server-address file's chat address, "/ws" by default) that speaks the chat schema, and the
// room endpoints of the API ("v1/room/..."), all over one shared state read from
// data/api/chat_room.json and the sample account (data/api/account.json).
//
// Who calls: the sample account's tokens of its file sign in as that account, with its place in
// the room's data (role, rank); any other token that the API's accounts hold (a registration's, a
// login's, a refresh's) signs in as its account, a plain member unless the room's data gives that
// id more. Every other token is refused (2000 from the API, code 0 on the socket). Every account of
// the server, the sample account included, is named by its nickname and picture of now: in the
// messages it sends, and in the history, syncs and quotes that the room answers.
//
// With a state folder on the API (ApiServer::setStateFolder) each room's newest messages, its
// newest seq (never handed out twice, recalls included), the members' mutes and bans and the
// steps of the data's script that have played outlive the server: read back at install over the
// data file's rooms, and written, whole, before anything of a change is told (a message sent or
// pushed, a recall, a restriction, a step of the script). A change the disk refuses is undone and
// told to nobody: the API answers it with ApiReply::notKept(), the socket its request with code 0
// and the same message, and the next change tries again. A damaged file stops the install, and is
// left as it is. The data's script plays once for a folder, over as many starts as it takes;
// without a folder it plays at every start.
//
// What a room takes is bounded, so that the state file stays under what its own next start reads
// (StateFolder::maxJSONBytes) and every number in it stays exact for any JSON reader: the bounds
// below; anything past them is refused with a readable message, never wrapped or cut.
//
// Socket: one Input per binary frame from the client, one Output per frame to it. Sign-in takes
// "Bearer " and a token (above); subscription needs a sign-in; sync and heartbeat need a
// subscription; acknowledgements get no reply. Replies echo the request's type and id; pushes
// (new messages, revokes, blocks) carry request id 0. Each room numbers its messages itself.
//
// All calls are thread-safe; clients are served on the server's thread.
class ChatRoom {
public:
    // The newest messages of a room that a state folder keeps; the newest seq is kept regardless.
    static constexpr std::size_t maxKeptMessages = 1000;
    // A chat text, in characters (Unicode code points), and an image message's address, in bytes.
    static constexpr std::size_t maxTextCharacters = 1000;
    static constexpr std::size_t maxImageAddressBytes = 1024;
    // The members one message mentions.
    static constexpr std::size_t maxMentions = 20;
    // What the room copies of a sender's profile into a message (and of a quoted sender's name):
    // a nickname's first characters, and its picture's address only when it is no longer.
    static constexpr std::size_t maxNameCharacters = 64;
    static constexpr std::size_t maxPictureAddressBytes = 512;
    // A message as the state file holds it, its quote included (the bounds above keep every
    // message the API takes under it; pushes and read-back files are held to it directly).
    static constexpr std::size_t maxKeptMessageBytes = 20 * 1024;
    // The rooms of the data file, and the members restricted at once.
    static constexpr std::size_t maxRooms = 3;
    static constexpr std::size_t maxRestrictions = 10000;
    // The largest seq: 2^53 - 1, the largest integer that every JSON reader keeps exact.
    static constexpr std::int64_t largestSeq = (std::int64_t(1) << 53) - 1;
    // The largest id of a member that a room restricts or a message mentions: the largest that the
    // server's accounts may have.
    static constexpr std::int64_t largestUserID = StateFolder::maxExactInteger;
    // The longest mute, in seconds (30 days; a ban has no end instead).
    static constexpr std::int64_t maxMuteSeconds = 30 * 24 * 3600;

    // The one registration: routes the endpoint and the API; nullptr (and *error) when the data
    // or the state folder's file cannot be read. Call after the sample API, whose room sequence
    // endpoint it replaces, and whose state folder it keeps its rooms in.
    static std::unique_ptr<ChatRoom> install(TestServer& server, ApiServer& api,
        const std::filesystem::path& dataDir, std::string* error = nullptr);
    ~ChatRoom();
    ChatRoom(const ChatRoom&) = delete;
    ChatRoom& operator=(const ChatRoom&) = delete;

    // The endpoint's path.
    const std::string& path() const;

    // Back to the data file's rooms and members, without a script; every connection is cut,
    // connections are accepted again and the record of frames is emptied. A state folder is
    // written anew with that.
    void reset();
    void setScript(std::vector<ChatScriptStep> steps);

    // A new message from a sender (a member of the data file) to every subscriber of the room;
    // its seq. Without text the next sample text and its sender are used. 0 when there is no such
    // room or the message is not taken (past a bound, or not kept): then nobody is told.
    std::int64_t push(
        std::int64_t roomID, std::optional<std::string> text = std::nullopt, std::int64_t senderID = 0);
    // A message as it is given (sender, kind, content, quote) to every subscriber of the room;
    // its seq is kept when it is above the room's newest, else the next one is taken. Its seq, 0
    // as above.
    std::int64_t push(std::int64_t roomID, Message message);
    // Recalls messages of the room (those that exist) and tells its subscribers; false when the
    // recall could not be kept (nothing is recalled then).
    bool revoke(std::int64_t roomID, const std::vector<std::int64_t>& seqs);
    // A ban (remainTime -1), a mute (1 to maxMuteSeconds seconds) or a lift (isBlock 0) of a
    // member, told to the member's connections; false when it is refused or could not be kept.
    bool block(std::int64_t userID, std::int64_t isBlock, std::int64_t remainTime);
    // Cuts every connection without a close frame, as a lost network would.
    void dropConnections();
    // While false, upgrades are refused (403) and the clients cannot connect.
    void setAcceptingConnections(bool accepting);

    std::vector<ChatFrame> received() const;
    void clearReceived();
    std::size_t connectionCount() const;
    std::size_t subscriberCount(std::int64_t roomID) const;
    std::int64_t maxSeq(std::int64_t roomID) const;
    // The room's messages as it answers them (senders under their current names).
    std::vector<Message> history(std::int64_t roomID) const;

    struct State;

private:
    explicit ChatRoom(std::shared_ptr<State> state);
    std::shared_ptr<State> m_state;
};

}
