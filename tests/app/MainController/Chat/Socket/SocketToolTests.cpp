// The chat socket client against the local test server's chat room over wss; the timers run on
// the virtual clock, the network in real time.

#include "app/Core/Helpers/DeviceIdentity.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_NetworkEnvelope.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/NotificationCenter.h"
#include "tests/app/MainController/Chat/ChatTestSupport.h"

#include <cmath>

namespace {

using zvtest::ChatSocketTest;

std::string varint(std::uint64_t value)
{
    std::string bytes;
    while (value >= 0x80) {
        bytes += static_cast<char>((value & 0x7f) | 0x80);
        value >>= 7;
    }
    bytes += static_cast<char>(value);
    return bytes;
}

std::string record(int field, const std::string& content)
{
    return varint(field * 8 + 2) + varint(content.size()) + content;
}

template<class Payload> Payload payloadOf(const Input& input)
{
    Payload payload;
    EXPECT_TRUE(payload.ParseFromString(input.data()));
    return payload;
}

Output reply(PackageType type, std::int64_t requestID, const google::protobuf::Message& payload)
{
    Output output;
    output.set_type(type);
    output.set_request_id(requestID);
    output.set_data(payload.SerializeAsString());
    return output;
}

}

TEST_F(ChatSocketTest, AConnectionSignsInWithExactlyTheseBytesOrSendsNothing)
{
    double fixed = std::floor(Date::now().timeIntervalSince1970()) + 0.25;
    Date::setClockForTesting([fixed] { return fixed; });
    int connectedCalls = 0;
    tool->connectedBlock = [&](bool connected) { connectedCalls += connected ? 1 : 0; };
    tool->connect({});
    ASSERT_TRUE(waitFor([] { return !chatRoom().received().empty(); }));
    Date::setClockForTesting({});

    std::string device = deviceUUID().value_or("");
    ASSERT_FALSE(device.empty());
    std::string signIn
        = record(1, device) + "\x10" + varint(accountID) + record(3, std::string("Bearer ") + token);
    std::uint64_t requestID = static_cast<std::uint64_t>(fixed * 1000.0);
    std::string expected = std::string("\x08\x01\x10", 3) + varint(requestID) + record(3, signIn);
    EXPECT_EQ(chatRoom().received().front().bytes, expected);
    EXPECT_EQ(connectedCalls, 1);
    ASSERT_TRUE(waitFor([&] { return countOf(PT_HEARTBEAT) == 1; }));

    // Without a token, or without a profile, the connection stays open and silent.
    for (bool withToken : { false, true }) {
        tool->logout();
        ASSERT_TRUE(waitFor([] { return chatRoom().connectionCount() == 0; }));
        chatRoom().clearReceived();
        if (withToken) {
            setToken(token);
            ConfigSingleton::shared().zv_userInfoModel.reset();
        } else {
            StoreData::remove(StoreData::access_token);
            signInProfile();
        }
        tool->connect({});
        ASSERT_TRUE(waitFor([&] { return tool->isConnected(); }));
        settle();
        EXPECT_TRUE(chatRoom().received().empty()) << withToken;
        EXPECT_FALSE(tool->isSignIn());
        EXPECT_EQ(chatRoom().connectionCount(), 1u);
    }
}

TEST_F(ChatSocketTest, ASignInThenASubscriptionThenHeartbeatsEveryThirtySecondsFromOneTimer)
{
    int signIns = 0;
    std::vector<SubscribeRoomOutput> subscriptions;
    int hooks = 0;
    tool->signInBlock = [&] { ++signIns; };
    tool->subscribeRoomBlock = [&](const SubscribeRoomOutput& output) { subscriptions.push_back(output); };
    ASSERT_TRUE(connectAndSubscribe([&] { ++hooks; }));
    ASSERT_TRUE(waitFor([] { return countOf(PT_HEARTBEAT) == 1; }));
    EXPECT_EQ(inputTypes(), (std::vector<PackageType> { PT_SIGN_IN, PT_SUBSCRIBE_ROOM, PT_HEARTBEAT }));
    EXPECT_EQ(signIns, 1);
    EXPECT_EQ(hooks, 1);
    ASSERT_EQ(subscriptions.size(), 1u);
    EXPECT_EQ(subscriptions[0].code(), 1);
    EXPECT_EQ(subscriptions[0].room_conns(), 37); // the room's 36 and this one

    SubscribeRoomInput subscribe = payloadOf<SubscribeRoomInput>(inputs()[1]);
    EXPECT_EQ(subscribe.room_id(), 1);
    EXPECT_EQ(subscribe.device_id(), deviceUUID());
    EXPECT_EQ(subscribe.device_info().device_id(), deviceUUID());
    EXPECT_EQ(subscribe.device_info().type(), 2);
    EXPECT_EQ(subscribe.device_info().brand(), "Apple");
    EXPECT_EQ(subscribe.device_info().model(), ZV_NetworkEnvelope::deviceModelName());
    EXPECT_EQ(subscribe.device_info().sdk_version(), "308");
    EXPECT_TRUE(inputs()[2].data().empty());

    for (std::size_t beats : { 2u, 3u }) {
        advance(29.9);
        settle();
        EXPECT_EQ(countOf(PT_HEARTBEAT), beats - 1);
        advance(0.1);
        ASSERT_TRUE(waitFor([&] { return countOf(PT_HEARTBEAT) == beats; }));
    }

    // A second subscription re-arms the same timer: at once, then still one beat per 30 s.
    chatRoom().dropConnections();
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    advance(5);
    ASSERT_TRUE(waitFor([&] { return tool->isSubscribed() && countOf(PT_HEARTBEAT) == 4; }));
    EXPECT_EQ(hooks, 2);
    EXPECT_TRUE(timers->isExistTimer("SocketHeartTimer"));
    advance(30);
    ASSERT_TRUE(waitFor([&] { return countOf(PT_HEARTBEAT) == 5; }));
    settle();
    EXPECT_EQ(countOf(PT_HEARTBEAT), 5u);

    // A refused sign-in stops there.
    tool->logout();
    chatRoom().clearReceived();
    setToken("tk-unknown");
    std::vector<PackageType> delivered;
    tool->callBackBlock = [&](const Output& output) { delivered.push_back(output.type()); };
    tool->connect({});
    ASSERT_TRUE(waitFor([&] { return !delivered.empty(); }));
    settle();
    EXPECT_EQ(inputTypes(), (std::vector<PackageType> { PT_SIGN_IN }));
    EXPECT_FALSE(tool->isSignIn());
    EXPECT_EQ(signIns, 2);
}

