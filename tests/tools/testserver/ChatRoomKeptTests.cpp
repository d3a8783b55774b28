// The chat rooms over a state folder keep their word: what they answered as done is in the folder
// for the next start, what the disk refused was answered so and reached nobody, the seqs end before
// any reader would round them, and the data's script plays once for the folder.

#include "tests/support/FullDisk.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/RoomClient.h"
#include "tests/tools/testserver/SampleServer.h"
#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/ChatRoomState.h"
#include "tools/testserver/StateFolder.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace testserver;

namespace {

class ChatRoomKeptTest : public ::testing::Test, protected zvtest::RoomClient {
protected:
    void TearDown() override { stop(); }

    // A server with the sample API and the rooms, keeping its state in the test's folder unless
    // `kept` is false; empty, or why it did not start.
    std::string start(bool kept = true)
    {
        stop();
        std::string error;
        std::shared_ptr<StateFolder> folder = kept ? StateFolder::open(state.path(), &error) : nullptr;
        if (kept && !folder)
            return error;
        zvtest::SampleServer started = zvtest::SampleServer::start(
            zvtest::SampleServer::dataDir(), SamplePreparation::AtFirstUse, folder);
        if (!started.api)
            return started.error;
        server = std::move(started.server);
        api = std::move(started.api);
        chat = ChatRoom::install(*server, *api, zvtest::SampleServer::dataDir(), &error);
        return chat ? std::string() : error;
    }

    void stop()
    {
        chat.reset();
        api.reset();
        if (server)
            server->stop();
        server.reset();
    }

    void writeState(const nlohmann::json& file)
    {
        std::ofstream(state / "chat_rooms.json", std::ios::binary) << file.dump();
    }

    // The room's messages by seq and text.
    std::vector<std::pair<std::int64_t, std::string>> contents()
    {
        std::vector<std::pair<std::int64_t, std::string>> all;
        for (const Message& message : chat->history(1))
            all.emplace_back(message.seq(), message.message_content());
        return all;
    }

    // The seq of the next frame when it is a new message, else -1.
    static std::int64_t pushedSeq(Socket& socket)
    {
        std::optional<Output> frame = socket.read();
        MessageOutput pushed;
        if (!frame || frame->type() != PT_MESSAGE || !pushed.ParseFromString(frame->data()))
            return -1;
        return pushed.message().seq();
    }

    zvtest::TempDir state;
};

}

