// Who may sign in to the test server's chat rooms: every account the server holds (registered,
// signed in by login, refreshed), answered as itself on the room's API and its socket, besides the
// sample account with its place in the room's data; a token nobody holds is refused.

#include "tests/tools/testserver/RoomClient.h"
#include "tests/tools/testserver/SampleServer.h"
#include "tools/testserver/ChatRoom.h"

#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>

using namespace testserver;

namespace {

class ChatRoomAccountsTest : public ::testing::Test, protected zvtest::RoomClient {
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
};

}

TEST_F(ChatRoomAccountsTest, EveryAccountsTokenIsAnsweredAsThatAccount)
{
    const std::string phone = "13912340001";
    const std::string byPhone = registerAccount(phone, true);
    const std::string byMail = registerAccount("viewer@mail.example", false);
    const std::string byLogin = login(phone, kPassword);
    const std::string refreshed
        = call("GET", "v1/user/refresh_token", nlohmann::json::object(), byMail)["data"].value(
            "refresh_token", "");
    struct Case {
        const char* how;
        std::string token;
    };
    const Case cases[] = { { "registered by phone", byPhone }, { "registered by e-mail", byMail },
        { "signed in by login", byLogin }, { "refreshed", refreshed } };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        ASSERT_FALSE(c.token.empty());
        nlohmann::json account = profile(c.token);
        std::int64_t id = account.value("id", std::int64_t(0));
        ASSERT_GT(id, 0);
        ASSERT_NE(id, kSampleID);

        // Its state in the room without naming itself: a plain member, free to speak.
        nlohmann::json state = roomUser(c.token);
        ASSERT_EQ(state["errorCode"], 0) << state.dump();
        EXPECT_EQ(state["data"]["member_type"], 0);
        EXPECT_EQ(state["data"]["is_block"], 0);

        // What it sends goes out under its id, nickname and picture, with no badge.
        nlohmann::json sent = send(c.token, std::string("hello, ") + c.how);
        ASSERT_EQ(sent["errorCode"], 0) << sent.dump();
        Message stored = chat->history(1).back();
        EXPECT_EQ(stored.seq(), sent["data"]["seq"]);
        EXPECT_EQ(stored.sender().sender_id(), id);
        EXPECT_EQ(stored.sender().nickname(), account["nickname"]);
        EXPECT_EQ(stored.sender().nickname(), "用户" + std::to_string(id));
        EXPECT_EQ(stored.sender().avatar_url(), account["avatar"]);
        EXPECT_EQ(stored.sender().member_type(), 0);
        EXPECT_EQ(stored.sender().rank_name(), "");

        // Its own message it may recall; moderating is for administrators.
        nlohmann::json recalled = call("POST", "v1/room/revokemsg",
            { { "room_id", 1 }, { "seqs", nlohmann::json::array({ stored.seq() }) } }, c.token);
        EXPECT_EQ(recalled["errorCode"], 0) << recalled.dump();
        EXPECT_EQ(mute(c.token, 100388)["errorCode"], 3002);

        // On the socket it signs in as itself: a restriction of its id reaches this connection,
        // and the room's API reports it.
        Socket socket(server->httpPort(), chat->path());
        EXPECT_EQ(signIn(socket, c.token, id), 1);
        chat->block(id, 1, 60);
        std::optional<Output> push = socket.read();
        ASSERT_TRUE(push);
        EXPECT_EQ(push->type(), PT_BLOCK_USER);
        BlockUserOutput block;
        ASSERT_TRUE(block.ParseFromString(push->data()));
        EXPECT_EQ(block.is_block(), 1);
        EXPECT_EQ(roomUser(c.token)["data"]["is_block"], 1);
        EXPECT_EQ(send(c.token, "muted")["errorCode"], 3001);
        chat->block(id, 0, 0);
    }
}

TEST_F(ChatRoomAccountsTest, ANewNicknameOrPictureShowsFromTheAccountsNextCall)
{
    const std::string token = registerAccount("13912340002", true);
    ASSERT_FALSE(token.empty());
    ASSERT_EQ(
        call("POST", "v1/user/change/nickname", { { "new_nickname", "夜航船二号" } }, token)["errorCode"], 0);
    nlohmann::json uploaded = uploadAvatar(token);
    ASSERT_EQ(uploaded["errorCode"], 0) << uploaded.dump();

    ASSERT_EQ(send(token, "new look")["errorCode"], 0);
    EXPECT_EQ(chat->history(1).back().sender().nickname(), "夜航船二号");
    EXPECT_EQ(chat->history(1).back().sender().avatar_url(), uploaded["data"]["url"]);
}

