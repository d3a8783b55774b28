// The message list: time labels, name lines, bubble colours, paging over the socket, and what a
// tap or a press on a message does.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "app/MainController/Chat/View/ZV_ChatHeadView.h"
#include "app/MainController/Chat/View/ZV_ChatReactionView.h"
#include "app/MainController/Chat/View/ZV_ChatUserAlert.h"
#include "app/MainController/Chat/View/ZV_MediaMessageCell.h"
#include "app/MainController/Chat/View/ZV_TextMessageCell.h"
#include "app/MainController/Other/View/PhotoBrowser.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/messages/MessagesCollectionViewLayoutAttributes.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshAutoFooter.h"
#include "tests/app/MainController/Chat/ChatTestSupport.h"

namespace {

class ChatListTest : public zvtest::ChatScreenTest {
protected:
    static MockMessage at(double seconds, const std::string& nickname = "夜航船")
    {
        return MockMessage(MessageKit::MessageKind::text("x"), MockUser("1", nickname), "1", Date(seconds));
    }

    // A shown cell of a message whose sender is, or is not, the viewer.
    std::shared_ptr<MessageKit::MessageContentCell> cellOf(bool own)
    {
        window()->layoutIfNeeded();
        for (const auto& cell : list().messagesCollectionView()->visibleCells()) {
            auto indexPath = list().messagesCollectionView()->indexPathForCell(*cell);
            if (indexPath
                && (list().messageList[indexPath->section].sender().sender_id() == accountID) == own)
                return std::dynamic_pointer_cast<MessageKit::MessageContentCell>(cell);
        }
        return nullptr;
    }

    std::size_t syncsSent() { return countOf(PT_SYNC); }
};

}

TEST_F(ChatListTest, TimeLabelsNameLinesAndOwnBubbles)
{
    ZV_ChatVC& chat = list();
    chat.messages = { at(1000), at(1299), at(1599), at(1500), at(1800, "") };
    std::vector<bool> shown;
    for (int section = 0; section < 5; ++section)
        shown.push_back(chat.shouldShowTimeLabel(section));
    // The first always; 299 s after is too soon, 300 s enough; an earlier time never.
    EXPECT_EQ(shown, (std::vector<bool> { true, false, true, false, true }));

    auto& view = *chat.messagesCollectionView();
    Message named;
    named.mutable_sender()->set_nickname("夜航船");
    named.mutable_sender()->set_sender_id(accountID);
    Message nameless;
    chat.messageList = { named, nameless };
    EXPECT_EQ(chat.messageTopLabelHeight(chat.messages[0], { 0, 0 }, view), 30);
    EXPECT_EQ(chat.messageTopLabelHeight(chat.messages[1], { 0, 1 }, view), 10);
    EXPECT_EQ(chat.messageTopLabelHeight(chat.messages[2], { 0, 2 }, view), 10);
    EXPECT_EQ(chat.cellTopLabelHeight(chat.messages[1], { 0, 1 }, view), 0);
    EXPECT_EQ(chat.cellTopLabelHeight(chat.messages[2], { 0, 2 }, view), 18);

    // The bubbles as the light style draws them.
    auto bubble = [&](int section) {
        return chat.backgroundColor(chat.messages[static_cast<std::size_t>(section)], { 0, section }, view)
            .resolved(UIUserInterfaceStyle::light);
    };
    EXPECT_EQ(bubble(0), colorWithHex("5F8BFF"));
    EXPECT_EQ(bubble(1), UIColor::white());
    EXPECT_EQ(bubble(2), UIColor::white());
    // Without a profile the viewer's id reads as 0, as a message without a sender has.
    ConfigSingleton::shared().zv_userInfoModel.reset();
    EXPECT_EQ(bubble(1), colorWithHex("5F8BFF"));
    EXPECT_EQ(bubble(0), UIColor::white());

    // Ids beyond 32 bits: the viewer's own by the whole id, never by a narrowed one.
    struct Case {
        const char* viewer;
        std::int64_t sender;
        bool own;
    };
    for (const Case& c : std::vector<Case> { { "4294967297", 4294967297, true }, { "4294967297", 1, false },
             { "4294967297", 2147483647, false }, { "3000000000", 3000000000, true },
             { "3000000000", 2147483647, false }, { "2147483647", 2147483647, true } }) {
        ConfigSingleton::shared().zv_userInfoModel = std::make_shared<const ZV_UserInfoModel>(
            JSON::parse(std::string(R"({"id":)") + c.viewer + "}"));
        chat.messageList[0].mutable_sender()->set_sender_id(c.sender);
        EXPECT_EQ(bubble(0) == colorWithHex("5F8BFF"), c.own) << c.viewer << " " << c.sender;
    }
    signInProfile();
}