TEST_F(ChatRoomKeptTest, AChangeTheDiskRefusesIsAnsweredSoUndoneAndToldToNobody)
{
    ASSERT_EQ(start(), "");
    chat->setScript({});
    Socket listener(server->httpPort(), chat->path());
    ASSERT_EQ(signIn(listener, kSampleToken, kSampleID), 1);
    ASSERT_EQ(subscribe(listener), 1);
    Socket asker(server->httpPort(), chat->path());
    ASSERT_EQ(signIn(asker, kSampleToken, kSampleID), 1);
    // What the rooms acknowledged before the disk filled: a message and a ban.
    nlohmann::json first = send(kSampleToken, "写下了");
    ASSERT_EQ(first["errorCode"], 0) << first.dump();
    const std::int64_t firstSeq = first["data"]["seq"];
    ASSERT_EQ(pushedSeq(listener), firstSeq);
    ASSERT_EQ(blockUser(kSampleToken, 100388, 1, -1)["errorCode"], 0);
    const std::int64_t acknowledgedSeq = chat->maxSeq(1);
    std::vector<std::pair<std::int64_t, std::string>> acknowledged = contents();
    auto bannedIsBanned = [&] {
        return call("GET", "v1/room/user", { { "room_id", 1 }, { "user_id", 100388 } },
                   kSampleToken)["data"]["is_block"]
            == 1;
    };
    // Every socket request with a step of the script ahead of its answer.
    chat->setScript({ { "sign_in", 1, false, 1, 0, std::nullopt, true },
        { "subscribe", 1, false, 1, 0, std::nullopt, true }, { "sync", 1, false, 1, 0, std::nullopt, true },
        { "heartbeat", 1, false, 2, 0, std::nullopt, true } });
    auto refusedOnSocket = [&](Socket& socket, PackageType type, const std::string& payload) {
        std::optional<Output> answer = socket.ask(type, 21, payload);
        return answer && answer->type() == type && answer->request_id() == 21 && answer->code() == 0
            && answer->message() == "保存失败，请稍后重试";
    };
    auto refusedOnApi = [](const nlohmann::json& reply) {
        return reply["errorCode"] == 5001 && reply["msg"] == "保存失败，请稍后重试";
    };
    Message given;
    given.set_seq(acknowledgedSeq + 50);
    given.set_message_type(MT_TEXT);
    given.set_message_content("给定的");

    {
        zvtest::FullDisk full;
        ASSERT_TRUE(full.active());
        struct Case {
            const char* what;
            std::function<bool()> refused;
        };
        const Case cases[] = {
            { "a message sent", [&] { return refusedOnApi(send(kSampleToken, "写不下")); } },
            { "a recall",
                [&] {
                    return refusedOnApi(call("POST", "v1/room/revokemsg",
                        { { "room_id", 1 }, { "seqs", nlohmann::json::array({ firstSeq }) } }, kSampleToken));
                } },
            { "a mute", [&] { return refusedOnApi(blockUser(kSampleToken, kSampleID, 1, 600)); } },
            { "a lift", [&] { return refusedOnApi(blockUser(kSampleToken, 100388, 2, 0)); } },
            { "the room's push of a text",
                [&] { return chat->push(1, std::string("推不出"), 100388) == 0; } },
            { "the room's push of a sample", [&] { return chat->push(1) == 0; } },
            { "the room's push of a given message", [&] { return chat->push(1, given) == 0; } },
            { "the room's recall", [&] { return !chat->revoke(1, { firstSeq }); } },
            { "the room's mute", [&] { return !chat->block(kSampleID, 1, 60); } },
            { "a sign-in",
                [&] {
                    Socket socket(server->httpPort(), chat->path());
                    SignInInput payload;
                    payload.set_token(std::string("Bearer ") + kSampleToken);
                    return refusedOnSocket(socket, PT_SIGN_IN, payload.SerializeAsString());
                } },
            { "a subscription",
                [&] {
                    SubscribeRoomInput payload;
                    payload.set_room_id(1);
                    return refusedOnSocket(asker, PT_SUBSCRIBE_ROOM, payload.SerializeAsString());
                } },
            { "a sync", [&] { return refusedOnSocket(asker, PT_SYNC, SyncInput().SerializeAsString()); } },
            { "a heartbeat", [&] { return refusedOnSocket(asker, PT_HEARTBEAT, ""); } },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            EXPECT_TRUE(c.refused());
            // The rooms in memory as they were: no seq handed out, nothing recalled or restricted.
            EXPECT_EQ(chat->maxSeq(1), acknowledgedSeq);
            EXPECT_EQ(contents(), acknowledged);
            EXPECT_EQ(roomUser(kSampleToken)["data"]["is_block"], 0);
            EXPECT_TRUE(bannedIsBanned());
        }
    }

    // With room again, the heartbeat's step that was refused plays; the listener's next frames are
    // its pushes, then the next message, numbered on from the acknowledged seq: nothing refused
    // reached it.
    std::optional<Output> beat = asker.ask(PT_HEARTBEAT, 22, "");
    ASSERT_TRUE(beat);
    EXPECT_EQ(beat->code(), 1);
    EXPECT_EQ(pushedSeq(listener), acknowledgedSeq + 1);
    EXPECT_EQ(pushedSeq(listener), acknowledgedSeq + 2);
    nlohmann::json next = send(kSampleToken, "又写下了");
    ASSERT_EQ(next["errorCode"], 0) << next.dump();
    EXPECT_EQ(next["data"]["seq"], acknowledgedSeq + 3);
    EXPECT_EQ(pushedSeq(listener), acknowledgedSeq + 3);
    acknowledged = contents();

    // The next start reads back exactly what was acknowledged.
    ASSERT_EQ(start(), "");
    EXPECT_EQ(contents(), acknowledged);
    EXPECT_EQ(chat->maxSeq(1), acknowledgedSeq + 3);
    EXPECT_EQ(roomUser(kSampleToken)["data"]["is_block"], 0);
    EXPECT_TRUE(bannedIsBanned());
}

