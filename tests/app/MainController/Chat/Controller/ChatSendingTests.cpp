// The writing side of the chat page against the local test server's room: what a send carries,
// replies, mentions, recalls, copying and pictures.

#include "app/MainController/Chat/Model/MessageTextBuilder.h"
#include "app/MainController/Chat/View/ZV_ChatReactionView.h"
#include "app/MainController/Chat/View/ZV_ChatTipView.h"
#include "app/MainController/Chat/View/ZV_ChatUserAlert.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/qmui/QMUITextView.h"
#include "platform/ui/sharing/UIPasteboard.h"
#include "tests/app/MainController/Chat/ChatTestSupport.h"

namespace {

class ChatSendingTest : public zvtest::ChatScreenTest {
protected:
    void SetUp() override
    {
        ChatScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(open() && join());
        // The list's footer has asked the viewer to join while the page opened.
        QMUITips::hideAllTips();
    }

    const Message& bySeq(std::int64_t seq)
    {
        for (const Message& message : page->messageList()) {
            if (message.seq() == seq)
                return message;
        }
        static const Message none;
        ADD_FAILURE() << "no message " << seq;
        return none;
    }
    // A long press on the message's bubble chose it for the reaction bar.
    void select(std::int64_t seq) { list().reactionView()->setModel(makeMockMessage(bySeq(seq), list())); }

    // The parameters of the n-th send once it has gone out.
    nlohmann::json send(std::size_t count)
    {
        EXPECT_TRUE(waitForRequests("v1/room/sendmsg", count));
        auto all = sent("v1/room/sendmsg");
        return all.size() >= count ? all[count - 1] : nlohmann::json();
    }
    void typeAndSend(const std::string& text)
    {
        page->zv_inputView()->textView()->setText(text);
        page->zv_inputView()->sendBtn()->sendActions(UIControlEventTouchUpInside);
    }
};

}

TEST_F(ChatSendingTest, ATextCarriesItsMentionsAndTheReplysQuote)
{
    // Two mentions of one member, one of another, none of oneself.
    page->mentionUser(bySeq(4386));
    page->mentionUser(bySeq(4386));
    page->mentionUser(bySeq(4387));
    page->mentionUser(bySeq(4382));
    EXPECT_EQ(page->zv_inputView()->textView()->text(), "@夜航船@夜航船@追剧的猫");
    EXPECT_EQ(page->zv_toUserList.size(), 3u);

    // The second name was deleted before sending.
    typeAndSend("@夜航船@夜航船 今晚见");
    EXPECT_EQ(page->zv_inputView()->textView()->text(), "");
    nlohmann::json first = send(1);
    EXPECT_EQ(first["sender_type"], 2);
    EXPECT_EQ(first["receiver_type"], 2);
    EXPECT_EQ(first["receiver_id"], 1);
    EXPECT_EQ(first["type"], 1);
    EXPECT_EQ(first["content"], "@夜航船@夜航船 今晚见");
    EXPECT_GT(first["request_id"].get<std::int64_t>(), 1700000000000);
    EXPECT_EQ(first["to_user_ids"], nlohmann::json::array({ "100512", "100512" }));
    EXPECT_FALSE(first.contains("link_seq"));
    // The room pushes it back; the mentions are forgotten with the reply.
    ASSERT_TRUE(
        waitFor([&] { return page->messageList().back().message_content() == "@夜航船@夜航船 今晚见"; }));
    EXPECT_TRUE(page->zv_toUserList.empty());

    // The quote is the message the reply bar opened on, even after a press on another one.
    select(4386);
    page->replyToSelectedMessage();
    EXPECT_FALSE(page->zv_replyView()->isHidden());
    EXPECT_EQ(page->zv_replyView()->marqueeLabel()->text(), "回复：今晚人好多");
    select(4380);
    typeAndSend("   ");
    nlohmann::json reply = send(2);
    EXPECT_EQ(reply["content"], "   ");
    EXPECT_EQ(reply["link_seq"], 4386);
    EXPECT_FALSE(reply.contains("to_user_ids"));
    ASSERT_TRUE(waitFor([&] { return page->zv_replyView()->isHidden(); }));

    // Sent or closed, the quote is gone.
    typeAndSend("不再引用");
    EXPECT_FALSE(send(3).contains("link_seq"));
    select(4386);
    page->replyToSelectedMessage();
    page->zv_replyView()->closeBtn()->sendActions(UIControlEventTouchUpInside);
    typeAndSend("关了也不引用");
    EXPECT_FALSE(send(4).contains("link_seq"));
}

