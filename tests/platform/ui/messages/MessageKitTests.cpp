// The message list kit: pictures inside text, bubbles placed by sender and sized by content,
// taps reported by the part they hit, and the wording of message times.

#include "platform/ui/UIGraphics.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/messages/MessageContentCell.h"
#include "platform/ui/messages/MessageKitDateFormatter.h"
#include "platform/ui/messages/MessagesCollectionViewFlowLayout.h"
#include "platform/ui/messages/MessagesViewController.h"
#include "platform/ui/text/ASAttributedString.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <ctime>

namespace {

using namespace MessageKit;

struct Sender : SenderType {
    explicit Sender(std::string id)
        : id(std::move(id))
    { }
    std::string senderId() const override { return id; }
    std::string displayName() const override { return id; }
    std::string id;
};

struct Picture : MediaItem {
    std::optional<std::string> url() const override { return std::nullopt; }
    std::optional<UIImage> image() const override { return UIImage::filled(UIColor::red(), { 10, 10 }); }
    UIImage placeholderImage() const override { return {}; }
    CGSize size() const override { return { 150, 150 }; }
};

struct Message : MessageType {
    Message(std::string sender, MessageKind kind)
        : from(std::move(sender))
        , what(std::move(kind))
    { }
    const SenderType& sender() const override { return from; }
    std::string messageId() const override { return "1"; }
    Date sentDate() const override { return Date(0); }
    const MessageKind& kind() const override { return what; }
    Sender from;
    MessageKind what;
};

class MessagesScreen : public MessagesViewController,
                       public MessagesDataSource,
                       public MessageCellDelegate,
                       public MessagesLayoutDelegate {
public:
    void viewDidLoad() override
    {
        MessagesViewController::viewDidLoad();
        auto self = std::dynamic_pointer_cast<MessagesScreen>(sharedFromThis());
        messagesCollectionView()->setMessagesDataSource(std::static_pointer_cast<MessagesDataSource>(self));
        messagesCollectionView()->setMessageCellDelegate(std::static_pointer_cast<MessageCellDelegate>(self));
        messagesCollectionView()->setMessagesLayoutDelegate(
            std::static_pointer_cast<MessagesLayoutDelegate>(self));
    }
    std::shared_ptr<const SenderType> currentSender() const override
    {
        return std::make_shared<Sender>("me");
    }
    using MessagesViewController::numberOfSections;
    int numberOfSections(MessagesCollectionView&) override { return static_cast<int>(messages.size()); }
    const MessageType& messageForItem(const IndexPath& indexPath, MessagesCollectionView&) override
    {
        return messages[static_cast<std::size_t>(indexPath.section)];
    }
    std::optional<NSAttributedString> cellTopLabelAttributedText(
        const MessageType&, const IndexPath&) override
    {
        return NSAttributedString("时间");
    }
    CGFloat cellTopLabelHeight(const MessageType&, const IndexPath&, MessagesCollectionView&) override
    {
        return 18;
    }
    void didTapAvatar(MessageCollectionViewCell&) override { taps.push_back("avatar"); }
    void didTapMessage(MessageCollectionViewCell&) override { taps.push_back("message"); }
    void didTapImage(MessageCollectionViewCell&) override { taps.push_back("image"); }

    std::vector<Message> messages;
    std::vector<std::string> taps;
};

class MessageKitTest : public uitest::ControllerTest {
protected:
    std::shared_ptr<MessageContentCell> cell(int section)
    {
        return std::dynamic_pointer_cast<MessageContentCell>(
            screen->messagesCollectionView()->cellForItem({ 0, section }));
    }
    CGPoint centre(const UIView& view) { return view.convert(view.bounds().center(), nullptr); }

    std::shared_ptr<MessagesScreen> screen = std::make_shared<MessagesScreen>();
    TouchDriver driver;
};

}

