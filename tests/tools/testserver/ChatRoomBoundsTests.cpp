// What a chat room takes is bounded: a text, an image's address, the mentions, the names a message
// copies, the length of a mute, the members restricted at once and the rooms of the data, so that
// nothing answered as done is cut, wrapped or lost, and the state file of the fullest rooms stays
// readable by the next start.

#include "tests/tools/testserver/KeptRooms.h"
#include "tools/testserver/ApiEndpoints.h"
#include "tools/testserver/ChatRoomState.h"

#include <functional>
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

}

// Outside the anonymous namespace: compiled in a unity batch, its tests would warn of their linkage.
class ChatRoomBoundsTest : public zvtest::KeptRoomsTest {
protected:
    void SetUp() override { ASSERT_EQ(start(false), ""); }

    nlohmann::json sendAs(int type, const std::string& content, const nlohmann::json& mentions = nullptr)
    {
        nlohmann::json parameters = { { "receiver_id", 1 }, { "type", type }, { "content", content } };
        if (!mentions.is_null())
            parameters["to_user_ids"] = mentions;
        return call("POST", "v1/room/sendmsg", parameters, kSampleToken);
    }

    nlohmann::json restrict(const nlohmann::json& users, int type, const nlohmann::json& time)
    {
        return call("POST", "v1/room/blockuser",
            { { "room_id", 1 }, { "user_ids", users }, { "type", type }, { "time", time } }, kSampleToken);
    }
};

