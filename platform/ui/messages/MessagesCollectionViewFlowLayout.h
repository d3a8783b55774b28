#pragma once

#include "platform/ui/lists/UICollectionViewFlowLayout.h"
#include "platform/ui/messages/MessageKitTypes.h"
#include "platform/ui/messages/MessageSizeCalculator.h"

#include <memory>

namespace MessageKit {

class MessagesCollectionView;

// One message per line, as wide as the list less the section insets, as tall as its cell's
// parts: the size calculator of the message's kind works out each cell and hands the places of
// its parts to the cell in MessagesCollectionViewLayoutAttributes.
class MessagesCollectionViewFlowLayout : public UICollectionViewFlowLayout {
public:
    MessagesCollectionViewFlowLayout();

    MessagesCollectionView* messagesCollectionView() const;
    // Width of every item.
    CGFloat itemWidth() const;

    void setMessageIncomingAvatarPosition(AvatarPosition position);
    void setMessageOutgoingAvatarPosition(AvatarPosition position);

    // The size of the message's cell; what the list answers the flow layout's size question with.
    CGSize messageSizeForItem(const IndexPath& indexPath);
    // The calculator for the message's kind.
    MessageSizeCalculator& cellSizeCalculatorForItem(const MessageType& message);
    TextMessageSizeCalculator& textMessageSizeCalculator() { return m_text; }
    MediaMessageSizeCalculator& photoMessageSizeCalculator() { return m_photo; }

    UICollectionViewLayoutAttributesPtr makeLayoutAttributes() const override;
    std::vector<UICollectionViewLayoutAttributesPtr> layoutAttributesForElements(const CGRect& rect) override;
    UICollectionViewLayoutAttributesPtr layoutAttributesForItem(const IndexPath& indexPath) override;
    bool shouldInvalidateLayoutForBoundsChange(const CGRect& newBounds) override;

private:
    void configure(UICollectionViewLayoutAttributes& attributes);

    TextMessageSizeCalculator m_text;
    MediaMessageSizeCalculator m_photo;
};

}
