#include "app/MainController/Chat/Model/MessageTextBuilder.h"

#include "app/Core/Helpers/ChatBubble.h"
#include "app/Extensions/ParsableURL.h"
#include "app/MainController/Chat/Controller/ZV_ChatVC.h"
#include "app/MainController/Chat/View/ChatSenderName.h"
#include "platform/ui/messages/MessageKitDateFormatter.h"

namespace {

Date sentDate(std::int64_t sendTime)
{
    return Date(static_cast<double>(sendTime) / 1000.0);
}

const Message* findMessage(const std::vector<Message>& list, std::int64_t seq)
{
    for (const Message& candidate : list) {
        if (candidate.seq() == seq)
            return &candidate;
    }
    return nullptr;
}

MessageKit::MessageKind replyKind(const Message& message, const ZV_ChatVC& chatVC)
{
    bool isMine = isCurrentUser(message.sender().sender_id());
    const Message* quoted = findMessage(chatVC.messageList, message.link_seq());

    NSAttributes quoteAttributes;
    NSParagraphStyle paragraph;
    paragraph.lineSpacing = 4.0;
    quoteAttributes.paragraphStyle = paragraph;
    NSAttributedString quoteText(replyQuoteText(quoted), quoteAttributes);

    UIColor textColor = isMine ? UIColor::white() : UIColor::black();
    std::optional<MessageType> quotedKind;
    if (quoted)
        quotedKind = messageType(quoted->message_type());
    UIImage picture = chatBubbleImage(quotedKind, quoteText.styledText(), textColor, UIColor(0, 0, 0, 0.1));

    NSAttributes textAttributes;
    textAttributes.foregroundColor = textColor;
    textAttributes.font = UIFont::systemFont(14);
    NSMutableAttributedString shown(NSAttributedString::attachment(picture));
    shown.append(NSAttributedString("\n"));
    shown.append(NSAttributedString(message.message_content(), textAttributes));
    return MessageKit::MessageKind::attributedText(shown);
}

}

std::string replyQuoteText(const Message* quoted)
{
    // A quote that cannot be found says so, rather than showing a blank name and 1970.
    if (!quoted)
        return std::string(missingQuoteText);
    std::string quote = quoted->sender().nickname() + " "
        + MessageKit::MessageKitDateFormatter::shared().string(sentDate(quoted->send_time()));
    if (quoted->message_type() == MT_TEXT)
        quote += "\n" + quoted->message_content();
    return quote;
}

MockMessage makeMockMessage(const Message& message, const ZV_ChatVC& chatVC)
{
    const Sender& sender = message.sender();
    MockUser user(std::to_string(sender.sender_id()), sender.nickname());
    std::string messageId = std::to_string(message.seq());
    Date date = sentDate(message.send_time());

    switch (message.message_type()) {
    case MT_IMAGE:
        if (parsesAsURL(message.message_content()))
            return MockMessage(std::optional<std::string>(message.message_content()), user, messageId, date);
        return MockMessage(
            UIImage::named("image_message_placeholder").value_or(UIImage()), user, messageId, date);
    case MT_TEXT:
        if (message.link_seq() > 0)
            return MockMessage(replyKind(message, chatVC), user, messageId, date);
        return MockMessage(MessageKit::MessageKind::text(message.message_content()), user, messageId, date);
    default:
        return MockMessage(MessageKit::MessageKind::text({}), user, messageId, date);
    }
}