TEST_F(ChatRoomBoundsTest, AMessagePastItsBoundsIsRefusedReadably)
{
    const std::string address = "https://127.0.0.1/uploads/";
    nlohmann::json mentions = nlohmann::json::array();
    for (std::int64_t id = 1; id <= 20; ++id)
        mentions.push_back(id);
    nlohmann::json tooMany = mentions;
    tooMany.push_back(21);
    struct Case {
        const char* what;
        int type;
        std::string content;
        nlohmann::json mentions;
        std::string msg; // the refusal, or none
    };
    const Case cases[] = {
        { "the longest text", MT_TEXT, repeated("字", 1000), nullptr, "" },
        { "as many characters of four bytes", MT_TEXT, repeated("🎬", 1000), nullptr, "" },
        { "a character more", MT_TEXT, repeated("字", 1001), nullptr, "消息太长，最多1000个字" },
        { "the longest image address", MT_IMAGE, address + std::string(1024 - address.size(), 'a'), nullptr,
            "" },
        { "a byte more", MT_IMAGE, address + std::string(1025 - address.size(), 'a'), nullptr,
            "图片地址太长" },
        { "the most mentions", MT_TEXT, "@", mentions, "" },
        { "a mention more", MT_TEXT, "@", tooMany, "一条消息最多提及20人" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::pair<std::int64_t, std::string>> before = contents();
        nlohmann::json reply = sendAs(c.type, c.content, c.mentions);
        EXPECT_EQ(reply["errorCode"], c.msg.empty() ? 0 : 1001);
        EXPECT_EQ(reply["msg"], c.msg.empty() ? "发送成功" : c.msg);
        EXPECT_EQ(contents().size(), before.size() + c.msg.empty());
        EXPECT_EQ(chat->maxSeq(1), before.back().first + c.msg.empty());
    }
}

TEST_F(ChatRoomBoundsTest, AMessageCopiesTheFirstCharactersOfALongNickname)
{
    const std::string token = registerAccount("13912340201", true);
    ASSERT_EQ(call("POST", "v1/user/change/nickname", { { "new_nickname", "名" + std::string(69, 'x') } },
                  token)["errorCode"],
        0);
    const std::int64_t seq = send(token, "名字很长")["data"]["seq"];
    ASSERT_EQ(call("POST", "v1/room/sendmsg",
                  { { "receiver_id", 1 }, { "type", 1 }, { "content", "回复" }, { "link_seq", seq } },
                  kSampleToken)["errorCode"],
        0);
    const std::string copied = "名" + std::string(63, 'x');
    std::vector<Message> history = chat->history(1);
    EXPECT_EQ(history[history.size() - 2].sender().nickname(), copied);
    EXPECT_EQ(history.back().link_message().sender_name(), copied);
}

TEST_F(ChatRoomBoundsTest, AMuteIsAppliedAsAnsweredOrRefused)
{
    const std::string token = registerAccount("13912340202", true);
    const std::int64_t id = profile(token).value("id", std::int64_t(0));
    const std::string refusal = "禁言时长须在1秒到30天之间";
    const std::pair<nlohmann::json, std::string> cases[]
        = { { -2, "参数错误: time" }, { -1, "" }, { 0, refusal }, { 1, "" }, { 60, "" }, { 604800, "" },
              { 2592000, "" }, { 2592001, refusal }, { 10000000000, refusal }, { 1000000000000, refusal },
              { std::numeric_limits<std::int64_t>::max(), refusal },
              { std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1, refusal },
              { std::numeric_limits<std::uint64_t>::max(), refusal }, { "18446744073709551615", refusal },
              { nlohmann::json::parse("18446744073709551616"), refusal } };
    for (const auto& [time, msg] : cases) {
        SCOPED_TRACE(time);
        nlohmann::json reply = restrict({ id }, 1, time);
        EXPECT_EQ(reply["msg"], msg.empty() ? "操作成功" : msg);
        nlohmann::json state = roomUser(token)["data"];
        EXPECT_EQ(state["is_block"], msg.empty() ? 1 : 0);
        EXPECT_EQ(send(token, "说话")["errorCode"], msg.empty() ? 3001 : 0);
        if (!msg.empty())
            continue;
        const std::int64_t remain = state["block_remain_time"];
        const std::int64_t asked = time;
        // A mute just applied has a second begun left at least, even of one second.
        EXPECT_TRUE(
            asked == -1 ? remain == -1 : remain <= asked && remain > std::max<std::int64_t>(asked - 60, 0))
            << remain;
        ASSERT_EQ(restrict({ id }, 2, 0)["errorCode"], 0);
    }
}

TEST_F(ChatRoomBoundsTest, ANumberPastItsFieldIsRefusedNeverWrapped)
{
    constexpr std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
    const std::string users = "用户编号须在1到9007199254740991之间";
    const std::string seqs = "消息编号须在0到9007199254740991之间";
    struct Case {
        const char* what;
        const char* path;
        nlohmann::json parameters;
        std::string msg;
    };
    const Case cases[] = {
        { "a restriction of 2^64 - 1", "v1/room/blockuser",
            { { "user_ids", { top } }, { "type", 1 }, { "time", -1 } }, users },
        { "a restriction of it as text", "v1/room/blockuser",
            { { "user_ids", { "18446744073709551615" } }, { "type", 1 }, { "time", 60 } }, users },
        { "a restriction of an id past every account", "v1/room/blockuser",
            { { "user_ids", { 9007199254740992 } }, { "type", 1 }, { "time", 60 } }, users },
        { "a mention of 2^64 - 1", "v1/room/sendmsg",
            { { "receiver_id", 1 }, { "type", 1 }, { "content", "@" }, { "to_user_ids", { 5, top } } },
            "提及的用户编号须在1到9007199254740991之间" },
        { "a mention of an id past every account", "v1/room/sendmsg",
            { { "receiver_id", 1 }, { "type", 1 }, { "content", "@" },
                { "to_user_ids", { 9007199254740992 } } },
            "提及的用户编号须在1到9007199254740991之间" },
        { "a quote of 2^64 - 1", "v1/room/sendmsg",
            { { "receiver_id", 1 }, { "type", 1 }, { "content", "回复" }, { "link_seq", top } },
            "引用的消息编号须在0到9007199254740991之间" },
        { "a recall of 2^64 - 1", "v1/room/revokemsg", { { "seqs", { top } } }, seqs },
        { "the messages after 2^64 - 1", "v1/room/lastmsg", { { "seq", top } }, seqs },
        { "the restriction of 2^64 - 1", "v1/room/user", { { "user_id", top } },
            "用户编号须在0到9007199254740991之间" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::pair<std::int64_t, std::string>> before = contents();
        nlohmann::json parameters = c.parameters;
        parameters["room_id"] = 1;
        nlohmann::json reply
            = call(std::string(endpointMethod(c.path).value_or("GET")), c.path, parameters, kSampleToken);
        EXPECT_EQ(reply["errorCode"], 1001);
        EXPECT_EQ(reply["msg"], c.msg);
        EXPECT_EQ(contents(), before);
    }
    // The room's own restrictions keep to the ids that its next start reads back.
    EXPECT_FALSE(chat->block(9007199254740992, 1, -1));
}

TEST_F(ChatRoomBoundsTest, TheMembersRestrictedAtOnceAreBoundedAllOrNone)
{
    nlohmann::json all = nlohmann::json::array();
    for (std::int64_t id = 1; id <= 10000; ++id)
        all.push_back(id);
    ASSERT_EQ(restrict(all, 1, -1)["errorCode"], 0);
    struct Step {
        const char* what;
        nlohmann::json users;
        int type;
        bool refused;
    };
    const Step steps[] = {
        { "one more", { 20001 }, 1, true },
        { "one restricted already, muted now", { 5 }, 1, false },
        { "a lift frees a place", { 1 }, 2, false },
        { "two for the one place", { 20002, 20003 }, 1, true },
        { "one for it", { 20002 }, 1, false },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        nlohmann::json reply = restrict(step.users, step.type, 600);
        EXPECT_EQ(reply["msg"], step.refused ? "受限制的成员已满，请先解除一些" : "操作成功");
        for (std::int64_t user : step.users) {
            nlohmann::json state
                = call("GET", "v1/room/user", { { "room_id", 1 }, { "user_id", user } }, kSampleToken);
            EXPECT_EQ(state["data"]["is_block"], !step.refused && step.type == 1 ? 1 : 0) << user;
        }
    }
}

TEST(ChatRoomBoundTest, TheFullestKeptFileStaysUnderWhatTheNextStartReads)
{
    // Every field of a message at its bound, of the character the file writes longest (a control
    // character: "\u0001"), numbers at their longest, and a quote of the same.
    auto worst = [](std::size_t count) { return std::string(count, '\x01'); };
    constexpr std::int64_t longest = std::numeric_limits<std::int64_t>::min();
    const std::string content = worst(std::max(ChatRoom::maxTextCharacters, ChatRoom::maxImageAddressBytes));
    nlohmann::json data
        = nlohmann::json::parse(std::ifstream(zvtest::SampleServer::dataDir() / "api/chat_room.json"));
    Message message;
    message.set_seq(ChatRoom::largestSeq);
    message.set_link_seq(ChatRoom::largestSeq);
    message.set_send_time(longest);
    message.set_receiver_id(longest);
    message.set_message_type(MT_IMAGE);
    message.set_message_content(content);
    for (std::size_t i = 0; i < ChatRoom::maxMentions; ++i)
        message.add_to_user_ids(longest);
    Sender* sender = message.mutable_sender();
    sender->set_sender_id(longest);
    sender->set_member_type(longest);
    sender->set_rank_level(longest);
    sender->set_nickname(worst(ChatRoom::maxNameCharacters));
    sender->set_avatar_url(worst(ChatRoom::maxPictureAddressBytes));
    for (const nlohmann::json& member : data["members"]) {
        if (member.value("rank_name", "").size() > sender->rank_name().size())
            sender->set_rank_name(member.value("rank_name", ""));
        if (member.value("rank_color", "").size() > sender->rank_color().size())
            sender->set_rank_color(member.value("rank_color", ""));
    }
    LinkMessage* link = message.mutable_link_message();
    link->set_message_content(content);
    link->set_message_type(MT_IMAGE);
    link->set_sender_name(worst(ChatRoom::maxNameCharacters));
    link->set_send_time(longest);
    EXPECT_LE(keptMessageBytes(message), ChatRoom::maxKeptMessageBytes);

    // The file: every room full of such messages, the most restrictions with the longest numbers
    // two levels in, every step of the script played, and the frame around them.
    const std::size_t restriction
        = nlohmann::json { { "user_id", longest }, { "ends_ms", longest } }.dump(1).size() + 4 * 2 + 2;
    const std::size_t fullest = ChatRoom::maxRooms * 1000 * ChatRoom::maxKeptMessageBytes
        + ChatRoom::maxRestrictions * restriction + 24 * data["script"].size() + 4096;
    EXPECT_LT(fullest, StateFolder::maxJSONBytes);
}

TEST(ChatRoomBoundTest, ADataFilePastTheBoundsIsRefusedByName)
{
    const std::pair<std::function<void(nlohmann::json&)>, std::string> cases[] = {
        { [](nlohmann::json& file) { file["rooms"][1]["max_seq"] = ChatRoom::largestSeq + 1; },
            "room 2 has a seq past 9007199254740991" },
        { [](nlohmann::json& file) {
             file["rooms"][1]["max_seq"] = std::numeric_limits<std::uint64_t>::max();
         },
            "room 2 has a seq past 9007199254740991" },
        { [](nlohmann::json& file) {
             file["members"][1]["user_id"] = std::numeric_limits<std::uint64_t>::max();
         },
            "a member's user_id is not a whole number from 1 to 9007199254740991" },
        { [](nlohmann::json& file) {
             for (int id : { 3, 4 })
                 file["rooms"].push_back({ { "room_id", id } });
         },
            "has more than 3 rooms" },
    };
    for (const auto& [change, problem] : cases) {
        SCOPED_TRACE(problem);
        zvtest::TempDir copy;
        std::filesystem::copy(
            zvtest::SampleServer::dataDir(), copy.path(), std::filesystem::copy_options::recursive);
        const std::filesystem::path file = copy / "api/chat_room.json";
        nlohmann::json rooms = nlohmann::json::parse(std::ifstream(file));
        change(rooms);
        std::ofstream(file) << rooms.dump();
        zvtest::SampleServer started
            = zvtest::SampleServer::start(copy.path(), SamplePreparation::AtFirstUse);
        ASSERT_TRUE(started.api) << started.error;
        std::string error;
        EXPECT_FALSE(ChatRoom::install(*started.server, *started.api, copy.path(), &error));
        EXPECT_NE(error.find(file.string() + ": " + problem), std::string::npos) << error;
        started.server->stop();
    }
}
