// The chat rooms over a state folder keep their word: what they answered as done is in the folder
// for the next start, what the disk refused was answered so and reached nobody, the seqs end before
// any reader would round them, and the data's script plays once for the folder.

#include "tests/support/FullDisk.h"
#include "tests/tools/testserver/KeptRooms.h"
#include "tools/testserver/ChatRoomState.h"

#include <functional>
#include <nlohmann/json.hpp>
#include <tuple>

using namespace testserver;

using ChatRoomKeptTest = zvtest::KeptRoomsTest;

TEST_F(ChatRoomKeptTest, AChangeTheDiskRefusesIsAnsweredSoUndoneAndToldToNobody)
{
    ASSERT_EQ(start(), "");
    chat->setScript({});
    Socket listener(server->httpPort(), chat->path());
    ASSERT_EQ(signIn(listener, kSampleToken, kSampleID), 1);
    ASSERT_EQ(subscribe(listener), 1);
    Socket asker(server->httpPort(), chat->path());
    ASSERT_EQ(signIn(asker, kSampleToken, kSampleID), 1);
    // Acknowledged before the disk fills: a message and a ban.
    const std::int64_t first = send(kSampleToken, "写下了")["data"]["seq"];
    ASSERT_EQ(pushedSeq(listener), first);
    ASSERT_EQ(blockUser(kSampleToken, 100388, 1, -1)["errorCode"], 0);
    const std::int64_t newest = chat->maxSeq(1);
    std::vector<std::pair<std::int64_t, std::string>> acknowledged = contents();
    auto banned = [&] {
        return call("GET", "v1/room/user", { { "room_id", 1 }, { "user_id", 100388 } },
                   kSampleToken)["data"]["is_block"]
            == 1;
    };
    auto notKept = [](const nlohmann::json& reply) {
        return reply["errorCode"] == 5001 && reply["msg"] == "保存失败，请稍后重试";
    };
    // A step of the script ahead of the heartbeat's answer.
    chat->setScript({ { "heartbeat", 1, false, 2, 0, std::nullopt, true } });
    {
        zvtest::FullDisk full;
        ASSERT_TRUE(full.active());
        const std::pair<const char*, std::function<bool()>> cases[] = {
            { "a message", [&] { return notKept(send(kSampleToken, "写不下")); } },
            { "a recall",
                [&] {
                    return notKept(call("POST", "v1/room/revokemsg",
                        { { "room_id", 1 }, { "seqs", nlohmann::json::array({ first }) } }, kSampleToken));
                } },
            { "a mute", [&] { return notKept(blockUser(kSampleToken, kSampleID, 1, 600)); } },
            { "a lift", [&] { return notKept(blockUser(kSampleToken, 100388, 2, 0)); } },
            { "the room's pushes", [&] { return chat->push(1) == 0 && chat->push(1, Message()) == 0; } },
            { "the room's recall and mute",
                [&] { return !chat->revoke(1, { first }) && !chat->block(kSampleID, 1, 60); } },
            { "a heartbeat",
                [&] {
                    std::optional<Output> answer = asker.ask(PT_HEARTBEAT, 21, "");
                    return answer && answer->type() == PT_HEARTBEAT && answer->code() == 0
                        && answer->message() == "保存失败，请稍后重试";
                } },
        };
        for (const auto& [what, refused] : cases) {
            SCOPED_TRACE(what);
            EXPECT_TRUE(refused());
            EXPECT_EQ(chat->maxSeq(1), newest);
            EXPECT_EQ(contents(), acknowledged);
            EXPECT_EQ(roomUser(kSampleToken)["data"]["is_block"], 0);
            EXPECT_TRUE(banned());
        }
    }

    // With room again the refused step plays at the next heartbeat; the listener's next frames are
    // its pushes and the next message, numbered on from the acknowledged seq: nothing refused
    // reached it.
    std::optional<Output> beat = asker.ask(PT_HEARTBEAT, 22, "");
    EXPECT_TRUE(beat && beat->code() == 1);
    EXPECT_EQ(pushedSeq(listener), newest + 1);
    EXPECT_EQ(pushedSeq(listener), newest + 2);
    EXPECT_EQ(send(kSampleToken, "又写下了")["data"]["seq"], newest + 3);
    EXPECT_EQ(pushedSeq(listener), newest + 3);
    acknowledged = contents();

    // The next start reads back exactly what was acknowledged.
    ASSERT_EQ(start(), "");
    EXPECT_EQ(contents(), acknowledged);
    EXPECT_EQ(chat->maxSeq(1), newest + 3);
    EXPECT_TRUE(banned());
}