TEST_F(ChatRoomAccountsTest, ATokenNobodyHoldsIsRefusedEverywhere)
{
    const std::string held = registerAccount("13912340003", true);
    ASSERT_FALSE(held.empty());
    std::int64_t heldID = profile(held).value("id", std::int64_t(0));
    // A new password ends every sign-in of the account.
    const std::string ended = registerAccount("13912340004", true);
    std::int64_t endedID = profile(ended).value("id", std::int64_t(0));
    ASSERT_EQ(call("POST", "v1/user/change/password",
                  { { "password", "pass-2" }, { "repassword", "pass-2" } }, ended)["errorCode"],
        0);
    struct Case {
        const char* what;
        std::string token;
        std::int64_t userID;
    };
    const Case cases[] = {
        { "unknown", "tk-unknown", 0 },
        { "none", "", 0 },
        { "ended by a new password", ended, endedID },
        { "the sample's with another letter", "tk-301877-firsT", kSampleID },
    };
    const std::size_t messages = chat->history(1).size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(roomUser(c.token)["errorCode"], 2000);
        EXPECT_EQ(send(c.token, "anyone there?")["errorCode"], 2000);
        EXPECT_EQ(
            call("POST", "v1/room/revokemsg",
                { { "room_id", 1 }, { "seqs", nlohmann::json::array({ 4387 }) } }, c.token)["errorCode"],
            2000);
        EXPECT_EQ(mute(c.token, 100388)["errorCode"], 2000);
        Socket socket(server->httpPort(), chat->path());
        EXPECT_EQ(signIn(socket, c.token, c.userID), 0);
    }
    EXPECT_EQ(chat->history(1).size(), messages);

    // A held token signs in as its own account only.
    Socket socket(server->httpPort(), chat->path());
    EXPECT_EQ(signIn(socket, held, kSampleID), 0);
    Socket own(server->httpPort(), chat->path());
    EXPECT_EQ(signIn(own, held, heldID), 1);
}

TEST_F(ChatRoomAccountsTest, TheSampleAccountKeepsItsPlaceInTheRoomsDataUnderItsNameOfNow)
{
    // Its name changed through the API, the room names it so and keeps its role and rank: in what
    // reaches the room's subscribers as it is sent, and in the room's history.
    ASSERT_EQ(call("POST", "v1/user/change/nickname", { { "new_nickname", "别的名字" } },
                  kSampleToken)["errorCode"],
        0);
    chat->setScript({});
    Socket listener(server->httpPort(), chat->path());
    ASSERT_EQ(signIn(listener, kSampleToken, kSampleID), 1);
    ASSERT_EQ(subscribe(listener), 1);
    for (const std::string& token : { std::string(kSampleToken), std::string(kSampleRefreshedToken),
             login("xiaoyu2023", "rain-over-2023") }) {
        SCOPED_TRACE(token);
        EXPECT_EQ(roomUser(token)["data"]["member_type"], 1);
        ASSERT_EQ(send(token, "各位好")["errorCode"], 0);
        std::optional<Output> pushed = listener.read();
        MessageOutput live;
        ASSERT_TRUE(pushed && pushed->type() == PT_MESSAGE && live.ParseFromString(pushed->data()));
        EXPECT_EQ(live.message().sender().nickname(), "别的名字");
        EXPECT_EQ(live.message().sender().member_type(), 1);
        Sender sender = chat->history(1).back().sender();
        EXPECT_EQ(sender.sender_id(), kSampleID);
        EXPECT_EQ(sender.nickname(), "别的名字");
        EXPECT_EQ(sender.rank_name(), "影迷");
        EXPECT_EQ(sender.member_type(), 1);
        EXPECT_EQ(mute(token, 100388)["errorCode"], 0);
        Socket socket(server->httpPort(), chat->path());
        EXPECT_EQ(signIn(socket, token, kSampleID), 1);
    }
}