TEST(TextAttachment, APictureTakesItsOwnSizeInTheLine)
{
    UIImage square = UIImage::filled(UIColor::blue(), { 20, 40 });
    NSMutableAttributedString text(NSAttributedString("ab"));
    text.append(NSAttributedString::attachment(square));
    StyledText styled = text.styledText();
    ASSERT_EQ(styled.runs.size(), 2u);
    ASSERT_TRUE(styled.runs[1].attachment);
    UIFont font = UIFont::systemFont(14);
    CGSize plain = TextLayout(StyledText::plain("ab"), font, UIColor::black()).size();
    CGSize withPicture = TextLayout(styled, font, UIColor::black()).size();
    EXPECT_NEAR(withPicture.width, plain.width + 20, 1);
    EXPECT_GE(withPicture.height, 40);

    // Drawn where the text leaves room for it.
    UIGraphicsImageRendererFormat format;
    format.scale = 1;
    UIImage drawn = UIGraphicsImageRenderer(withPicture, format).image([&](CGContext& context) {
        TextLayout(styled, font, UIColor::black()).draw(context, { 0, 0 });
    });
    UIColor::RGBA pixel
        = drawn.pixel(static_cast<int>(plain.width + 10), static_cast<int>(withPicture.height - 20));
    EXPECT_GT(pixel.blue, 0.9);
    EXPECT_LT(pixel.red, 0.1);

    ASAttributedString line
        = ASAttributedString("名字") + ASAttributedString(" ") + ASAttributedString::image(square, -3);
    EXPECT_EQ(line.string(), "名字 \xEF\xBF\xBC");
    EXPECT_EQ(line.value().attributes(3).baselineOffset, -3);
}

TEST_F(MessageKitTest, BubblesSitBySenderAndTapsSayWhatTheyHit)
{
    screen->messages
        = { Message("other", MessageKind::text("你好")), Message("me", MessageKind::text("你好")),
              Message("other", MessageKind::photo(std::make_shared<Picture>())) };
    window->setRootViewController(screen);
    window->layoutIfNeeded();
    auto incoming = cell(0);
    auto outgoing = cell(1);
    auto photo = cell(2);
    ASSERT_TRUE(incoming && outgoing && photo);

    // The same text makes the same bubble, on the left for others and on the right for the viewer.
    CGRect left = incoming->messageContainerView()->frame();
    CGRect right = outgoing->messageContainerView()->frame();
    EXPECT_EQ(left.size, right.size);
    EXPECT_LT(left.minX(), incoming->bounds().width() / 2);
    EXPECT_GT(right.maxX(), outgoing->bounds().width() / 2);
    EXPECT_EQ(left.minY(), 18);
    EXPECT_LT(incoming->avatarView()->frame().maxX(), left.minX());
    EXPECT_GT(outgoing->avatarView()->frame().minX(), right.maxX());
    EXPECT_EQ(photo->messageContainerView()->frame().size, (CGSize { 150, 150 }));
    EXPECT_EQ(incoming->cellTopLabel()->text(), "时间");
    EXPECT_TRUE(dynamic_cast<TextMessageCell*>(incoming.get()));
    EXPECT_TRUE(dynamic_cast<MediaMessageCell*>(photo.get()));

    driver.tap(centre(*incoming->avatarView()));
    driver.tap(centre(*incoming->messageContainerView()));
    driver.tap(centre(*photo->messageContainerView()));
    EXPECT_EQ(screen->taps, (std::vector<std::string> { "avatar", "message", "image" }));
}

TEST(MessageKitDateFormatter, TimesAreWordedByHowLongAgo)
{
    // Noon of 2024-06-12 (a Wednesday), local time.
    std::tm noon {};
    noon.tm_year = 124;
    noon.tm_mon = 5;
    noon.tm_mday = 12;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    Date now(static_cast<double>(std::mktime(&noon)));
    const auto& formatter = MessageKitDateFormatter::shared();
    double day = 86400;
    EXPECT_EQ(formatter.string(now.addingTimeInterval(-3600), now), "11:00");
    EXPECT_EQ(formatter.string(now.addingTimeInterval(-day), now), "昨天 12:00");
    EXPECT_EQ(formatter.string(now.addingTimeInterval(-3 * day), now), "星期日 12:00");
    EXPECT_EQ(formatter.string(now.addingTimeInterval(-10 * day), now), "6月2日 12:00");
    EXPECT_EQ(formatter.string(now.addingTimeInterval(-365 * day), now), "2023年6月13日 12:00");
}
