#include "app/MainController/Chat/View/ZV_MediaMessageCell.h"

#include "app/MainController/Chat/View/ChatLongPress.h"

ZV_MediaMessageCell::ZV_MediaMessageCell()
{
    addAvatarLongPress(*avatarView());
    addContainerLongPress(*messageContainerView());
}

void ZV_MediaMessageCell::addAvatarLongPress(UIView& view)
{
    installMessageLongPress(view,
        [this](UILongPressGestureRecognizer& gesture) { messageAvatarViewHandlerWithGesture(gesture); });
}

void ZV_MediaMessageCell::addContainerLongPress(UIView& view)
{
    installMessageLongPress(
        view, [this](UILongPressGestureRecognizer& gesture) { messageContainerHandlerWithGesture(gesture); });
}

void ZV_MediaMessageCell::messageAvatarViewHandlerWithGesture(UILongPressGestureRecognizer& gesture)
{
    if (gesture.state() == UIGestureRecognizerState::began && messageAvatarViewBlock)
        messageAvatarViewBlock();
}

void ZV_MediaMessageCell::messageContainerHandlerWithGesture(UILongPressGestureRecognizer& gesture)
{
    if (gesture.state() == UIGestureRecognizerState::began && messageContainerViewBlock)
        messageContainerViewBlock();
}
