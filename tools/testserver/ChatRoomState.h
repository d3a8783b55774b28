#pragma once

// The shared state of ChatRoom, for its socket side (ChatRoom.cpp) and its API (ChatRoomApi.cpp).

#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/StateFolder.h"
#include "tools/testserver/WebSocketServer.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>

namespace testserver {

struct ChatMember {
    std::int64_t userID = 0;
    // As the room's data names the member; an account of the server is named by its profile.
    std::string nickname;
    std::string avatarURL;
    std::int64_t memberType = 0;
    std::int64_t rankLevel = 0;
    std::string rankName;
    std::string rankColor;
    bool blocked = false;
    std::optional<std::chrono::system_clock::time_point> blockEnds; // none while blocked: a ban
};

struct ChatRoomData {
    std::int64_t roomID = 0;
    std::string notice;
    std::int64_t baseOnline = 0;
    std::int64_t maxSeq = 0;
    std::vector<Message> messages; // ascending seq
};

struct ChatConnection {
    std::weak_ptr<WebSocketPeer> peer;
    std::optional<std::int64_t> userID; // after a sign-in
    std::optional<std::int64_t> roomID; // after a subscription
};

// How the room shows a member: the nickname and picture of its messages.
struct ChatLook {
    std::string nickname;
    std::string avatarURL;
};

struct ChatRoom::State {
    static constexpr std::size_t pageSize = 20;
    static constexpr std::size_t maxRecordedFrames = 10000;
    static constexpr const char* stateFile = chatRoomsStateFile;

    // Fixed once installed.
    std::filesystem::path dataFile;
    std::uint16_t httpPort = 0;
    std::uint16_t httpsPort = 0;
    std::string path = "/ws";
    std::set<std::string> tokens; // the sample account's; "Bearer " is not part of them
    std::int64_t accountUserID = 0;
    // Whose accounts (registered, signed in by login) sign in to the rooms too; it owns this state.
    const ApiServer* api = nullptr;
    // Where the rooms' messages, newest seqs and restrictions outlive the server, when anywhere.
    std::shared_ptr<const StateFolder> folder;

    mutable std::mutex mutex;
    std::map<std::int64_t, ChatRoomData> rooms;
    std::map<std::int64_t, ChatMember> members;
    std::vector<std::pair<std::int64_t, std::string>> samples;
    std::size_t nextSample = 0;
    std::map<std::uint64_t, ChatConnection> connections;
    std::vector<ChatScriptStep> script;
    bool scriptFromData = true; // else a script set since (setScript)
    std::set<std::size_t> played; // the steps of `script` that have played
    std::set<std::size_t> dataPlayed; // the steps of the data's script that have played, kept
    std::map<std::string, int> eventCounts;
    bool accepting = true;
    std::vector<ChatFrame> received;
    // The change under way (see settle()): how to undo each of its parts, in the order done, and
    // what it tells the clients once it is kept.
    std::vector<std::function<void()>> undoes;
    std::vector<std::function<void()>> tells;
    bool unkept = false; // a reset that the disk refused: the file is behind the rooms

    // Everything below expects the mutex to be held.
    bool load(std::string* error);
    // The state file of the folder over the rooms that load() read: each room's messages and
    // newest seq, the members' restrictions, the script's steps played. True when there is none;
    // false with the file's name and what is wrong when it is damaged (then nothing is taken).
    bool restore(std::string* error);
    // Writes the state file whole; true when there is no folder. False when the disk refused it:
    // the file keeps its last whole version.
    bool keep();
    // Ends the change under way: keeps it, then tells the clients what it told; when the disk
    // refuses it, undoes it and tells nobody (false). A change that changed nothing is not written.
    bool settle();
    // The nickname and picture of an account of the server by its id, as it is now, as much of
    // them as a message copies; none for a member that only the room's data knows.
    std::optional<ChatLook> accountLook(std::int64_t userID) const;
    // A message as the room answers it: its sender, and the sender of the message it quotes, under
    // their current names when they are accounts of the server.
    Message withCurrentNames(const ChatRoomData& room, Message message) const;
    // The member a token signs in: the sample account for its file's tokens, else the account
    // of the server that holds the token, entered in the members under its own name and picture
    // (a plain member unless the room's data says more of it). None for a token nobody holds.
    std::optional<std::int64_t> userForToken(const std::optional<std::string>& token);
    std::int64_t onlineCount(const ChatRoomData& room) const;
    // The remaining seconds of a member's restriction: -1 for a ban, 0 when free.
    std::pair<std::int64_t, std::int64_t> blockState(std::int64_t userID);
    Message makeMessage(std::int64_t roomID, std::int64_t senderID, std::string text) const;

    // The parts of a change (settle() ends it). Each records its undoing and defers what it tells.
    // The message as the room would keep it: its seq (the given one when it is above the room's
    // newest, else the next) and its time set, so that what is measured is what is written.
    Message stamped(const ChatRoomData& room, Message message) const;
    // Why the room cannot take a stamped message (no seq left for it, or larger than a kept
    // message may be), readable; none when it can.
    std::optional<std::string> refusal(const Message& stamped) const;
    // Takes a stamped message that refusal() let through, with a push to the room's subscribers.
    std::int64_t append(ChatRoomData& room, Message stamped);
    // The next sample text as a message of its sender; 0 when the room does not take it.
    std::int64_t appendSample(ChatRoomData& room);
    std::vector<std::int64_t> revoke(ChatRoomData& room, const std::vector<std::int64_t>& seqs);
    // Why a restriction of these members cannot be applied (a length past what the room counts,
    // or too many members restricted), readable; none when it can.
    std::optional<std::string> blockRefusal(
        const std::vector<std::int64_t>& userIDs, bool blocked, std::int64_t remainTime);
    void applyBlock(std::int64_t userID, bool blocked, std::int64_t remainTime);
    void markPlayed(std::size_t step);

    void dropAll();
    void toRoom(std::int64_t roomID, const Output& output);
    void toUser(std::int64_t userID, const Output& output);
    // Counts the event and plays the script's steps for it that have not played once the event
    // has happened as often as they wait for, each a change of its own, around the reply:
    // `reply(kept)` learns whether those ahead of it were kept. A step that was not kept plays
    // again at the next such event.
    void countEvent(const std::string& event, const std::function<void(bool kept)>& reply = {});
    bool playStep(std::size_t step);
};

// The characters (Unicode code points) of a text; none when it is not UTF-8.
std::optional<std::size_t> utf8Characters(std::string_view text);
// The first `count` characters of a UTF-8 text (all of a shorter one).
std::string firstCharacters(std::string_view text, std::size_t count);
// The bytes a message takes in the state file, as one of its room's messages.
std::size_t keptMessageBytes(const Message& message);
// What is wrong with a message read back from the state file that the room would not have taken
// (a text past the room's characters, an image address past its bytes, too many or unknown
// mentions, more bytes than a kept message may take); none for a message it would have taken.
std::optional<std::string> keptMessageFault(const Message& message);
// Why a mute is not taken: its length is past what the room counts.
std::string muteLengthRefusal();
// Why a member is not restricted: its id is past what any account has.
std::string userIDRefusal();
// The message of a change the disk refused.
inline constexpr const char* notKeptMessage = "保存失败，请稍后重试";

// An Output envelope around a payload.
Output makeOutput(PackageType type, std::int64_t requestID, const google::protobuf::Message& payload,
    std::int32_t code = 1, std::string message = "success");
// A message as the API sends it: the schema's field names, numbers as numbers.
nlohmann::json restJSON(const Message& message);

void installChatApi(ApiServer& api, std::shared_ptr<ChatRoom::State> state);

}
