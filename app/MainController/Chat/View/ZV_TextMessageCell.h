#pragma once

#include "app/MainController/Chat/Schema/ChatSchema.h"
#include "platform/ui/messages/MessageContentCell.h"

#include <functional>
#include <memory>
#include <optional>

class UILongPressGestureRecognizer;

// A text or reply message. A press of 0.4 s on the avatar or on the bubble calls the matching
// block once, when it is recognised. A reply to an image shows that image's 40 × 40 thumbnail
// over the quote box.
class ZV_TextMessageCell : public MessageKit::TextMessageCell {
public:
    ZV_TextMessageCell();

    std::string className() const override { return "ZV_TextMessageCell"; }

    std::function<void()> messageAvatarViewBlock;
    std::function<void()> messageContainerViewBlock;

    // The message this cell's message quotes, when it is loaded; an image shows as the thumbnail.
    const std::optional<Message>& model() const { return m_model; }
    void setModel(std::optional<Message> model);
    const std::shared_ptr<UIImageView>& imageView();

    virtual void addAvatarLongPress(UIView& view);
    virtual void addContainerLongPress(UIView& view);
    void messageAvatarViewHandlerWithGesture(UILongPressGestureRecognizer& gesture);
    void messageContainerHandlerWithGesture(UILongPressGestureRecognizer& gesture);

private:
    std::optional<Message> m_model;
    std::shared_ptr<UIImageView> m_imageView;
};
