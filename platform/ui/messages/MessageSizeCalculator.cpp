#include "platform/ui/messages/MessageSizeCalculator.h"

#include "platform/ui/TextLayout.h"
#include "platform/ui/messages/MessagesCollectionView.h"
#include "platform/ui/messages/MessagesCollectionViewFlowLayout.h"
#include "platform/ui/messages/MessagesCollectionViewLayoutAttributes.h"

#include <algorithm>
#include <cmath>

namespace MessageKit {

namespace {

// Space between the message top label and the bubble's edge on the avatar's side.
constexpr CGFloat kTopLabelIndent = 4;

}

MessagesCollectionView* MessageSizeCalculator::collectionView() const
{
    return m_layout.messagesCollectionView();
}

bool MessageSizeCalculator::isOutgoing(const MessageType& message) const
{
    MessagesCollectionView* view = collectionView();
    auto source = view ? view->messagesDataSource() : nullptr;
    return source && source->isFromCurrentSender(message);
}

CGFloat MessageSizeCalculator::cellTopLabelHeight(
    const MessageType& message, const IndexPath& indexPath) const
{
    MessagesCollectionView* view = collectionView();
    auto delegate = view ? view->messagesLayoutDelegate() : nullptr;
    return delegate ? std::max<CGFloat>(0, delegate->cellTopLabelHeight(message, indexPath, *view)) : 0;
}

CGFloat MessageSizeCalculator::messageTopLabelHeight(
    const MessageType& message, const IndexPath& indexPath) const
{
    MessagesCollectionView* view = collectionView();
    auto delegate = view ? view->messagesLayoutDelegate() : nullptr;
    return delegate ? std::max<CGFloat>(0, delegate->messageTopLabelHeight(message, indexPath, *view)) : 0;
}

CGFloat MessageSizeCalculator::messageContainerMaxWidth(const MessageType& message) const
{
    bool outgoing = isOutgoing(message);
    CGSize avatar = outgoing ? outgoingAvatarSize : incomingAvatarSize;
    UIEdgeInsets padding = outgoing ? outgoingMessagePadding : incomingMessagePadding;
    return std::max<CGFloat>(0, m_layout.itemWidth() - avatar.width - padding.left - padding.right);
}

CGSize MessageSizeCalculator::sizeForItem(const MessageType& message, const IndexPath& indexPath)
{
    bool outgoing = isOutgoing(message);
    CGSize container = messageContainerSize(message);
    UIEdgeInsets padding = outgoing ? outgoingMessagePadding : incomingMessagePadding;
    CGFloat above = cellTopLabelHeight(message, indexPath) + messageTopLabelHeight(message, indexPath);
    CGFloat height = above + padding.top + container.height + padding.bottom;
    // An avatar taller than the bubble still fits in the cell.
    CGSize avatar = outgoing ? outgoingAvatarSize : incomingAvatarSize;
    height = std::max(height, above + avatar.height);
    return { m_layout.itemWidth(), std::ceil(height) };
}

void MessageSizeCalculator::configure(
    MessagesCollectionViewLayoutAttributes& attributes, const MessageType& message)
{
    bool outgoing = isOutgoing(message);
    attributes.isOutgoing = outgoing;
    attributes.avatarSize = outgoing ? outgoingAvatarSize : incomingAvatarSize;
    attributes.avatarPosition = outgoing ? outgoingAvatarPosition : incomingAvatarPosition;
    attributes.messageContainerPadding = outgoing ? outgoingMessagePadding : incomingMessagePadding;
    attributes.messageContainerSize = messageContainerSize(message);
    attributes.cellTopLabelHeight = cellTopLabelHeight(message, attributes.indexPath);
    attributes.messageTopLabelHeight = messageTopLabelHeight(message, attributes.indexPath);
    // The name above the bubble starts where the bubble does.
    CGFloat indent = attributes.avatarSize.width + kTopLabelIndent;
    attributes.messageTopLabelAlignment = outgoing ? NSTextAlignment::right : NSTextAlignment::left;
    attributes.messageTopLabelInsets
        = outgoing ? UIEdgeInsets { 0, 0, 0, indent } : UIEdgeInsets { 0, indent, 0, 0 };
}

void TextMessageSizeCalculator::configure(
    MessagesCollectionViewLayoutAttributes& attributes, const MessageType& message)
{
    MessageSizeCalculator::configure(attributes, message);
    attributes.messageLabelFont = messageLabelFont;
    attributes.messageLabelInsets
        = isOutgoing(message) ? outgoingMessageLabelInsets : incomingMessageLabelInsets;
}

CGSize TextMessageSizeCalculator::messageContainerSize(const MessageType& message)
{
    UIEdgeInsets insets = isOutgoing(message) ? outgoingMessageLabelInsets : incomingMessageLabelInsets;
    CGFloat maxWidth = messageContainerMaxWidth(message) - insets.left - insets.right;
    const MessageKind& kind = message.kind();
    StyledText text = kind.kind() == MessageKind::Case::attributedText
        ? kind.attributedTextValue().styledText()
        : StyledText::plain(kind.textValue());
    CGSize label = TextLayout(std::move(text), messageLabelFont, UIColor::black())
                       .setWidth(std::max<CGFloat>(0, maxWidth))
                       .size();
    return { label.width + insets.left + insets.right, label.height + insets.top + insets.bottom };
}

CGSize MediaMessageSizeCalculator::messageContainerSize(const MessageType& message)
{
    const auto& item = message.kind().mediaItem();
    if (!item)
        return {};
    CGSize size = item->size();
    CGFloat maxWidth = messageContainerMaxWidth(message);
    if (size.width <= maxWidth || size.width <= 0)
        return size;
    return { maxWidth, std::floor(size.height * maxWidth / size.width) };
}

}
