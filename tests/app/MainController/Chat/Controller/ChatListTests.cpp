// The message list: time labels, name lines, bubble colours, paging over the socket, and what a
// tap or a press on a message does.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Chat/View/ZV_ChatReactionView.h"
#include "app/MainController/Chat/View/ZV_ChatUserAlert.h"
#include "app/MainController/Chat/View/ZV_MediaMessageCell.h"
#include "app/MainController/Chat/View/ZV_TextMessageCell.h"
#include "app/MainController/Other/View/PhotoBrowser.h"
#include "platform/ui/messages/MessagesCollectionViewLayoutAttributes.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
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

    EXPECT_EQ(chat.backgroundColor(chat.messages[0], { 0, 0 }, view), colorWithHex("5F8BFF"));
    EXPECT_EQ(chat.backgroundColor(chat.messages[1], { 0, 1 }, view), UIColor::white());
    EXPECT_EQ(chat.backgroundColor(chat.messages[2], { 0, 2 }, view), UIColor::white());
    // Without a profile the viewer's id reads as 0, as a message without a sender has.
    ConfigSingleton::shared().zv_userInfoModel.reset();
    EXPECT_EQ(chat.backgroundColor(chat.messages[1], { 0, 1 }, view), colorWithHex("5F8BFF"));
    EXPECT_EQ(chat.backgroundColor(chat.messages[0], { 0, 0 }, view), UIColor::white());
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
    auto older = std::find_if(sent.rbegin(), sent.rend(), [](const Input& input) { return input.type() == PT_SYNC; });
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