TEST_F(ChatListTest, PagingGoesOverTheSocketOnlyOnceJoined)
{
    ASSERT_TRUE(open());
    auto& view = *list().messagesCollectionView();
    auto header = mjHeader(view);
    auto footer = mjFooter(view);
    ASSERT_TRUE(header && footer);

    // Not joined: the spinner stops, a tip says why, nothing is sent.
    list().loadOlderMessages();
    list().loadNewerMessages();
    EXPECT_FALSE(header->isRefreshing());
    EXPECT_EQ(footer->state(), MJRefreshState::noMoreData);
    EXPECT_EQ(toasts().back(), "加入聊天查看更多消息");
    EXPECT_EQ(syncsSent(), 0u);

    ASSERT_TRUE(join());
    ASSERT_TRUE(waitFor([&] { return syncsSent() == 1; }));
    list().loadOlderMessages();
    ASSERT_TRUE(waitFor([&] { return syncsSent() == 2; }));
    // The last sync sent; heartbeats and acknowledgements may have gone out after it.
    std::vector<Input> sent = inputs();
    auto older = std::find_if(
        sent.rbegin(), sent.rend(), [](const Input& input) { return input.type() == PT_SYNC; });
    ASSERT_NE(older, sent.rend());
    SyncInput sync;
    ASSERT_TRUE(sync.ParseFromString(older->data()));
    EXPECT_EQ(sync.flag(), -1);
    EXPECT_EQ(sync.seq(), list().messageList.front().seq());
    EXPECT_EQ(list().flag, -1);

    // An empty list has nothing to page from.
    list().messageList.clear();
    list().has_more = false;
    list().loadOlderMessages();
    list().loadNewerMessages();
    settle();
    EXPECT_EQ(syncsSent(), 2u);
    EXPECT_FALSE(header->isRefreshing());
    EXPECT_EQ(footer->state(), MJRefreshState::noMoreData);
}

TEST_F(ChatListTest, HistoryPagesComeOlderFromTheRoomUntilNoneIsLeft)
{
    // 45 messages in the room, none stored: the history brings the newest 20 and says 25 more
    // exist.
    ASSERT_TRUE(open());
    for (int i = 0; i < 25; ++i)
        chatRoom().push(1);
    ASSERT_TRUE(ZV_MessageASModel::deleteAll());
    list().messageList.clear();
    page->requestLastMessages();
    ASSERT_TRUE(
        waitFor([&] { return !list().messageList.empty() && list().messageList.front().seq() == 4393; }));
    EXPECT_EQ(list().messageList.back().seq(), 4412);
    EXPECT_TRUE(list().has_more);
    EXPECT_EQ(list().more_msg_count, 25);
    ASSERT_TRUE(join());
    auto header = mjHeader(*list().messagesCollectionView());
    EXPECT_FALSE(header->isHidden());

    // Pulled down: twenty older ones, more behind them; the spinner ends, the header stays.
    header->beginRefreshing();
    advance(1.0);
    ASSERT_TRUE(waitFor([&] { return list().messageList.front().seq() == 4373; }));
    EXPECT_FALSE(header->isRefreshing());
    EXPECT_FALSE(header->isHidden());
    EXPECT_EQ(list().flag, -1);

    // The connection is lost and comes back: its sync of newer messages is not an older page.
    chatRoom().dropConnections();
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    std::size_t syncs = syncsSent();
    advance(5);
    ASSERT_TRUE(waitFor([&] { return syncsSent() == syncs + 1; }));
    settle();
    EXPECT_FALSE(header->isHidden());
    EXPECT_EQ(list().flag, 1);

    // A pull whose connection is lost before the answer: the spinner does not run on.
    header->setState(MJRefreshState::refreshing);
    chatRoom().dropConnections();
    ASSERT_TRUE(waitFor([&] { return !tool->isConnected(); }));
    EXPECT_FALSE(header->isRefreshing());
    advance(5);
    ASSERT_TRUE(waitFor([&] { return tool->isSubscribed(); }));

    // The last five; nothing older is left, so the header goes.
    header->beginRefreshing();
    advance(1.0);
    ASSERT_TRUE(waitFor([&] { return list().messageList.front().seq() == 4368; }));
    EXPECT_FALSE(header->isRefreshing());
    EXPECT_TRUE(header->isHidden());
    EXPECT_EQ(list().messageList.size(), 45u);
}

