// The chat page against the local test server's chat room: what it asks for when it opens and
// when it joins, what reaches the store and the list, across a lost connection too, and the
// member's state.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Chat/View/ZV_ChatHeadView.h"
#include "app/MainController/Chat/View/ZV_ChatTipView.h"
#include "app/MainController/Mine/Setting/ZV_SettingVC.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/foundation/Log.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/UILabel.h"
#include "tests/app/MainController/Chat/ChatTestSupport.h"

#include <mutex>
#include <numeric>

namespace {

class ChatPageTest : public zvtest::ChatScreenTest {
protected:
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

    // Loads the page, joins the room and waits for the first heartbeat out.
    bool open()
    {
        return ChatScreenTest::open() && join() && waitFor([&] { return countOf(PT_HEARTBEAT) == 1; });
    }

    static Output package(PackageType type, const google::protobuf::Message& payload)
    {
        Output output;
        output.set_type(type);
        output.set_data(payload.SerializeAsString());
        return output;
    }
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
    advance(5);
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

TEST_F(ChatPageTest, AClearedCacheLosesNothingAcrossADroppedConnection)
{
    ASSERT_TRUE(open());
    // The settings page clears the cache while the room is open: the store is empty, the list
    // still shows its twenty messages.
    std::make_shared<ZV_SettingVC>()->clearCache();
    QMUITips::hideAllTips();
    ASSERT_TRUE(ActiveSQLiteTool::loadMessages().empty());
    EXPECT_EQ(page->messageList().size(), 20u);

    // The connection breaks; three messages come meanwhile; the client comes back.
    chatRoom().dropConnections();
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    for (int i = 0; i < 3; ++i)
        chatRoom().push(1);
    advance(5);
    ASSERT_TRUE(waitFor([&] { return page->messageList().size() == 23; }));
    EXPECT_EQ(seqs(page->messageList()), range(4368, 4390));
    EXPECT_EQ(seqs(ActiveSQLiteTool::loadMessages()), range(4388, 4390));
}

TEST_F(ChatPageTest, TheRoomsScriptOfTheTourLosesNothingEither)
{
    // As the data file has it: three pushes after the first subscription, then, at the second
    // heartbeat, a cut connection and ten messages while it is down.
    chatRoom().setScript({ { "subscribe", 1, false, 3 }, { "heartbeat", 2, true, 10 } });
    ASSERT_TRUE(open());
    ASSERT_TRUE(waitFor([&] { return page->messageList().back().seq() == 4390; }));
    advance(30);
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    advance(5);
    ASSERT_TRUE(waitFor([&] { return page->messageList().back().seq() == 4400; }));
    // The history may have come before or after the first pushes; from its first message on,
    // nothing is missing.
    std::int64_t first = page->messageList().front().seq();
    EXPECT_EQ(seqs(page->messageList()), range(first, 4400));
    EXPECT_EQ(seqs(ActiveSQLiteTool::loadMessages()), range(first, 4400));
}

TEST_F(ChatPageTest, APushBeforeTheSubscriptionReplyLeavesNoGap)
{
    // On the second and the third subscription, the room pushes a message before it answers.
    testserver::ChatScriptStep early { "subscribe", 2, false, 1 };
    early.beforeReply = true;
    testserver::ChatScriptStep later = early;
    later.count = 3;
    chatRoom().setScript({ early, later });
    ASSERT_TRUE(open());
    chatRoom().push(1);
    ASSERT_TRUE(waitFor([&] { return page->messageList().back().seq() == 4388; }));

    struct Outage {
        int missed; // messages to the room while the connection is down
        std::int64_t pushedFirst; // the push that comes before the subscription reply
    };
    // Two missed: one page. Twenty-five: more than a page of sync before the early push.
    for (const Outage& outage : { Outage { 2, 4391 }, Outage { 25, 4417 } }) {
        chatRoom().dropConnections();
        ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
        for (int i = 0; i < outage.missed; ++i)
            chatRoom().push(1);
        settle();
        advance(ZV_SocketTool::reconnectDelay);
        ASSERT_TRUE(waitFor([&] {
            return page->messageList().size() == static_cast<std::size_t>(outage.pushedFirst - 4368 + 1);
        })) << "after "
            << outage.missed << " missed: " << page->messageList().size() << " listed, the last "
            << page->messageList().back().seq();
        settle();
        EXPECT_EQ(chatRoom().maxSeq(1), outage.pushedFirst);
        EXPECT_EQ(seqs(page->messageList()), range(4368, outage.pushedFirst));
        EXPECT_EQ(seqs(ActiveSQLiteTool::loadMessages()), range(4368, outage.pushedFirst));
    }
    // The resyncs started before the early pushes: from 4388, then from 4391 (and on from the
    // end of its first page).
    std::vector<std::int64_t> synced;
    for (const Input& input : inputs()) {
        SyncInput sync;
        if (input.type() == PT_SYNC && sync.ParseFromString(input.data()) && sync.flag() == 1)
            synced.push_back(sync.seq());
    }
    EXPECT_EQ(synced, (std::vector<std::int64_t> { 4387, 4388, 4391, 4411 }));
}

TEST_F(ChatPageTest, TheLogSaysWhatHappenedOnceAndHeartbeatsAreQuiet)
{
    std::mutex mutex;
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) {
        if (line.starts_with("ZV_SocketTool") || line.starts_with("ZV_ChatMainVC")) {
            std::lock_guard lock(mutex);
            lines.emplace_back(line);
        }
    });
    auto logged = [&] {
        std::lock_guard lock(mutex);
        return lines;
    };
    bool opened = open();
    chatRoom().push(1, "一条新消息");
    bool pushed = waitFor([&] { return page->messageList().back().seq() == 4388; });
    for (int beat = 2; beat <= 4; ++beat) {
        advance(ZV_SocketTool::heartbeatInterval);
        waitFor([&] { return countOf(PT_HEARTBEAT) == static_cast<std::size_t>(beat); });
    }
    settle();
    std::vector<std::string> joined = logged();
    chatRoom().dropConnections();
    waitFor([&] { return !tool->isConnected(); });
    settle();
    std::vector<std::string> all = logged();
    Log::setSink({});
    ASSERT_TRUE(opened);
    ASSERT_TRUE(pushed);
    EXPECT_EQ(countOf(PT_HEARTBEAT), 4u);

