// The member card against the local test server's room: titles by the member's state, the
// moderation requests of each button, and a card that never acts on an earlier member's state.

#include "app/Extensions/ViewNib.h"
#include "app/MainController/Chat/View/ZV_ChatMushinAlertView.h"
#include "app/MainController/Chat/View/ZV_ChatUserAlert.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "platform/ui/UILabel.h"
#include "tests/app/MainController/Chat/ChatTestSupport.h"

#include <algorithm>

namespace {

class ChatUserAlertTest : public zvtest::ChatScreenTest {
protected:
    static Message member(std::int64_t id)
    {
        Message m;
        m.mutable_sender()->set_sender_id(id);
        m.mutable_sender()->set_nickname("夜航船");
        return m;
    }

    // Opens the card for the member; true once it is on the window.
    bool openFor(std::int64_t id)
    {
        card->removeFromSuperview();
        card->model = member(id);
        card->updateContent();
        card->requestUserState();
        return waitFor([&] { return card->superview() == window(); });
    }

    std::pair<std::string, std::string> titles() const
    {
        return { card->bannedBtn()->currentTitle().value_or(""),
            card->mushinBtn()->currentTitle().value_or("") };
    }

    // The parameters of the latest moderation request once it has gone out.
    nlohmann::json moderation(std::size_t count)
    {
        EXPECT_TRUE(waitForRequests("v1/room/blockuser", count));
        auto all = sent("v1/room/blockuser");
        return all.empty() ? nlohmann::json() : all.back();
    }

    // The duration picker on screen, if any.
    static std::shared_ptr<ZV_ChatMushinAlertView> shownPicker()
    {
        for (auto view = TouchDriver::findText("选择禁言时间"); view; view = view->superview()) {
            if (auto picker = std::dynamic_pointer_cast<ZV_ChatMushinAlertView>(view))
                return picker;
        }
        return nullptr;
    }

    std::shared_ptr<ZV_ChatUserAlert> card = viewForXib<ZV_ChatUserAlert>();
};

}

TEST_F(ChatUserAlertTest, TheButtonsFollowTheMembersStateAndSendTheirRequests)
{
    struct Case {
        std::int64_t isBlock, remain;
        std::pair<std::string, std::string> titles;
    };
    for (const Case& c : std::vector<Case> {
             { 1, -1, { "解封", "禁言" } }, { 1, 120, { "封禁", "解禁" } }, { 0, 0, { "封禁", "禁言" } } }) {
        chatRoom().block(100512, c.isBlock, c.remain);
        ASSERT_TRUE(openFor(100512));
        EXPECT_EQ(titles(), c.titles) << c.isBlock << " " << c.remain;
    }
    EXPECT_EQ(card->desLb()->text(), "UID：100512");

    struct Action {
        std::int64_t isBlock, remain;
        bool ban;
        int type;
        std::int64_t time;
    };
    std::size_t count = 0;
    for (const Action& a : std::vector<Action> { { 1, -1, true, 2, -1 }, { 0, 0, true, 1, -1 },
             { 1, 120, true, 1, -1 }, { 1, 120, false, 2, 0 } }) {
        chatRoom().block(100512, a.isBlock, a.remain);
        ASSERT_TRUE(openFor(100512));
        if (a.ban)
            card->clickBanned();
        else
            card->clickMushin();
        nlohmann::json request = moderation(++count);
        EXPECT_EQ(request["room_id"], 1);
        EXPECT_EQ(request["user_ids"], nlohmann::json::array({ 100512 }));
        EXPECT_EQ(request["type"], a.type);
        EXPECT_EQ(request["time"], a.time);
        // Any reply closes the card, with the server's word.
        ASSERT_TRUE(waitFor([&] { return !card->superview(); }));
        // The room's own join tip may show beside it; the server's word must be among the tips.
        auto shown = toasts();
        EXPECT_NE(std::find(shown.begin(), shown.end(), "操作成功"), shown.end()) << shown.size();
        QMUITips::hideAllTips();
    }

    // Muting a free member goes through the picker: the card closes, one hour is the default.
    chatRoom().block(100512, 0, 0);
    ASSERT_TRUE(openFor(100512));
    card->clickMushin();
    EXPECT_FALSE(card->superview());
    auto picker = shownPicker();
    ASSERT_TRUE(picker);
    picker->confirm();
    nlohmann::json mute = moderation(++count);
    EXPECT_EQ(mute["type"], 1);
    EXPECT_EQ(mute["time"], 3600);
    // The sheet has closed itself.
    advance(1.0);
    EXPECT_FALSE(shownPicker());
}

TEST_F(ChatUserAlertTest, EachOpeningStartsFromNothing)
{
    chatRoom().block(100388, 1, 120);
    ASSERT_TRUE(openFor(100388));
    EXPECT_EQ(titles(), std::make_pair(std::string("封禁"), std::string("解禁")));

    // The next member's state does not come: the card shows and acts as for a free member.
    api().script("v1/room/user", testserver::ApiReply::error(1001, "查询失败"));
    ASSERT_TRUE(openFor(100512));
    EXPECT_EQ(titles(), std::make_pair(std::string("封禁"), std::string("禁言")));
    EXPECT_FALSE(card->zv_currentModel);
    card->clickMushin();
    EXPECT_TRUE(sent("v1/room/blockuser").empty());
    EXPECT_FALSE(card->superview());
    // That is the picker's way for a free member; closed, it leaves nothing behind.
    auto picker = shownPicker();
    ASSERT_TRUE(picker);
    picker->close();
    advance(1.0);
    EXPECT_FALSE(shownPicker());

    // A late reply of an earlier opening changes nothing.
    api().clearScripts();
    testserver::ApiReply slow
        = testserver::ApiReply::success({ { "is_block", 1 }, { "block_remain_time", -1 } });
    slow.delay = std::chrono::milliseconds(600);
    api().script("v1/room/user", slow);
    card->model = member(100388);
    std::size_t asked = api().recordsTo("v1/room/user").size();
    card->requestUserState();
    // The server holds that reply back before the scripts go.
    ASSERT_TRUE(waitFor([&] { return api().recordsTo("v1/room/user").size() == asked + 1; }));
    api().clearScripts();
    chatRoom().block(100512, 0, 0);
    ASSERT_TRUE(openFor(100512));
    settle();
    settle();
    settle();
    EXPECT_EQ(titles(), std::make_pair(std::string("封禁"), std::string("禁言")));
    ASSERT_TRUE(card->zv_currentModel);
    EXPECT_EQ(card->zv_currentModel->is_block, 0);
}