TEST_F(ChatListTest, EachPagingReplyEndsItsOwnControl)
{
    ASSERT_TRUE(open() && join());
    ASSERT_TRUE(waitFor([&] { return syncsSent() == 1; }));
    settle(); // the sync of the join has been answered
    auto& view = *list().messagesCollectionView();
    auto header = mjHeader(view);
    auto footer = std::dynamic_pointer_cast<MJRefreshAutoFooter>(mjFooter(view));
    ASSERT_TRUE(header && footer);
    footer->isAutomaticallyRefresh = false; // only the replies below move it

    auto reply = [](std::vector<std::int64_t> seqs, bool hasMore) {
        SyncOutput sync;
        for (std::int64_t seq : seqs)
            sync.add_messages()->set_seq(seq);
        sync.set_has_more(hasMore);
        Output output;
        output.set_type(PT_SYNC);
        output.set_data(sync.SerializeAsString());
        return output;
    };
    struct Case {
        std::int64_t flag;
        std::vector<std::int64_t> seqs;
        bool replyHasMore;
        bool hasMoreBefore;
        MJRefreshState footerBefore;
        // After the reply:
        bool headerHidden;
        MJRefreshState footer;
        bool hasMore;
    };
    using State = MJRefreshState;
    // An older page ends the header (gone when nothing older is left) and leaves the footer and
    // has_more as they were; a newer page ends the footer by its has_more and leaves the header.
    // Only a reply with messages is acknowledged.
    for (const Case& c : std::vector<Case> {
             { -1, { 100, 101 }, true, false, State::noMoreData, false, State::noMoreData, false },
             { -1, {}, false, true, State::idle, true, State::idle, true },
             { 1, { 90000, 90001 }, true, false, State::noMoreData, false, State::idle, true },
             { 1, {}, false, true, State::idle, false, State::noMoreData, false },
         }) {
        SCOPED_TRACE(::testing::Message() << "flag " << c.flag << ", " << c.seqs.size() << " messages");
        header->setHidden(false);
        header->setState(State::refreshing); // its block runs only once the clock moves
        footer->setState(c.footerBefore);
        list().flag = c.flag;
        list().has_more = c.hasMoreBefore;
        std::size_t acks = countOf(PT_MESSAGE);

        page->handleSocketOutput(reply(c.seqs, c.replyHasMore));
        EXPECT_EQ(header->isRefreshing(), c.flag == 1);
        EXPECT_EQ(header->isHidden(), c.headerHidden);
        EXPECT_EQ(footer->state(), c.footer);
        EXPECT_EQ(list().has_more, c.hasMore);
        if (c.seqs.empty()) {
            settle();
            EXPECT_EQ(countOf(PT_MESSAGE), acks);
        } else {
            EXPECT_TRUE(waitFor([&] { return countOf(PT_MESSAGE) == acks + 1; }));
        }
        header->endRefreshing();
        footer->endRefreshing();
    }
}