TEST_F(ChatRoomKeptTest, TheDatasScriptPlaysOnceForAFolder)
{
    // One visit of the sample account: a sign-in, the subscription, then heartbeats until the
    // third, or until the connection is cut; what the script did meanwhile.
    struct Visit {
        int pushesAtSubscription = 0;
        bool cut = false;
        std::int64_t newSeqs = 0;
        bool operator==(const Visit&) const = default;
    };
    auto visit = [&](int heartbeats) {
        Visit seen;
        const std::int64_t before = chat->maxSeq(1);
        Socket socket(server->httpPort(), chat->path());
        EXPECT_EQ(signIn(socket, kSampleToken, kSampleID), 1);
        EXPECT_EQ(subscribe(socket), 1);
        for (int beat = 1; beat <= heartbeats && !seen.cut; ++beat) {
            Input input;
            input.set_type(PT_HEARTBEAT);
            input.set_request_id(30 + beat);
            boost::system::error_code ec;
            socket.stream.write(boost::asio::buffer(input.SerializeAsString()), ec);
            while (!seen.cut) {
                std::optional<Output> frame = socket.read();
                seen.cut = !frame;
                if (frame && frame->type() == PT_HEARTBEAT)
                    break;
                if (frame && frame->type() == PT_MESSAGE && beat == 1)
                    ++seen.pushesAtSubscription;
            }
        }
        seen.newSeqs = chat->maxSeq(1) - before;
        return seen;
    };
    const Visit played { 3, true, 13 }, nothing { 0, false, 0 };
    struct Start {
        bool kept;
        int heartbeats;
        Visit expected;
    };
    struct Case {
        const char* what;
        std::optional<nlohmann::json> earlierFile;
        std::vector<Start> starts;
    };
    const Case cases[] = {
        { "a new folder", std::nullopt, { { true, 3, played }, { true, 3, nothing }, { true, 3, nothing } } },
        { "a start that ended halfway: the next plays the rest", std::nullopt,
            { { true, 1, { 3, false, 3 } }, { true, 3, { 0, true, 10 } }, { true, 3, nothing } } },
        { "a folder of before the script was kept",
            nlohmann::json {
                { "rooms", nlohmann::json::array() }, { "restrictions", nlohmann::json::array() } },
            { { true, 3, played }, { true, 3, nothing } } },
        { "no folder", std::nullopt, { { false, 3, played }, { false, 3, played } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        stop();
        std::filesystem::remove_all(state.path());
        std::filesystem::create_directories(state.path());
        if (c.earlierFile)
            writeState(*c.earlierFile);
        for (std::size_t i = 0; i < c.starts.size(); ++i) {
            SCOPED_TRACE("start " + std::to_string(i + 1));
            ASSERT_EQ(start(c.starts[i].kept), "");
            Visit seen = visit(c.starts[i].heartbeats);
            EXPECT_EQ(seen.pushesAtSubscription, c.starts[i].expected.pushesAtSubscription);
            EXPECT_EQ(seen.cut, c.starts[i].expected.cut);
            EXPECT_EQ(seen.newSeqs, c.starts[i].expected.newSeqs);
        }
    }
}

TEST_F(ChatRoomKeptTest, TheLastSeqIsHandedOutOnceAndNoneAfterIt)
{
    // A file the start accepts, one seq before the last.
    writeState({ { "rooms",
                     { { { "room_id", 1 }, { "max_seq", ChatRoom::largestSeq - 1 },
                         { "messages", nlohmann::json::array() } } } },
        { "restrictions", nlohmann::json::array() } });
    ASSERT_EQ(start(), "");
    nlohmann::json last = send(kSampleToken, "最后一个编号");
    ASSERT_EQ(last["errorCode"], 0) << last.dump();
    EXPECT_EQ(last["data"]["seq"], ChatRoom::largestSeq);

    Message past;
    past.set_message_type(MT_TEXT);
    past.set_message_content("越界");
    struct Case {
        const char* what;
        std::function<bool()> refused;
    };
    const Case cases[] = {
        { "a message sent",
            [&] {
                nlohmann::json reply = send(kSampleToken, "再来一条");
                return reply["errorCode"] == 3003 && reply["msg"] == "聊天室的消息编号已用完，无法再发送";
            } },
        { "a push", [&] { return chat->push(1) == 0; } },
        { "a push of a text", [&] { return chat->push(1, std::string("再推一条"), 100388) == 0; } },
        { "a given message", [&] { return chat->push(1, past) == 0; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.refused());
        EXPECT_EQ(chat->maxSeq(1), ChatRoom::largestSeq);
        EXPECT_EQ(chat->history(1).back().message_content(), "最后一个编号");
    }
    // A given seq past the last is refused in a room with seqs left too.
    past.set_seq(ChatRoom::largestSeq + 1);
    const std::int64_t other = chat->maxSeq(2);
    EXPECT_EQ(chat->push(2, past), 0);
    EXPECT_EQ(chat->maxSeq(2), other);

    ASSERT_EQ(start(), "");
    EXPECT_EQ(chat->maxSeq(1), ChatRoom::largestSeq);
    EXPECT_EQ(chat->history(1).size(), 1u);
}

TEST_F(ChatRoomKeptTest, AMessageTakesInTheFileWhatItsBoundCounts)
{
    ASSERT_EQ(start(), "");
    chat->setScript({});
    ASSERT_NE(chat->push(1, std::string("先占一行"), 100388), 0);
    const std::uintmax_t before = std::filesystem::file_size(state / "chat_rooms.json");
    Message message;
    message.set_message_type(MT_TEXT);
    message.set_message_content(std::string(40, '\x01') + "带\"引号\"的文字\n第二行");
    message.mutable_sender()->set_sender_type(ST_USER);
    message.mutable_sender()->set_sender_id(3000000001);
    message.mutable_sender()->set_nickname("远方");
    message.add_to_user_ids(100388);
    message.add_to_user_ids(-5);
    message.set_link_seq(4387);
    message.mutable_link_message()->set_message_content("坐等开播");
    message.mutable_link_message()->set_sender_name("追剧的猫");
    ASSERT_NE(chat->push(1, message), 0);
    EXPECT_EQ(std::filesystem::file_size(state / "chat_rooms.json") - before,
        keptMessageBytes(chat->history(1).back()));
}