TEST_F(ChatRoomKeptTest, TheDatasScriptPlaysOnceForAFolder)
{
    // A visit of the sample account: signed in and subscribed, then heartbeats until the last or
    // until the connection is cut. What the script did: the pushes before the first heartbeat's
    // answer, the cut, the seqs taken.
    using Visit = std::tuple<int, bool, std::int64_t>;
    auto visit = [&](int heartbeats) {
        const std::int64_t before = chat->maxSeq(1);
        Socket socket(server->httpPort(), chat->path());
        EXPECT_EQ(signIn(socket, kSampleToken, kSampleID), 1);
        EXPECT_EQ(subscribe(socket), 1);
        int pushes = 0;
        bool cut = false;
        for (int beat = 1; beat <= heartbeats && !cut; ++beat) {
            Input input;
            input.set_type(PT_HEARTBEAT);
            boost::system::error_code ignored;
            socket.stream.write(boost::asio::buffer(input.SerializeAsString()), ignored);
            for (std::optional<Output> frame; !cut && !(frame && frame->type() == PT_HEARTBEAT);) {
                frame = socket.read();
                cut = !frame;
                pushes += beat == 1 && frame && frame->type() == PT_MESSAGE;
            }
        }
        return Visit { pushes, cut, chat->maxSeq(1) - before };
    };
    const Visit played { 3, true, 13 }, nothing { 0, false, 0 };
    struct Case {
        const char* what;
        bool kept;
        const char* earlierFile;
        std::vector<std::pair<int, Visit>> visits;
    };
    const Case cases[] = {
        { "a new folder", true, nullptr, { { 3, played }, { 3, nothing } } },
        { "a start that ended halfway: the next plays the rest", true, nullptr,
            { { 1, { 3, false, 3 } }, { 3, { 0, true, 10 } }, { 3, nothing } } },
        { "a folder of before the script was kept", true, R"({"rooms": [], "restrictions": []})",
            { { 3, played }, { 3, nothing } } },
        { "no folder", false, nullptr, { { 3, played }, { 3, played } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        stop();
        std::filesystem::remove_all(state.path());
        if (c.earlierFile)
            writeState(c.earlierFile);
        for (const auto& [heartbeats, expected] : c.visits) {
            ASSERT_EQ(start(c.kept), "");
            EXPECT_EQ(visit(heartbeats), expected);
        }
    }
}

TEST_F(ChatRoomKeptTest, TheLastSeqIsHandedOutOnceAndNoneAfterIt)
{
    writeState(
        R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9007199254740990, "messages": []}]})");
    ASSERT_EQ(start(), "");
    ASSERT_EQ(send(kSampleToken, "最后一个编号")["data"]["seq"], ChatRoom::largestSeq);
    nlohmann::json refused = send(kSampleToken, "再来一条");
    EXPECT_EQ(refused["errorCode"], 3003);
    EXPECT_EQ(refused["msg"], "聊天室的消息编号已用完，无法再发送");
    EXPECT_EQ(chat->push(1), 0);
    // A seq given past the last is refused in a room with seqs left too.
    Message past;
    past.set_seq(ChatRoom::largestSeq + 1);
    EXPECT_EQ(chat->push(2, past), 0);
    EXPECT_EQ(chat->maxSeq(2), 120);

    ASSERT_EQ(start(), "");
    EXPECT_EQ(chat->maxSeq(1), ChatRoom::largestSeq);
    EXPECT_EQ(contents().size(), 1u);
}

TEST_F(ChatRoomKeptTest, AMessageTakesInTheFileWhatItsBoundCounts)
{
    ASSERT_EQ(start(), "");
    ASSERT_NE(chat->push(1, std::string("先占一行"), 100388), 0);
    const std::uintmax_t before = std::filesystem::file_size(state / "chat_rooms.json");
    Message message;
    message.set_message_content(std::string(40, '\x01') + "带\"引号\"的文字\n第二行");
    message.mutable_sender()->set_nickname("远方");
    message.add_to_user_ids(100388);
    message.add_to_user_ids(-5);
    message.mutable_link_message()->set_sender_name("追剧的猫");
    ASSERT_NE(chat->push(1, message), 0);
    EXPECT_EQ(std::filesystem::file_size(state / "chat_rooms.json") - before,
        keptMessageBytes(chat->history(1).back()));
}

TEST_F(ChatRoomKeptTest, AMessageAsLargeAsAKeptOneMayBeIsTakenAndReadBackAndNoneLarger)
{
    ASSERT_EQ(start(), "");
    // Measured as it is written: with the seq and the time (of as many digits as now's) it gets.
    const std::int64_t seq = chat->maxSeq(1) + 1;
    auto sized = [&](std::size_t characters) {
        Message message;
        message.set_receiver_type(RT_ROOM);
        message.set_receiver_id(1);
        message.set_message_content(std::string(characters, 'a'));
        return message;
    };
    auto written = [&](std::size_t characters) {
        Message message = sized(characters);
        message.set_seq(seq);
        message.set_send_time(std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::system_clock::now().time_since_epoch())
                                  .count());
        return keptMessageBytes(message);
    };
    const std::size_t largest = ChatRoom::maxKeptMessageBytes - written(1) + 1;
    ASSERT_EQ(written(largest), ChatRoom::maxKeptMessageBytes);
    EXPECT_EQ(chat->push(1, sized(largest + 1)), 0);
    EXPECT_EQ(chat->push(1, sized(largest)), seq);

    ASSERT_EQ(start(), "");
    EXPECT_EQ(chat->history(1).back().message_content().size(), largest);
}
