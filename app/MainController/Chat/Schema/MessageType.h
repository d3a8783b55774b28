#pragma once

#include <cstdint>

// The kind of a chat message, as numbered on the wire. The enumeration is open: a value from a
// newer server keeps its number (any int32 fits) and is simply not one of the named kinds.
// The schema's own enumeration of the same name is compiled as ChatMessageType (ChatSchema.h),
// which converts with messageType().
enum class MessageType : std::int32_t {
    mtUnknown = 0,
    mtText = 1,
    mtFace = 2,
    mtImage = 3,
    mtCommand = 4,
    mtCustom = 5,
};

constexpr std::int32_t rawValue(MessageType type)
{
    return static_cast<std::int32_t>(type);
}

// Every number gives a kind; numbers outside the named ones stay unrecognised.
constexpr MessageType messageTypeFromRawValue(std::int32_t value)
{
    return static_cast<MessageType>(value);
}

constexpr bool isRecognised(MessageType type)
{
    return rawValue(type) >= rawValue(MessageType::mtUnknown)
        && rawValue(type) <= rawValue(MessageType::mtCustom);
}
