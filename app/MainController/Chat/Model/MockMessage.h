#pragma once

#include "app/MainController/Chat/Model/MockUser.h"
#include "platform/ui/messages/MessageKitTypes.h"

#include <optional>
#include <string>

// One shown message: the chat message's seq in decimal, its send time, its sender and what the
// bubble shows (text, a reply drawn as styled text, or a photo).
struct MockMessage : MessageKit::MessageType {
    // The edge of a photo bubble, either way.
    static constexpr CGFloat photoSide = 150;

    MockMessage(MessageKit::MessageKind kind, MockUser user, std::string messageId, Date date)
        : kindValue(std::move(kind))
        , user(std::move(user))
        , messageIdValue(std::move(messageId))
        , sentDateValue(date)
    { }
    // A photo to load from the address, the placeholder "image_message_placeholder" meanwhile.
    MockMessage(std::optional<std::string> imageURL, MockUser user, std::string messageId, Date date);
    // A photo at hand, without a placeholder.
    MockMessage(UIImage image, MockUser user, std::string messageId, Date date);

    const MessageKit::SenderType& sender() const override { return user; }
    std::string messageId() const override { return messageIdValue; }
    Date sentDate() const override { return sentDateValue; }
    const MessageKit::MessageKind& kind() const override { return kindValue; }

    MessageKit::MessageKind kindValue;
    MockUser user;
    std::string messageIdValue;
    Date sentDateValue;
};
