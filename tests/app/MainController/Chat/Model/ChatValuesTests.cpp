// What a chat message turns into for the list: its display values, the quote of a reply and the
// sender's name line.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/MainController/Chat/Controller/ZV_ChatVC.h"
#include "app/MainController/Chat/Model/MessageTextBuilder.h"
#include "app/MainController/Chat/View/ChatSenderName.h"
#include "platform/json/JSON.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/messages/MessageKitDateFormatter.h"

#include <gtest/gtest.h>

namespace {

Message message(std::int64_t seq, ChatMessageType type, std::string content, std::int64_t senderID = 100388,
    std::string nickname = "追剧的猫")
{
    Message m;
    m.set_seq(seq);
    m.set_message_type(type);
    m.set_message_content(std::move(content));
    m.set_send_time(1717326141000);
    m.mutable_sender()->set_sender_id(senderID);
    m.mutable_sender()->set_nickname(std::move(nickname));
    return m;
}

class ChatValuesTest : public ::testing::Test {
protected:
    void SetUp() override { signIn("301877"); }
    void TearDown() override { ConfigSingleton::shared().zv_userInfoModel.reset(); }

    static void signIn(const std::string& id)
    {
        ConfigSingleton::shared().zv_userInfoModel = std::make_shared<const ZV_UserInfoModel>(
            JSON::object({ { "id", JSON(id) }, { "nickname", JSON("听雨的小鱼") } }));
    }

    // The picture at the head of a reply.
    static UIImage quotePicture(const MockMessage& reply)
    {
        return reply.kind()
            .attributedTextValue()
            .attributes(0)
            .attachment.value_or(NSTextAttachment {})
            .image;
    }

    ZV_ChatVC list;
};

}

TEST_F(ChatValuesTest, MessagesBecomeTheirDisplayValues)
{
    Message plain = message(4371, MT_TEXT, "有没有人知道片尾曲叫什么？");
    plain.set_send_time(1700000000123);
    plain.mutable_link_message()->set_message_content("ignored without a link_seq");
    MockMessage shown = makeMockMessage(plain, list);
    EXPECT_EQ(shown.messageId(), "4371");
    EXPECT_DOUBLE_EQ(shown.sentDate().timeIntervalSince1970(), 1700000000.123);
    EXPECT_EQ(shown.user, MockUser("100388", "追剧的猫"));
    ASSERT_EQ(shown.kind().kind(), MessageKit::MessageKind::Case::text);
    EXPECT_EQ(shown.kind().textValue(), "有没有人知道片尾曲叫什么？");

    Message anonymous;
    anonymous.set_message_type(MT_FACE);
    MockMessage face = makeMockMessage(anonymous, list);
    EXPECT_EQ(face.user, MockUser("0", ""));
    EXPECT_EQ(face.kind().kind(), MessageKit::MessageKind::Case::text);
    EXPECT_EQ(face.kind().textValue(), "");

    // A picture that is no address still shows as a picture.
    for (const char* content : { "https://127.0.0.1/images/cover.png", "not an address" }) {
        MockMessage picture = makeMockMessage(message(9, MT_IMAGE, content), list);
        ASSERT_EQ(picture.kind().kind(), MessageKit::MessageKind::Case::photo) << content;
        const auto& item = picture.kind().mediaItem();
        EXPECT_EQ(item->size(), (CGSize { 150, 150 }));
        EXPECT_EQ(item->url().has_value(), std::string(content) != "not an address") << content;
        EXPECT_EQ(item->image().has_value(), std::string(content) == "not an address") << content;
    }
}