TEST_F(ChatListTest, ASubscriptionShowsTheHeaderOnlyWhenOlderMessagesCanExist)
{
    ASSERT_TRUE(ChatScreenTest::open());
    auto& view = *list().messagesCollectionView();
    auto header = mjHeader(view);
    auto footer = std::dynamic_pointer_cast<MJRefreshAutoFooter>(mjFooter(view));
    ASSERT_TRUE(header && footer);
    footer->isAutomaticallyRefresh = false;
    struct Case {
        std::vector<std::int64_t> seqs;
        bool hasMore;
        bool headerHidden;
        MJRefreshState footer;
    };
    // Nothing is older than seq 1; the footer rests in no-more-data when nothing newer is said to be.
    for (const Case& c : std::vector<Case> {
             { {}, false, true, MJRefreshState::noMoreData },
             { { 1, 2 }, true, true, MJRefreshState::idle },
             { { 2, 3 }, false, false, MJRefreshState::noMoreData },
             { { 4368 }, true, false, MJRefreshState::idle },
         }) {
        SCOPED_TRACE(::testing::Message() << c.seqs.size() << " messages, has_more " << c.hasMore);
        list().messageList.clear();
        for (std::int64_t seq : c.seqs) {
            Message message;
            message.set_seq(seq);
            list().messageList.push_back(message);
        }
        list().has_more = c.hasMore;
        header->setHidden(!c.headerHidden);
        footer->resetNoMoreData();
        SubscribeRoomOutput subscribed;
        subscribed.set_code(1);
        subscribed.set_room_conns(12);
        page->roomSubscribed(subscribed);
        EXPECT_EQ(header->isHidden(), c.headerHidden);
        EXPECT_EQ(footer->state(), c.footer);
    }
    EXPECT_EQ(page->zv_headView()->numLb()->text(), "12人在线");
    list().messageList.clear();
}

TEST_F(ChatListTest, HistoryRepliesSetHasMoreAndItsCount)
{
    ASSERT_TRUE(ChatScreenTest::open());
    EXPECT_FALSE(list().has_more);
    EXPECT_EQ(list().more_msg_count, 0);
    struct Case {
        const char* reply;
        bool hasMore;
        int count;
    };
    for (const Case& c : std::vector<Case> {
             { R"({"messages":[],"has_more":true,"more_msg_count":7})", true, 7 },
             { R"({"messages":[],"has_more":false,"more_msg_count":0})", false, 0 },
             { R"({"messages":[],"hasMore":true,"moreMsgCount":7})", false, 0 },
         }) {
        page->handleLastMessages(JSON::parse(c.reply));
        EXPECT_EQ(list().has_more, c.hasMore) << c.reply;
        EXPECT_EQ(list().more_msg_count, c.count) << c.reply;
    }
}

TEST_F(ChatListTest, TappingAnAvatarOpensTheCardForAdministratorsOnly)
{
    ASSERT_TRUE(open());
    auto other = cellOf(false);
    auto own = cellOf(true);
    ASSERT_TRUE(other && own);
    const auto& card = list().zv_chatUserAlert();

    list().didTapAvatar(*own);
    list().zv_currentModel->member_type = 0;
    list().didTapAvatar(*other);
    settle();
    EXPECT_TRUE(sent("v1/room/user").size() == 1 && !card->superview());

    list().zv_currentModel->member_type = 1;
    list().didTapAvatar(*other);
    ASSERT_TRUE(waitFor([&] { return card->superview() == window(); }));
    std::int64_t shown = list()
                             .messageList[list().messagesCollectionView()->indexPathForCell(*other)->section]
                             .sender()
                             .sender_id();
    EXPECT_EQ(sent("v1/room/user").back()["user_id"], shown);
}

