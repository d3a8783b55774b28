// What a chat room takes is bounded: a text, an image's address, the mentions, the names a message
// copies, the length of a mute, the members restricted at once and the rooms of the data, so that
// nothing answered as done is cut, wrapped or lost, and the state file of the largest rooms stays
// readable by the next start.

#include "tests/support/TempDir.h"
#include "tests/tools/testserver/RoomClient.h"
#include "tests/tools/testserver/SampleServer.h"
#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/ChatRoomState.h"
#include "tools/testserver/StateFolder.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>

using namespace testserver;

namespace {

std::string repeated(const std::string& piece, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

class ChatRoomBoundsTest : public ::testing::Test, protected zvtest::RoomClient {
protected:
    void SetUp() override
    {
        zvtest::SampleServer started = zvtest::SampleServer::start();
        ASSERT_TRUE(started.api) << started.error;
        server = std::move(started.server);
        api = std::move(started.api);
        std::string error;
        chat = ChatRoom::install(*server, *api, zvtest::SampleServer::dataDir(), &error);
        ASSERT_TRUE(chat) << error;
    }

    nlohmann::json sendAs(const std::string& token, int type, const std::string& content,
        const nlohmann::json& mentions = nullptr, std::int64_t linkSeq = 0)
    {
        nlohmann::json parameters = { { "sender_type", 2 }, { "receiver_type", 2 }, { "receiver_id", 1 },
            { "type", type }, { "content", content } };
        if (!mentions.is_null())
            parameters["to_user_ids"] = mentions;
        if (linkSeq != 0)
            parameters["link_seq"] = linkSeq;
        return call("POST", "v1/room/sendmsg", parameters, token);
    }

    nlohmann::json restrict(const nlohmann::json& users, int type, std::int64_t time)
    {
        return call("POST", "v1/room/blockuser",
            { { "room_id", 1 }, { "user_ids", users }, { "type", type }, { "time", time } }, kSampleToken);
    }

    std::int64_t isBlocked(std::int64_t user)
    {
        return call("GET", "v1/room/user", { { "room_id", 1 }, { "user_id", user } }, kSampleToken)["data"]
            .value("is_block", std::int64_t(-1));
    }
};

}

TEST_F(ChatRoomBoundsTest, AMessagePastItsBoundsIsRefusedReadably)
{
    const std::string address = "https://127.0.0.1/uploads/";
    nlohmann::json mentions = nlohmann::json::array();
    for (std::int64_t id = 1; id <= 21; ++id)
        mentions.push_back(id);
    nlohmann::json mostMentions = mentions;
    mostMentions.erase(mostMentions.size() - 1);
    struct Case {
        const char* what;
        int type;
        std::string content;
        nlohmann::json mentions;
        int errorCode;
        std::string msg;
    };
    const Case cases[] = {
        { "the longest text", MT_TEXT, repeated("字", 1000), nullptr, 0, "发送成功" },
        { "the longest text of four-byte characters", MT_TEXT, repeated("🎬", 1000), nullptr, 0, "发送成功" },
        { "a character more", MT_TEXT, repeated("字", 1001), nullptr, 1001, "消息太长，最多1000个字" },
        { "the longest image address", MT_IMAGE, address + std::string(1024 - address.size(), 'a'), nullptr,
            0, "发送成功" },
        { "an address a byte longer", MT_IMAGE, address + std::string(1025 - address.size(), 'a'), nullptr,
            1001, "图片地址太长" },
        { "the most mentions", MT_TEXT, "@大家", mostMentions, 0, "发送成功" },
        { "a mention more", MT_TEXT, "@大家", mentions, 1001, "一条消息最多提及20人" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::int64_t newest = chat->maxSeq(1);
        const std::size_t count = chat->history(1).size();
        nlohmann::json reply = sendAs(kSampleToken, c.type, c.content, c.mentions);
        EXPECT_EQ(reply["errorCode"], c.errorCode) << reply.dump().substr(0, 200);
        EXPECT_EQ(reply["msg"], c.msg);
        if (c.errorCode == 0) {
            EXPECT_EQ(chat->history(1).back().message_content(), c.content);
            continue;
        }
        EXPECT_EQ(chat->maxSeq(1), newest);
        EXPECT_EQ(chat->history(1).size(), count);
    }
}

TEST_F(ChatRoomBoundsTest, AMessageCopiesTheFirstCharactersOfALongNickname)
{
    const std::string token = registerAccount("13912340201", true);
    ASSERT_FALSE(token.empty());
    ASSERT_EQ(call("POST", "v1/user/change/nickname", { { "new_nickname", "名" + std::string(69, 'x') } },
                  token)["errorCode"],
        0);
    nlohmann::json sent = send(token, "名字很长");
    ASSERT_EQ(sent["errorCode"], 0) << sent.dump();
    nlohmann::json reply = sendAs(kSampleToken, MT_TEXT, "回复", nullptr, sent["data"]["seq"]);
    ASSERT_EQ(reply["errorCode"], 0) << reply.dump();
    std::vector<Message> history = chat->history(1);
    const std::string copied = "名" + std::string(63, 'x');
    EXPECT_EQ(history[history.size() - 2].sender().nickname(), copied);
    EXPECT_EQ(history.back().link_message().sender_name(), copied);
}

TEST_F(ChatRoomBoundsTest, AMuteIsAppliedAsAnsweredOrRefused)
{
    const std::string token = registerAccount("13912340202", true);
    ASSERT_FALSE(token.empty());
    const std::int64_t id = profile(token).value("id", std::int64_t(0));
    const std::string refusal = "禁言时长须在1秒到30天之间";
    struct Case {
        std::int64_t time;
        int errorCode;
        std::string msg;
    };
    const Case cases[] = {
        { -2, 1001, "参数错误: time" },
        { -1, 0, "操作成功" },
        { 0, 1001, refusal },
        { 60, 0, "操作成功" },
        { 604800, 0, "操作成功" },
        { 2592000, 0, "操作成功" },
        { 2592001, 1001, refusal },
        { 10000000000, 1001, refusal },
        { 1000000000000, 1001, refusal },
        { std::numeric_limits<std::int64_t>::max(), 1001, refusal },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        nlohmann::json reply = restrict({ id }, 1, c.time);
        EXPECT_EQ(reply["errorCode"], c.errorCode);
        EXPECT_EQ(reply["msg"], c.msg);
        nlohmann::json state = roomUser(token)["data"];
        if (c.errorCode != 0) {
            EXPECT_EQ(state["is_block"], 0);
            EXPECT_EQ(send(token, "还能说话")["errorCode"], 0);
            continue;
        }
        EXPECT_EQ(state["is_block"], 1);
        const std::int64_t remain = state["block_remain_time"];
        if (c.time == -1) {
            EXPECT_EQ(remain, -1);
        } else {
            EXPECT_LE(remain, c.time);
            EXPECT_GT(remain, c.time - 60);
        }
        EXPECT_EQ(send(token, "说不了")["errorCode"], 3001);
        ASSERT_EQ(restrict({ id }, 2, 0)["errorCode"], 0);
    }
}

TEST_F(ChatRoomBoundsTest, TheMembersRestrictedAtOnceAreBoundedAllOrNone)
{
    nlohmann::json all = nlohmann::json::array();
    for (std::int64_t id = 1; id <= std::int64_t(ChatRoom::maxRestrictions); ++id)
        all.push_back(id);
    ASSERT_EQ(restrict(all, 1, -1)["errorCode"], 0);
    const std::string full = "受限制的成员已满，请先解除一些";
    struct Step {
        const char* what;
        nlohmann::json users;
        int type;
        int errorCode;
        std::vector<std::int64_t> blocked, free;
    };
    const Step steps[] = {
        { "one more", { 20001 }, 1, 1001, {}, { 20001 } },
        { "one restricted already, muted now", { 5 }, 1, 0, { 5 }, {} },
        { "a lift frees a place", { 1 }, 2, 0, {}, { 1 } },
        { "two for the one place", { 20002, 20003 }, 1, 1001, {}, { 20002, 20003 } },
        { "one for it", { 20002 }, 1, 0, { 20002 }, {} },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        nlohmann::json reply = restrict(step.users, step.type, step.type == 1 ? 600 : 0);
        EXPECT_EQ(reply["errorCode"], step.errorCode);
        if (step.errorCode != 0)
            EXPECT_EQ(reply["msg"], full);
        for (std::int64_t user : step.blocked)
            EXPECT_EQ(isBlocked(user), 1) << user;
        for (std::int64_t user : step.free)
            EXPECT_EQ(isBlocked(user), 0) << user;
    }
}

TEST(ChatRoomBoundTest, TheLargestKeptFileStaysUnderWhatTheNextStartReads)
{
    // Every field of a message at its bound, of the character the file writes longest (a control
    // character, six bytes: "\u0001"), numbers at their longest, and a quote of the same.
    auto worst = [](std::size_t count) { return std::string(count, '\x01'); };
    constexpr std::int64_t longest = std::numeric_limits<std::int64_t>::min();
    const std::size_t content = std::max(ChatRoom::maxTextCharacters, ChatRoom::maxImageAddressBytes);
    nlohmann::json data
        = nlohmann::json::parse(std::ifstream(zvtest::SampleServer::dataDir() / "api/chat_room.json"));
    std::string rankName, rankColor;
    for (const nlohmann::json& member : data["members"]) {
        rankName = std::max(rankName, member.value("rank_name", ""),
            [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
        rankColor = std::max(rankColor, member.value("rank_color", ""),
            [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    }
    Message message;
    message.set_seq(ChatRoom::largestSeq);
    message.set_send_time(longest);
    message.set_receiver_type(RT_ROOM);
    message.set_receiver_id(longest);
    message.set_message_type(MT_IMAGE);
    message.set_message_content(worst(content));
    message.set_status(MS_NORMAL);
    for (std::size_t i = 0; i < ChatRoom::maxMentions; ++i)
        message.add_to_user_ids(longest);
    Sender* sender = message.mutable_sender();
    sender->set_sender_type(ST_USER);
    sender->set_sender_id(longest);
    sender->set_nickname(worst(ChatRoom::maxNameCharacters));
    sender->set_avatar_url(worst(ChatRoom::maxPictureAddressBytes));
    sender->set_member_type(longest);
    sender->set_rank_level(longest);
    sender->set_rank_name(rankName);
    sender->set_rank_color(rankColor);
    message.set_link_seq(ChatRoom::largestSeq);
    LinkMessage* link = message.mutable_link_message();
    link->set_message_content(worst(content));
    link->set_message_type(MT_IMAGE);
    link->set_sender_name(worst(ChatRoom::maxNameCharacters));
    link->set_send_time(longest);
    const std::size_t largestMessage = keptMessageBytes(message);
    EXPECT_LE(largestMessage, ChatRoom::maxKeptMessageBytes);

    // The file: every room full of such messages, the most restrictions with the longest numbers,
    // every step of the script played, and the frame around them.
    const std::string restriction
        = nlohmann::json { { "user_id", longest }, { "ends_ms", longest } }.dump(1) + ",\n";
    const std::size_t restrictionBytes = restriction.size() + 2 * 4;
    const std::size_t frame = 4096 + 24 * data["script"].size();
    const std::size_t largestFile
        = ChatRoom::maxRooms * ChatRoom::maxKeptMessages * ChatRoom::maxKeptMessageBytes
        + ChatRoom::maxRestrictions * restrictionBytes + frame;
    EXPECT_LT(largestFile, StateFolder::maxJSONBytes);
}

TEST(ChatRoomBoundTest, ADataFilePastTheBoundsIsRefusedByName)
{
    struct Case {
        const char* what;
        std::function<void(nlohmann::json&)> change;
        std::string problem;
    };
    const Case cases[] = {
        { "a seq past the last",
            [](nlohmann::json& rooms) { rooms["rooms"][1]["max_seq"] = ChatRoom::largestSeq + 1; },
            "room 2 has a seq past 9007199254740991" },
        { "more rooms than a state file keeps",
            [](nlohmann::json& rooms) {
                for (std::int64_t id : { 3, 4 })
                    rooms["rooms"].push_back({ { "room_id", id }, { "messages", nlohmann::json::array() } });
            },
            "has more than 3 rooms" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zvtest::TempDir copy;
        std::filesystem::copy(
            zvtest::SampleServer::dataDir(), copy.path(), std::filesystem::copy_options::recursive);
        const std::filesystem::path roomsFile = copy / "api/chat_room.json";
        nlohmann::json rooms = nlohmann::json::parse(std::ifstream(roomsFile));
        c.change(rooms);
        std::ofstream(roomsFile) << rooms.dump();
        zvtest::SampleServer started
            = zvtest::SampleServer::start(copy.path(), SamplePreparation::AtFirstUse);
        ASSERT_TRUE(started.api) << started.error;
        std::string error;
        EXPECT_FALSE(ChatRoom::install(*started.server, *started.api, copy.path(), &error));
        EXPECT_NE(error.find(roomsFile.string()), std::string::npos) << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
        started.server->stop();
    }
}
