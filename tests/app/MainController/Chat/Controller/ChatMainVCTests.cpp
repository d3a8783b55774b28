// The chat page's socket side against the local test server's chat room: what reaches the
// store and the list, across a lost connection too, and the member's state.

#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Chat/Controller/ZV_ChatMainVC.h"
#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"
#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "tests/app/MainController/Chat/ChatTestSupport.h"

#include <numeric>

namespace {

class ChatPageTest : public zvtest::ChatSocketTest {
protected:
    void SetUp() override
    {
        ChatSocketTest::SetUp();
        if (HasFatalFailure())
            return;
        ZV_Network::shared().setUI(std::make_shared<zvtest::FakeNetworkUI>());
        page = std::make_shared<ZV_ChatMainVC>(tool);
    }

    void TearDown() override
    {
        page.reset();
        ZV_Network::shared().setUI(nullptr);
        ChatSocketTest::TearDown();
    }

    static std::vector<std::int64_t> seqs(const std::vector<Message>& messages)
    {
        std::vector<std::int64_t> result;
        for (const Message& message : messages)
            result.push_back(message.seq());
        return result;
    }
    static std::vector<std::int64_t> range(std::int64_t first, std::int64_t last)
    {
        std::vector<std::int64_t> result(last - first + 1);
        std::iota(result.begin(), result.end(), first);
        return result;
    }

    // Loads the page and waits until it has joined (its first heartbeat out) and stored the room's
    // newest messages.
    bool open()
    {
        page->loadViewIfNeeded();
        return waitFor([&] {
            return tool->isSubscribed() && page->messageList().size() >= 20
                && page->zv_currentModel()->member_type == 1 && countOf(PT_HEARTBEAT) == 1;
        });
    }

    std::shared_ptr<ZV_ChatMainVC> page;
};

}

TEST_F(ChatPageTest, NothingIsLostOrDoubledAcrossADroppedConnection)
{
    ASSERT_TRUE(open());
    EXPECT_EQ(seqs(ActiveSQLiteTool::loadMessages()), range(4368, 4387));

    // The connection breaks; ten messages come to the room meanwhile.
    chatRoom().dropConnections();
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    for (int i = 0; i < 10; ++i)
        chatRoom().push(1);
    EXPECT_EQ(chatRoom().maxSeq(1), 4397);
    settle();
    EXPECT_EQ(page->messageList().size(), 20u);

    // Back after five seconds: the subscription syncs from the last stored message.
    advance(ZV_SocketTool::reconnectDelay);
    ASSERT_TRUE(waitFor([&] { return page->messageList().size() == 30; }));
    EXPECT_EQ(seqs(ActiveSQLiteTool::loadMessages()), range(4368, 4397));
    EXPECT_EQ(seqs(page->messageList()), range(4368, 4397));
    EXPECT_EQ(ZVRootViewController::chatUnreadCount(chatRoom().maxSeq(1)), 0);

    // Live pushes, and the same messages again from the history and from a sync, are kept once.
    std::int64_t live = chatRoom().push(1, "又来一条");
    ASSERT_TRUE(waitFor([&] { return page->messageList().size() == 31; }));
    std::size_t syncs = countOf(PT_SYNC);
    page->requestLastMessages();
    tool->sync(1, 4380);
    ASSERT_TRUE(waitFor([&] { return countOf(PT_SYNC) == syncs + 1; }));
    settle();
    EXPECT_EQ(seqs(ActiveSQLiteTool::loadMessages()), range(4368, live));
    EXPECT_EQ(seqs(page->messageList()), range(4368, live));
    EXPECT_EQ(page->messageList().back().message_content(), "又来一条");
    EXPECT_GE(countOf(PT_MESSAGE), 2u); // acknowledged

    // A push without a message is nothing to store or show.
    Output empty;
    empty.set_type(PT_MESSAGE);
    page->handleSocketOutput(empty);
    EXPECT_EQ(page->messageList().size(), 31u);
    EXPECT_EQ(ActiveSQLiteTool::loadMessages().front().seq(), 4368);

    // A recalled message leaves the store and the list.
    chatRoom().revoke(1, { 4370, 99999 });
    ASSERT_TRUE(waitFor([&] { return page->messageList().size() == 30; }));
    EXPECT_EQ(ActiveSQLiteTool::loadMessages().size(), 30u);
}

TEST_F(ChatPageTest, TheRoomsScriptOfTheTourLosesNothingEither)
{
    // As the data file has it: three pushes after the first subscription, then, at the second
    // heartbeat, a cut connection and ten messages while it is down.
    chatRoom().setScript({ { "subscribe", 1, false, 3 }, { "heartbeat", 2, true, 10 } });
    ASSERT_TRUE(open());
    ASSERT_TRUE(waitFor([&] { return page->messageList().back().seq() == 4390; }));
    advance(ZV_SocketTool::heartbeatInterval);
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    advance(ZV_SocketTool::reconnectDelay);
    ASSERT_TRUE(waitFor([&] { return page->messageList().back().seq() == 4400; }));
    // The history may have come before or after the first pushes; from its first message on,
    // nothing is missing.
    std::int64_t first = page->messageList().front().seq();
    EXPECT_EQ(seqs(page->messageList()), range(first, 4400));
    EXPECT_EQ(seqs(ActiveSQLiteTool::loadMessages()), range(first, 4400));
}

TEST_F(ChatPageTest, TheMembersStateComesFromTheRoomAndFollowsItsPushes)
{
    ASSERT_TRUE(open());
    const auto& model = page->zv_currentModel();
    EXPECT_EQ(model->is_block, 0);
    EXPECT_EQ(model->room_notice, "欢迎来到放映厅，文明发言，请勿剧透。");
    // The room's count with or without this connection, as the room reply and the heartbeat
    // come in either order.
    EXPECT_TRUE(model->online_devices == 36 || model->online_devices == 37) << model->online_devices;

    chatRoom().block(accountID, 1, 3600);
    ASSERT_TRUE(waitFor([&] { return model->is_block == 1; }));
    EXPECT_EQ(model->block_remain_time, 3600);
    model->is_block = 0;
    page->requestRoomUser();
    ASSERT_TRUE(waitFor([&] { return model->is_block == 1; }));
    EXPECT_GE(model->block_remain_time, 3590);
    EXPECT_LE(model->block_remain_time, 3600);

    chatRoom().block(accountID, 1, -1);
    ASSERT_TRUE(waitFor([&] { return model->block_remain_time == -1; }));

    // Signing out forgets the restriction and the role and closes the connection.
    page->logoutReset();
    EXPECT_EQ(model->is_block, 0);
    EXPECT_EQ(model->member_type, 0);
    EXPECT_FALSE(tool->socket());

    // Read leniently: texts of numbers count, anything else is 0 or empty.
    ZV_MessageCurrentModel empty(JSON::parse("{}"));
    EXPECT_EQ(empty.is_block + empty.block_remain_time + empty.online_devices + empty.member_type, 0);
    EXPECT_EQ(empty.room_notice, "");
    ZV_MessageCurrentModel texts(
        JSON::parse(R"({"is_block":"1","block_remain_time":"-1","member_type":true,"room_notice":7})"));
    EXPECT_EQ(texts.is_block, 1);
    EXPECT_EQ(texts.block_remain_time, -1);
    EXPECT_EQ(texts.room_notice, "7");
}