TEST_F(ChatSocketTest, ALostConnectionIsTriedAgainFiveSecondsApartThreeTimesUntilOneSucceeds)
{
    std::vector<bool> changes;
    tool->connectedBlock = [&](bool connected) { changes.push_back(connected); };
    ASSERT_TRUE(connectAndSubscribe());
    ASSERT_TRUE(waitFor([] { return countOf(PT_HEARTBEAT) == 1; }));
    chatRoom().setAcceptingConnections(false);
    chatRoom().dropConnections();
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    EXPECT_EQ(tool->reconnectCount(), 1);
    EXPECT_EQ(upgradeRequests(), 1u);

    for (std::size_t attempt = 2; attempt <= 4; ++attempt) {
        advance(4.9);
        settle();
        EXPECT_EQ(upgradeRequests(), attempt - 1);
        advance(0.1);
        ASSERT_TRUE(waitFor([&] {
            return upgradeRequests() == attempt && tool->reconnectCount() == std::min<int>(attempt, 3);
        }));
        // Each refusal is a loss of its own: connected once, then lost four times.
        ASSERT_TRUE(waitFor([&] { return changes.size() == attempt + 1; }));
    }
    // Three delayed attempts, then nothing more until the heartbeat's own try at 30 s.
    advance(14);
    settle();
    EXPECT_EQ(upgradeRequests(), 4u);
    EXPECT_EQ(tool->reconnectCount(), 3);

    chatRoom().setAcceptingConnections(true);
    advance(2);
    ASSERT_TRUE(waitFor([&] { return tool->isSubscribed(); }));
    EXPECT_EQ(upgradeRequests(), 5u);
    EXPECT_EQ(tool->reconnectCount(), 0);
    EXPECT_EQ(changes.back(), true);

    // A connection resets the count: a new loss gets three attempts again.
    chatRoom().dropConnections();
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    EXPECT_EQ(tool->reconnectCount(), 1);
    advance(5);
    ASSERT_TRUE(waitFor([&] { return tool->isSubscribed(); }));
}

TEST_F(ChatSocketTest, ARequestMadeWhileDisconnectedIsSentOnceAfterTheSubscription)
{
    std::vector<Output> syncs;
    tool->callBackBlock = [&](const Output& output) {
        if (output.type() == PT_SYNC)
            syncs.push_back(output);
    };
    tool->sync(1, 4380);
    EXPECT_EQ(tool->queuedRequestCount(), 1u);
    ASSERT_TRUE(waitFor([&] { return !syncs.empty(); }));
    std::vector<PackageType> types = inputTypes();
    auto at = [&](PackageType type) { return std::find(types.begin(), types.end(), type) - types.begin(); };
    EXPECT_LT(at(PT_SIGN_IN), at(PT_SUBSCRIBE_ROOM));
    EXPECT_LT(at(PT_SUBSCRIBE_ROOM), at(PT_SYNC));
    SyncInput sent = payloadOf<SyncInput>(inputs()[at(PT_SYNC)]);
    EXPECT_EQ(sent.seq(), 4380);
    EXPECT_EQ(sent.flag(), 1);
    SyncOutput answer;
    ASSERT_TRUE(answer.ParseFromString(syncs.front().data()));
    ASSERT_EQ(answer.messages_size(), 7);
    EXPECT_EQ(answer.messages(0).seq(), 4381);
    EXPECT_FALSE(answer.has_more());

    // Sent once: a later subscription does not send it again.
    chatRoom().dropConnections();
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    advance(5);
    ASSERT_TRUE(waitFor([&] { return tool->isSubscribed(); }));
    settle();
    EXPECT_EQ(countOf(PT_SYNC), 1u);
    EXPECT_EQ(syncs.size(), 1u);

    // An acknowledgement never opens a connection.
    auto idle = ZV_SocketTool::create(timers);
    std::size_t before = upgradeRequests();
    idle->sendMessageAck();
    settle();
    EXPECT_FALSE(idle->socket());
    EXPECT_EQ(upgradeRequests(), before);
}

