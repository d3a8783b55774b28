#pragma once

#include "platform/ui/messages/MessageKitTypes.h"

#include <memory>
#include <string>

// The viewer as the message list's current sender: the signed-in profile's id and nickname, or,
// with nobody signed in, an id no chat sender has and a placeholder name.
class MessageSender : public MessageKit::SenderType {
public:
    MessageSender(std::string senderId, std::string displayName)
        : m_senderId(std::move(senderId))
        , m_displayName(std::move(displayName))
    { }

    // From ConfigSingleton's profile.
    static std::shared_ptr<const MessageSender> current();

    std::string senderId() const override { return m_senderId; }
    std::string displayName() const override { return m_displayName; }

private:
    const std::string m_senderId;
    const std::string m_displayName;
};