TEST_F(ChatRoomAccountsTest, TheHistoryNamesAccountsAsTheyAreNamedNow)
{
    const std::string token = registerAccount("13912340005", true);
    ASSERT_FALSE(token.empty());
    const std::int64_t id = profile(token).value("id", std::int64_t(0));
    nlohmann::json first = send(token, "先到一步");
    ASSERT_EQ(first["errorCode"], 0) << first.dump();
    // A reply of the sample account quoting it, and one quoting the sample's message of the data.
    std::int64_t sampleMessage = 0;
    for (const Message& message : chat->history(1)) {
        if (message.sender().sender_id() == kSampleID)
            sampleMessage = message.seq();
    }
    ASSERT_NE(sampleMessage, 0);
    auto reply = [&](const std::string& from, std::int64_t quoted) {
        return call("POST", "v1/room/sendmsg",
            { { "sender_type", 2 }, { "receiver_type", 2 }, { "receiver_id", 1 }, { "type", 1 },
                { "content", "回复" }, { "link_seq", quoted } },
            from)["data"]
            .value("seq", std::int64_t(0));
    };
    const std::int64_t quotingAccount = reply(kSampleToken, first["data"]["seq"]);
    const std::int64_t quotingSample = reply(token, sampleMessage);
    ASSERT_GT(quotingAccount, 0);
    ASSERT_GT(quotingSample, 0);

    ASSERT_EQ(
        call("POST", "v1/user/change/nickname", { { "new_nickname", "改名的船" } }, token)["errorCode"], 0);
    ASSERT_EQ(call("POST", "v1/user/change/nickname", { { "new_nickname", "改名的鱼" } },
                  kSampleToken)["errorCode"],
        0);
    nlohmann::json picture = uploadAvatar(token);
    ASSERT_EQ(picture["errorCode"], 0) << picture.dump();

    // Asked again, the old messages and their quotes name both accounts anew; a member that only
    // the room's data knows keeps its data's name.
    nlohmann::json last = call("GET", "v1/room/lastmsg", { { "room_id", 1 } }, token);
    ASSERT_EQ(last["errorCode"], 0) << last.dump();
    std::map<std::int64_t, nlohmann::json> bySeq;
    for (const nlohmann::json& message : last["data"]["messages"])
        bySeq[message["seq"].get<std::int64_t>()] = message;
    ASSERT_TRUE(bySeq.contains(first["data"]["seq"]));
    EXPECT_EQ(bySeq[first["data"]["seq"]]["sender"]["nickname"], "改名的船");
    EXPECT_EQ(bySeq[first["data"]["seq"]]["sender"]["avatar_url"], picture["data"]["url"]);
    EXPECT_EQ(bySeq[quotingAccount]["sender"]["nickname"], "改名的鱼");
    EXPECT_EQ(bySeq[quotingAccount]["sender"]["member_type"], 1);
    EXPECT_EQ(bySeq[quotingAccount]["link_message"]["sender_name"], "改名的船");
    EXPECT_EQ(bySeq[quotingSample]["link_message"]["sender_name"], "改名的鱼");
    const std::map<std::int64_t, std::string> names
        = { { kSampleID, "改名的鱼" }, { id, "改名的船" }, { 100388, "追剧的猫" } };
    for (const Message& message : chat->history(1)) {
        auto name = names.find(message.sender().sender_id());
        if (name != names.end()) {
            EXPECT_EQ(message.sender().nickname(), name->second) << message.seq();
        }
    }
}

TEST_F(ChatRoomAccountsTest, TheSocketsSyncAndANewQuoteNameAnAccountAsItIsNamedNow)
{
    const std::string token = registerAccount("13912340006", true);
    const std::int64_t seq = send(token, "改名之前")["data"].value("seq", std::int64_t(0));
    ASSERT_NE(seq, 0);
    ASSERT_EQ(
        call("POST", "v1/user/change/nickname", { { "new_nickname", "改名之后" } }, token)["errorCode"], 0);
    chat->setScript({});
    Socket socket(server->httpPort(), chat->path());
    ASSERT_EQ(signIn(socket, kSampleToken, kSampleID), 1);
    ASSERT_EQ(subscribe(socket), 1);

    // Synced from right before it, the message comes first, under the name of now.
    SyncInput sync;
    sync.set_seq(seq - 1);
    sync.set_flag(1);
    std::optional<Output> answer = socket.ask(PT_SYNC, 11, sync.SerializeAsString());
    SyncOutput synced;
    ASSERT_TRUE(answer && synced.ParseFromString(answer->data()) && synced.messages_size() > 0);
    EXPECT_EQ(synced.messages(0).seq(), seq);
    EXPECT_EQ(synced.messages(0).sender().nickname(), "改名之后");

    // A reply quoting it now names it so, as it is pushed and as the room keeps it.
    ASSERT_EQ(call("POST", "v1/room/sendmsg",
                  { { "receiver_id", 1 }, { "type", 1 }, { "content", "引用" }, { "link_seq", seq } },
                  kSampleToken)["errorCode"],
        0);
    std::optional<Output> pushed = socket.read();
    MessageOutput live;
    ASSERT_TRUE(pushed && live.ParseFromString(pushed->data()));
    EXPECT_EQ(live.message().link_message().sender_name(), "改名之后");
    EXPECT_EQ(chat->history(1).back().link_message().sender_name(), "改名之后");
}