TEST_F(ChatSendingTest, RecallAndCopyActOnTheChosenMessage)
{
    std::size_t shown = page->messageList().size();
    select(4382);
    page->recallSelectedMessage();
    ASSERT_TRUE(waitForRequests("v1/room/revokemsg", 1));
    nlohmann::json recall = sent("v1/room/revokemsg")[0];
    EXPECT_EQ(recall["seqs"], nlohmann::json::array({ 4382 }));
    EXPECT_EQ(recall["room_id"], 1);
    // It leaves the list when the room says so.
    ASSERT_TRUE(waitFor([&] { return page->messageList().size() == shown - 1; }));

    select(4386);
    page->copySelectedMessage();
    EXPECT_EQ(UIPasteboard::general().string(), "今晚人好多");
    list().reactionView()->setModel(MockMessage(
        std::optional<std::string>("https://127.0.0.1/images/cover.png"), MockUser("1", "a"), "1", Date(0)));
    page->copySelectedMessage();
    EXPECT_EQ(UIPasteboard::general().string(), "https://127.0.0.1/images/cover.png");
    list().reactionView()->setModel(
        MockMessage(std::optional<std::string>(), MockUser("1", "a"), "1", Date(0)));
    page->copySelectedMessage();
    EXPECT_FALSE(UIPasteboard::general().string());
}

TEST_F(ChatSendingTest, APictureIsSentOnlyOnceStored)
{
    // Picked: a JPEG under its own name and type, then its address as an image message.
    auto picker = std::make_shared<UIImagePickerController>();
    UIImagePickerMediaInfo info;
    info.mediaType = "public.image";
    info.editedImage = UIImage::filled(UIColor::red(), { 1600, 1200 });
    page->imagePickerControllerDidFinishPickingMediaWithInfo(*picker, info);
    ASSERT_TRUE(waitForRequests("v1/user/upload_image", 1));
    std::string upload = api().recordsTo("v1/user/upload_image")[0].request.body;
    EXPECT_NE(upload.find("filename=\"image.jpg\""), std::string::npos);
    EXPECT_NE(upload.find("Content-Type: image/jpeg"), std::string::npos);
    nlohmann::json image = send(1);
    EXPECT_EQ(image["type"], 3);
    EXPECT_NE(image["content"].get<std::string>().find("/images/cover.png"), std::string::npos);
    EXPECT_FALSE(image.contains("to_user_ids"));

    // Refused, or stored without an address: a toast, and nothing is sent.
    page->imageUploaded(std::nullopt, NSError { "网络异常", 404, {} });
    page->imageUploaded(JSON::parse(R"({"errorCode":1001,"msg":"图片太大"})"), std::nullopt);
    page->imageUploaded(JSON::parse(R"({"errorCode":0,"msg":"success","data":{"url":""}})"), std::nullopt);
    EXPECT_EQ(toasts(), (std::vector<std::string> { "网络异常", "图片太大", "图片上传失败" }));
    settle();
    EXPECT_EQ(sent("v1/room/sendmsg").size(), 1u);

    // Anything that is not a picture is not sent at all.
    info.mediaType = "public.movie";
    page->imagePickerControllerDidFinishPickingMediaWithInfo(*picker, info);
    settle();
    EXPECT_EQ(api().recordsTo("v1/user/upload_image").size(), 1u);
}

