#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/lists/IndexPath.h"
#include "platform/ui/messages/MessageKitTypes.h"

class UIImageView;

namespace MessageKit {

class AvatarView;
class MessagesCollectionView;

// How a message looks. The defaults: green outgoing and light grey incoming bubbles, white text
// on outgoing and dark text on incoming ones, a grey avatar without picture, and the media
// item's image (or its placeholder) in a photo bubble. Held weakly.
class MessagesDisplayDelegate {
public:
    virtual ~MessagesDisplayDelegate() = default;
    virtual UIColor backgroundColor(
        const MessageType& message, const IndexPath&, MessagesCollectionView& view);
    // Of plain text; styled text keeps its own colours where it has them.
    virtual UIColor textColor(const MessageType& message, const IndexPath&, MessagesCollectionView& view);
    virtual void configureAvatarView(
        AvatarView& avatar, const MessageType&, const IndexPath&, MessagesCollectionView&);
    virtual void configureMediaMessageImageView(
        UIImageView& imageView, const MessageType& message, const IndexPath&, MessagesCollectionView&);
};

}