TEST_F(ChatValuesTest, AReplyQuotesTheLoadedMessageOrSaysItIsNotLoaded)
{
    Message quotedText = message(4371, MT_TEXT, "有没有人知道片尾曲叫什么？");
    Message quotedImage = message(4372, MT_IMAGE, "https://127.0.0.1/images/cover.png", 100512, "夜航船");
    list.messageList = { quotedText, quotedImage };
    std::string time = MessageKit::MessageKitDateFormatter::shared().string(Date(1717326141));

    EXPECT_EQ(replyQuoteText(&quotedText), "追剧的猫 " + time + "\n有没有人知道片尾曲叫什么？");
    EXPECT_EQ(replyQuoteText(&quotedImage), "夜航船 " + time);
    EXPECT_EQ(replyQuoteText(nullptr), std::string(missingQuoteText));

    auto reply = [&](std::int64_t linkSeq, std::int64_t sender) {
        Message m = message(4400, MT_TEXT, "《远行》", sender);
        m.set_link_seq(linkSeq);
        return makeMockMessage(m, list);
    };
    UIImage toText = quotePicture(reply(4371, 100512));
    UIImage toImage = quotePicture(reply(4372, 100512));
    ASSERT_FALSE(toText.isEmpty());
    // The text of the quote is two lines, of the image one line and room for its thumbnail.
    CGFloat oneLine = std::ceil(TextLayout::measure("夜航船 " + time, UIFont::systemFont(12)).height);
    EXPECT_NEAR(toImage.size().height, oneLine + 8 + 44 + 10, 1);
    EXPECT_GT(toText.size().height, oneLine + 8 + 10 + 4);
    EXPECT_LT(toText.size().height, toImage.size().height);
    EXPECT_LE(quotePicture(reply(99999, 100512)).size().height, oneLine + 8 + 10 + 1);

    // The reply's own words: white on the viewer's own bubble, black on others'.
    auto wordsColour = [](const MockMessage& shown) {
        const NSAttributedString& text = shown.kind().attributedTextValue();
        return text.attributes(text.length() - 1).foregroundColor;
    };
    EXPECT_EQ(wordsColour(reply(4371, 301877)), UIColor::white());
    EXPECT_EQ(wordsColour(reply(4371, 100512)), UIColor::black());
    EXPECT_EQ(reply(4371, 100512).kind().attributedTextValue().string(), "\xEF\xBF\xBC\n《远行》");
}

TEST_F(ChatValuesTest, TheNameLineCarriesOneBadgeAtMost)
{
    auto line = [](std::int64_t memberType, const std::string& rankName, const std::string& rankColor) {
        Message m = message(1, MT_TEXT, "x", 1, "夜航船");
        m.mutable_sender()->set_member_type(memberType);
        m.mutable_sender()->set_rank_name(rankName);
        m.mutable_sender()->set_rank_color(rankColor);
        return nicknameWithAdminBadge(m).value();
    };
    auto badgeOf
        = [](const NSAttributedString& text) { return text.attributes(text.length() - 1).attachment; };
    CGSize admin = badgeImage("管理员", "FFE7A9", "653B13").size();
    NSAttributedString administrator = line(1, "影迷", "8BC34A");
    EXPECT_EQ(administrator.string(), "夜航船 \xEF\xBF\xBC");
    ASSERT_TRUE(badgeOf(administrator));
    EXPECT_EQ(badgeOf(administrator)->image.size(), admin);
    EXPECT_EQ(administrator.attributes(0).font, UIFont::systemFont(14));

    NSAttributedString ranked = line(2, "资深影迷", "#03A9F4");
    ASSERT_TRUE(badgeOf(ranked));
    EXPECT_EQ(badgeOf(ranked)->image.size(), badgeImage("资深影迷", "03A9F4", "FFFFFF").size());
    EXPECT_EQ(line(0, "", "03A9F4").string(), "夜航船");
    EXPECT_EQ(nicknameWithAdminBadge(Message()).string(), "");

    // The badge is its text plus 4 pt at the sides and 3 pt above and below.
    CGSize text = TextLayout::measure("管理员", UIFont::systemFont(10, UIFont::Weight::semibold));
    EXPECT_NEAR(admin.width, text.width + 8, 0.5);
    EXPECT_NEAR(admin.height, text.height + 6, 0.5);
}

TEST_F(ChatValuesTest, TheViewerIsRecognisedByTheDecimalId)
{
    EXPECT_TRUE(isCurrentUser(301877));
    EXPECT_FALSE(isCurrentUser(100388));
    signIn("012");
    EXPECT_FALSE(isCurrentUser(12));
    signIn("-5");
    EXPECT_TRUE(isCurrentUser(-5));
    ConfigSingleton::shared().zv_userInfoModel.reset();
    EXPECT_FALSE(isCurrentUser(0));
}