TEST_F(ChatSendingTest, SeqsAndIdsBeyondThirtyTwoBitsNameTheirOwnMessages)
{
    // Seqs and ids of the room above 2^31 and 2^32, beside the seq a narrowing to 32 bits gives.
    constexpr std::int64_t narrowed = 2147483647;
    constexpr std::int64_t aboveInt32 = 3000000000;
    constexpr std::int64_t aboveUInt32 = 4294967297;
    auto message
        = [](std::int64_t seq, std::int64_t sender, const std::string& nickname, const std::string& text) {
              Message m;
              m.set_seq(seq);
              m.set_message_type(MT_TEXT);
              m.set_message_content(text);
              m.mutable_sender()->set_sender_type(ST_USER);
              m.mutable_sender()->set_sender_id(sender);
              m.mutable_sender()->set_nickname(nickname);
              return m;
          };
    chatRoom().push(1, message(narrowed, 100512, "夜航船", "二十一亿"));
    chatRoom().push(1, message(aboveInt32, 3000000001, "远方", "三十亿"));
    chatRoom().push(1, message(aboveUInt32, 4294967298, "更远", "四十二亿"));
    ASSERT_TRUE(waitFor([&] { return page->messageList().back().seq() == aboveUInt32; }));

    // Mentions carry the whole ids.
    page->mentionUser(bySeq(aboveInt32));
    page->mentionUser(bySeq(aboveUInt32));
    typeAndSend("@远方@更远");
    EXPECT_EQ(send(1)["to_user_ids"], nlohmann::json::array({ "3000000001", "4294967298" }));

    // A recall removes the chosen message and only that one, in the room and in the list.
    select(aboveInt32);
    page->recallSelectedMessage();
    ASSERT_TRUE(waitForRequests("v1/room/revokemsg", 1));
    EXPECT_EQ(sent("v1/room/revokemsg")[0]["seqs"], nlohmann::json::array({ aboveInt32 }));
    ASSERT_TRUE(waitFor([&] {
        const auto& shown = page->messageList();
        return std::none_of(
            shown.begin(), shown.end(), [](const Message& m) { return m.seq() == aboveInt32; });
    }));
    EXPECT_EQ(bySeq(narrowed).message_content(), "二十一亿");
    std::vector<Message> room = chatRoom().history(1);
    EXPECT_TRUE(std::any_of(room.begin(), room.end(), [](const Message& m) { return m.seq() == narrowed; }));

    // A reply quotes the chosen message, and the room quotes it back.
    select(aboveUInt32);
    page->replyToSelectedMessage();
    typeAndSend("回一句");
    EXPECT_EQ(send(2)["link_seq"], aboveUInt32);
    ASSERT_TRUE(waitFor([&] { return page->messageList().back().link_seq() == aboveUInt32; }));
    Message reply = page->messageList().back();
    EXPECT_EQ(reply.link_message().message_content(), "四十二亿");

    // Copying the reply copies its own words, not another message's.
    select(reply.seq());
    page->copySelectedMessage();
    EXPECT_EQ(UIPasteboard::general().string(), "回一句");

    // The member card asks for the member by the whole id.
    const auto& card = list().zv_chatUserAlert();
    card->model = bySeq(aboveUInt32);
    card->updateContent();
    card->requestUserState();
    ASSERT_TRUE(waitFor([&] { return card->superview() == window(); }));
    EXPECT_EQ(sent("v1/room/user").back()["user_id"], 4294967298);
    card->clickBanned();
    ASSERT_TRUE(waitForRequests("v1/room/blockuser", 1));
    EXPECT_EQ(sent("v1/room/blockuser")[0]["user_ids"], nlohmann::json::array({ 4294967298 }));
    ASSERT_TRUE(waitFor([&] { return !card->superview(); }));
}
