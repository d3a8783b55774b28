#pragma once

#include "platform/ui/TextLayout.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/lists/UICollectionViewLayoutAttributes.h"
#include "platform/ui/messages/MessageKitTypes.h"

namespace MessageKit {

// Where the parts of one message cell go, worked out by the layout's size calculators.
class MessagesCollectionViewLayoutAttributes : public UICollectionViewLayoutAttributes {
public:
    std::shared_ptr<UICollectionViewLayoutAttributes> copy() const override
    {
        return std::make_shared<MessagesCollectionViewLayoutAttributes>(*this);
    }

    // Whether the message is the viewer's (bubble and avatar on the right).
    bool isOutgoing = false;
    CGSize avatarSize;
    AvatarPosition avatarPosition;
    CGSize messageContainerSize;
    // Space around the bubble: the avatar's side and the far side.
    UIEdgeInsets messageContainerPadding;
    UIFont messageLabelFont = UIFont::systemFont(17);
    UIEdgeInsets messageLabelInsets;
    CGFloat cellTopLabelHeight = 0;
    CGFloat messageTopLabelHeight = 0;
    NSTextAlignment messageTopLabelAlignment = NSTextAlignment::left;
    UIEdgeInsets messageTopLabelInsets;
};

}
