#pragma once

#include "platform/ui/UIFont.h"
#include "platform/ui/lists/IndexPath.h"
#include "platform/ui/messages/MessageKitTypes.h"

namespace MessageKit {

class MessagesCollectionView;
class MessagesCollectionViewFlowLayout;
class MessagesCollectionViewLayoutAttributes;

// Works out the cell of one message: label heights from the layout delegate, the avatar, the
// padding around the bubble and the bubble itself (each kind its own). A cell is the cell top
// label, the message top label and the bubble in a column, the avatar beside the bubble.
class MessageSizeCalculator {
public:
    explicit MessageSizeCalculator(MessagesCollectionViewFlowLayout& layout)
        : m_layout(layout)
    { }
    virtual ~MessageSizeCalculator() = default;
    MessageSizeCalculator(const MessageSizeCalculator&) = delete;
    MessageSizeCalculator& operator=(const MessageSizeCalculator&) = delete;

    CGSize incomingAvatarSize { 30, 30 };
    CGSize outgoingAvatarSize { 30, 30 };
    AvatarPosition incomingAvatarPosition;
    AvatarPosition outgoingAvatarPosition;
    // Avatar side first: 4 pt next to the avatar, 30 pt on the far side.
    UIEdgeInsets incomingMessagePadding { 0, 4, 0, 30 };
    UIEdgeInsets outgoingMessagePadding { 0, 30, 0, 4 };

    CGSize sizeForItem(const MessageType& message, const IndexPath& indexPath);
    virtual void configure(MessagesCollectionViewLayoutAttributes& attributes, const MessageType& message);

protected:
    // The bubble's size; none by default.
    virtual CGSize messageContainerSize(const MessageType&) { return {}; }
    // The widest bubble the cell leaves room for.
    CGFloat messageContainerMaxWidth(const MessageType& message) const;
    bool isOutgoing(const MessageType& message) const;
    MessagesCollectionView* collectionView() const;
    MessagesCollectionViewFlowLayout& layout() const { return m_layout; }

private:
    CGFloat cellTopLabelHeight(const MessageType& message, const IndexPath& indexPath) const;
    CGFloat messageTopLabelHeight(const MessageType& message, const IndexPath& indexPath) const;

    MessagesCollectionViewFlowLayout& m_layout;
};

// Text and styled text in a label inside the bubble: its size at the widest the bubble can be,
// plus the label's insets (the wider one on the far side).
class TextMessageSizeCalculator : public MessageSizeCalculator {
public:
    using MessageSizeCalculator::MessageSizeCalculator;

    UIFont messageLabelFont = UIFont::systemFont(17);
    UIEdgeInsets incomingMessageLabelInsets { 7, 18, 7, 14 };
    UIEdgeInsets outgoingMessageLabelInsets { 7, 14, 7, 18 };

    void configure(MessagesCollectionViewLayoutAttributes& attributes, const MessageType& message) override;

protected:
    CGSize messageContainerSize(const MessageType& message) override;
};

// A photo at the media item's size, scaled down to the widest the bubble can be.
class MediaMessageSizeCalculator : public MessageSizeCalculator {
public:
    using MessageSizeCalculator::MessageSizeCalculator;

protected:
    CGSize messageContainerSize(const MessageType& message) override;
};

}
