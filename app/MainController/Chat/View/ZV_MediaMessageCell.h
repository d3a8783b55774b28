#pragma once

#include "platform/ui/messages/MessageContentCell.h"

#include <functional>

class UILongPressGestureRecognizer;

// An image message. A press of 0.4 s on the avatar or on the picture calls the matching block
// once, when it is recognised.
class ZV_MediaMessageCell : public MessageKit::MediaMessageCell {
public:
    ZV_MediaMessageCell();

    std::string className() const override { return "ZV_MediaMessageCell"; }

    std::function<void()> messageAvatarViewBlock;
    std::function<void()> messageContainerViewBlock;

    virtual void addAvatarLongPress(UIView& view);
    virtual void addContainerLongPress(UIView& view);
    void messageAvatarViewHandlerWithGesture(UILongPressGestureRecognizer& gesture);
    void messageContainerHandlerWithGesture(UILongPressGestureRecognizer& gesture);
};