TEST_F(ChatListTest, TappingAPictureOpensItFullScreen)
{
    ASSERT_TRUE(open());
    auto browserOnWindow = [&]() -> std::shared_ptr<PhotoBrowser> {
        for (const auto& view : window()->subviews()) {
            if (auto browser = std::dynamic_pointer_cast<PhotoBrowser>(view))
                return browser;
        }
        return nullptr;
    };
    list().didTapImage(*cellOf(false));
    EXPECT_FALSE(browserOnWindow());

    Output push;
    push.set_type(PT_MESSAGE);
    MessageOutput payload;
    Message* image = payload.mutable_message();
    image->set_seq(5000);
    image->set_message_type(MT_IMAGE);
    image->set_message_content("https://127.0.0.1/images/cover.png");
    push.set_data(payload.SerializeAsString());
    page->handleSocketOutput(push);
    list().messagesCollectionView()->scrollToLastItem(false);
    window()->layoutIfNeeded();
    auto picture = std::dynamic_pointer_cast<ZV_MediaMessageCell>(
        list().messagesCollectionView()->cellForItem({ 0, static_cast<int>(list().messageList.size()) - 1 }));
    ASSERT_TRUE(picture);
    list().didTapImage(*picture);
    auto browser = browserOnWindow();
    ASSERT_TRUE(browser);
    ASSERT_TRUE(browser->images() && browser->images()->size() == 1);
    EXPECT_EQ(std::get<std::string>(browser->images()->front()), "https://127.0.0.1/images/cover.png");
}

TEST_F(ChatListTest, APressOfFourTenthsOfASecondCallsItsBlockOnce)
{
    auto cell = std::make_shared<ZV_TextMessageCell>();
    MessageKit::MessagesCollectionViewLayoutAttributes attributes;
    attributes.frame = { 0, 100, 390, 80 };
    attributes.avatarSize = { 30, 30 };
    attributes.messageContainerSize = { 200, 50 };
    attributes.messageContainerPadding = { 0, 4, 0, 30 };
    attributes.avatarPosition.vertical = MessageKit::AvatarPosition::Vertical::messageTop;
    cell->setFrame(attributes.frame);
    window()->addSubview(cell);
    cell->apply(attributes);
    int avatar = 0;
    int bubble = 0;
    cell->messageAvatarViewBlock = [&] { ++avatar; };
    cell->messageContainerViewBlock = [&] { ++bubble; };
    CGPoint avatarPoint { 15, 115 };
    CGPoint bubblePoint { 100, 125 };

    driver.longPress(avatarPoint, 0.3);
    driver.tap(bubblePoint);
    EXPECT_EQ(avatar + bubble, 0);
    driver.longPress(avatarPoint, 1.0);
    driver.longPress(bubblePoint, 0.45);
    EXPECT_EQ(avatar, 1);
    EXPECT_EQ(bubble, 1);

    // A reply to a picture shows its thumbnail; the cell, reused for anything else, hides it.
    Message picture;
    picture.set_message_type(MT_IMAGE);
    picture.set_message_content("not an address");
    cell->setModel(picture);
    EXPECT_FALSE(cell->imageView()->isHidden());
    EXPECT_TRUE(cell->imageView()->image().has_value());
    picture.set_message_type(MT_TEXT);
    cell->setModel(picture);
    EXPECT_TRUE(cell->imageView()->isHidden());
    cell->setModel(std::nullopt);
    EXPECT_TRUE(cell->imageView()->isHidden());
}

// The thumbnail of a quoted picture stands in the quote box's extra room: 30 pt below the bubble's
// top, 24 pt in from its left, 40 × 40.
TEST_F(ChatListTest, AQuotedPicturesThumbnailStandsInTheQuoteBox)
{
    auto cell = std::make_shared<ZV_TextMessageCell>();
    MessageKit::MessagesCollectionViewLayoutAttributes attributes;
    attributes.frame = { 0, 100, 390, 160 };
    attributes.avatarSize = { 30, 30 };
    attributes.messageContainerSize = { 240, 140 };
    attributes.messageContainerPadding = { 0, 4, 0, 30 };
    attributes.avatarPosition.vertical = MessageKit::AvatarPosition::Vertical::messageTop;
    cell->setFrame(attributes.frame);
    window()->addSubview(cell);
    cell->apply(attributes);
    Message picture;
    picture.set_message_type(MT_IMAGE);
    picture.set_message_content("not an address");
    cell->setModel(picture);
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->imageView()->superview().get(), cell->messageContainerView().get());
    EXPECT_EQ(cell->imageView()->frame(), (CGRect { 24, 30, 40, 40 }));
    cell->removeFromSuperview();
}