TEST_F(ChatSocketTest, RepliesGoToTheRequestOfTheirTypeAndIdAndPushesAreNeverReplies)
{
    // No server here: the events are handed in as the socket would.
    BaseURLs::websocket_url() = "wss://127.0.0.1:1/ws";
    double fixed = 1717326000.0;
    Date::setClockForTesting([fixed] { return fixed; });
    std::int64_t first = static_cast<std::int64_t>(fixed * 1000);
    std::vector<PackageType> delivered;
    int signIns = 0;
    int hooks = 0;
    tool->callBackBlock = [&](const Output& output) { delivered.push_back(output.type()); };
    tool->signInBlock = [&] { ++signIns; };
    tool->connect([&] { ++hooks; });
    auto socket = tool->socket();
    ASSERT_TRUE(socket);
    socket->detach(); // only the events below reach the client
    auto receive = [&](const Output& output) {
        std::string bytes = output.SerializeAsString();
        tool->didReceive(WebSocketEvent::binary(Data(bytes.begin(), bytes.end())), *socket);
    };
    tool->didReceive(WebSocketEvent::connected({}), *socket); // request first: the sign-in

    SignInOutput accepted;
    accepted.set_code(1);
    receive(reply(PT_SIGN_IN, first + 7, accepted)); // the id of no request: no sign-in
    EXPECT_EQ(signIns, 0);
    receive(reply(PT_SIGN_IN, 0, accepted)); // no id: the oldest sign-in; then the subscription
    EXPECT_EQ(signIns, 1);
    receive(reply(PT_SIGN_IN, 0, accepted)); // answered already
    EXPECT_EQ(signIns, 1);
    SubscribeRoomOutput subscribed;
    subscribed.set_code(1);
    receive(reply(PT_SUBSCRIBE_ROOM, first + 1, subscribed));
    EXPECT_TRUE(tool->isSubscribed());
    EXPECT_EQ(hooks, 1);
    drain(); // the heartbeat: request first + 2

    tool->sync(-1, 4368); // first + 3
    tool->sendMessageAck(); // first + 4
    MessageOutput push;
    push.mutable_message()->set_seq(4388);
    receive(reply(PT_MESSAGE, 0, push)); // a push while an acknowledgement waits
    receive(reply(PT_SYNC, first + 3, SyncOutput()));
    receive(reply(PT_HEARTBEAT, first + 2, HeartBeatOutput()));
    receive(reply(PT_MESSAGE, first + 4, Output())); // the acknowledgement's answer
    std::string bytes = "\x0a\xff";
    tool->didReceive(WebSocketEvent::binary(Data(bytes.begin(), bytes.end())), *socket);
    Date::setClockForTesting({});

    EXPECT_EQ(delivered,
        (std::vector<PackageType> {
            PT_SIGN_IN, PT_SIGN_IN, PT_SIGN_IN, PT_SUBSCRIBE_ROOM, PT_MESSAGE, PT_SYNC, PT_HEARTBEAT }));
    EXPECT_EQ(signIns, 1);

    // A replaced socket's events go nowhere.
    tool->connect({});
    tool->didReceive(WebSocketEvent::disconnected("", 1000), *socket);
    EXPECT_TRUE(tool->isSubscribed() == false && tool->reconnectCount() == 0);
}

TEST_F(ChatSocketTest, LoggingOutClosesTheSocketStopsTheHeartbeatAndForgetsTheSignIn)
{
    ASSERT_TRUE(connectAndSubscribe());
    ASSERT_TRUE(tool->isSignIn());
    ASSERT_TRUE(timers->isExistTimer("SocketHeartTimer"));
    tool->sync(1, 4380);
    tool->logout();
    EXPECT_FALSE(tool->isConnected());
    EXPECT_FALSE(tool->isSignIn());
    EXPECT_FALSE(tool->socket());
    EXPECT_FALSE(timers->isExistTimer("SocketHeartTimer"));
    ASSERT_TRUE(waitFor([] { return chatRoom().connectionCount() == 0; }));

    std::size_t before = upgradeRequests();
    std::size_t beats = countOf(PT_HEARTBEAT);
    advance(60);
    settle();
    EXPECT_EQ(upgradeRequests(), before);
    EXPECT_EQ(countOf(PT_HEARTBEAT), beats);

    // The shared client follows the account's sign-out.
    ZV_SocketTool& shared = ZV_SocketTool::shared();
    shared.connect({});
    ASSERT_TRUE(waitFor([&] { return shared.isSubscribed(); }));
    NotificationCenter::defaultCenter().post("logoutSuccess");
    EXPECT_FALSE(shared.socket());
    EXPECT_FALSE(shared.isSignIn());
    EXPECT_FALSE(GCDTimer::shared().isExistTimer("SocketHeartTimer"));
}
