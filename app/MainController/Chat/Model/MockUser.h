#pragma once

#include "platform/ui/messages/MessageKitTypes.h"

#include <string>

// The sender of a shown message: the chat sender's id in decimal and nickname.
struct MockUser : MessageKit::SenderType {
    MockUser() = default;
    MockUser(std::string senderId, std::string displayName)
        : m_senderId(std::move(senderId))
        , m_displayName(std::move(displayName))
    { }

    std::string senderId() const override { return m_senderId; }
    std::string displayName() const override { return m_displayName; }

    bool operator==(const MockUser& other) const
    {
        return m_senderId == other.m_senderId && m_displayName == other.m_displayName;
    }

private:
    std::string m_senderId;
    std::string m_displayName;
};