    // Joining: the connection, the sign-in and the subscription, a line each; the push, the sync
    // and four heartbeats: nothing.
    auto count = [](const std::vector<std::string>& in, std::string_view part) {
        return std::count_if(in.begin(), in.end(),
            [&](const std::string& line) { return line.find(part) != std::string::npos; });
    };
    std::string text;
    for (const std::string& line : all)
        text += line + "\n";
    EXPECT_EQ(joined.size(), 3u) << text;
    EXPECT_EQ(count(joined, "connected to"), 1) << text;
    EXPECT_EQ(count(joined, "signed in"), 1) << text;
    EXPECT_EQ(count(joined, "subscribed to room 1, 37 online"), 1) << text;
    // The loss: one line, in words.
    EXPECT_EQ(all.size(), 4u) << text;
    for (const char* raw : { "request_id", "data:", "\\", "PT_", "Output" })
        EXPECT_EQ(count(all, raw), 0) << raw << " in\n" << text;
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

TEST_F(ChatPageTest, OpeningLoadsTheRoomAndJoiningConnects)
{
    ASSERT_TRUE(ChatScreenTest::open());
    ASSERT_EQ(sent("v1/room/current").size(), 1u);
    EXPECT_EQ(sent("v1/room/current")[0]["room_id"], 1);
    EXPECT_EQ(sent("v1/room/user")[0]["user_id"], accountID);
    nlohmann::json history = sent("v1/room/lastmsg")[0];
    EXPECT_EQ(history["room_id"], 1);
    EXPECT_FALSE(history.contains("seq"));
    EXPECT_TRUE(waitFor([&] { return page->zv_headView()->numLb()->text() == "36人在线"; }));
    EXPECT_FALSE(page->zv_notiView()->isHidden());
    EXPECT_EQ(page->zv_notiView()->marqueeLabel()->text(), "欢迎来到放映厅，文明发言，请勿剧透。");
    // Nothing connects before the viewer joins.
    EXPECT_FALSE(tool->socket());
    EXPECT_FALSE(page->zv_inputView()->joinView()->isHidden());

    ASSERT_TRUE(join());
    ASSERT_TRUE(waitFor([&] { return countOf(PT_SYNC) == 1; }));
    std::vector<PackageType> types = inputTypes();
    ASSERT_GE(types.size(), 3u);
    EXPECT_EQ(std::vector<PackageType>(types.begin(), types.begin() + 2),
        (std::vector<PackageType> { PT_SIGN_IN, PT_SUBSCRIBE_ROOM }));
    SyncInput sync;
    for (const Input& input : inputs()) {
        if (input.type() == PT_SYNC) {
            ASSERT_TRUE(sync.ParseFromString(input.data()));
        }
    }
    EXPECT_EQ(sync.flag(), 1);
    EXPECT_EQ(sync.seq(), 4387);

    page->requestLastMessages();
    ASSERT_TRUE(waitForRequests("v1/room/lastmsg", 2));
    EXPECT_EQ(sent("v1/room/lastmsg")[1]["seq"], 4387);

    // Signed out, join asks for a sign-in instead.
    StoreData::remove(StoreData::access_token);
    page->logoutReset();
    EXPECT_FALSE(page->zv_inputView()->joinView()->isHidden());
    EXPECT_TRUE(page->zv_inputView()->textBgView()->isHidden());
    page->zv_inputView()->joinBtn()->sendActions(UIControlEventTouchUpInside);
    EXPECT_TRUE(std::dynamic_pointer_cast<ZVNavigationController>(page->presentedViewController()));
    EXPECT_FALSE(tool->socket());
}

TEST_F(ChatPageTest, RevokesEmptyTheListAndRestrictionsReplaceTheInputBar)
{
    ASSERT_TRUE(open());
    // A revoked message goes whether the store held it or not.
    Message unstored;
    unstored.set_seq(99990);
    page->zv_chatVC()->messageList.push_back(unstored);
    RevokeMessageOutput revoke;
    revoke.add_seqs(99990);
    revoke.add_seqs(4369);
    page->handleSocketOutput(package(PT_REVOKE, revoke));
    EXPECT_EQ(page->messageList().back().seq(), 4387);
    EXPECT_EQ(page->messageList()[1].seq(), 4370);
    EXPECT_EQ(page->zv_chatVC()->messages.size(), page->messageList().size());
    EXPECT_EQ(ActiveSQLiteTool::loadMessages()[1].seq(), 4370);

    const auto& label = page->zv_mushinTipLb();
    chatRoom().block(accountID, 1, 7200);
    ASSERT_TRUE(waitFor([&] { return !label->isHidden(); }));
    EXPECT_TRUE(page->zv_inputView()->isHidden());
    EXPECT_EQ(label->text(), "你已被禁言，2小时后解封");
    chatRoom().block(accountID, 0, 0);
    ASSERT_TRUE(waitFor([&] { return label->isHidden(); }));
    EXPECT_FALSE(page->zv_inputView()->isHidden());
}

TEST(ChatMuteText, SaysHowLongTheRestrictionLasts)
{
    struct Case {
        std::int64_t isBlock, remain;
        std::optional<std::string> text;
    };
    for (const Case& c : std::vector<Case> {
             { 1, 86400, "你已被禁言，1天后解封" },
             { 1, 86399, "你已被禁言，23小时后解封" },
             { 1, 3600, "你已被禁言，1小时后解封" },
             { 1, 3599, "你已被禁言，59分钟后解封" },
             { 1, 59, "你已被禁言，0分钟后解封" },
             { 1, 0, "你已被禁言，0分钟后解封" },
             { 1, -1, "你已被封禁" },
             { 0, -1, std::nullopt },
             { 2, 86400, std::nullopt },
         })
        EXPECT_EQ(ZV_ChatMainVC::mushinText(c.isBlock, c.remain), c.text) << c.isBlock << " " << c.remain;
}

TEST(ChatPictureQuality, ShrinksLargePicturesHarder)
{
    struct Case {
        CGSize size;
        double quality;
    };
    for (const Case& c : std::vector<Case> { { { 1600, 1600 }, 0.2 }, { { 1500, 1500 }, 0.2 },
             { { 1600, 1200 }, 0.5 }, { { 800, 800 }, 0.5 }, { { 799, 2000 }, 1.0 }, { { 700, 2000 }, 1.0 } })
        EXPECT_EQ(ZV_ChatMainVC::jpegQuality(c.size), c.quality) << c.size.width << "x" << c.size.height;
}
