#pragma once

// The chat schema's C++ types (Chat.proto): Message, Sender, LinkMessage, Input, Output and the
// payload messages, and the enumerations PackageType, MessageStatus, SenderType, ReceiverType.
//
// Two names of the schema are taken in C++: MessageType by the app's message kind
// (MessageType.h) and DeviceInfo by the platform's device information. Their generated types are
// compiled as ChatMessageType and ChatDeviceInfo; the schema's own names (full names, wire form,
// JSON form) are untouched. Include the generated header only through this one.

#include "app/MainController/Chat/Schema/MessageType.h"

// The runtime's headers first, so that the renaming below reaches only the generated code.
#include <google/protobuf/arena.h>
#include <google/protobuf/extension_set.h>
#include <google/protobuf/generated_enum_reflection.h>
#include <google/protobuf/generated_message_reflection.h>
#include <google/protobuf/generated_message_util.h>
#include <google/protobuf/message.h>
#include <google/protobuf/repeated_field.h>
#include <google/protobuf/unknown_field_set.h>

#define MessageType ChatMessageType
#define DeviceInfo ChatDeviceInfo
#include "app/MainController/Chat/Schema/Chat.pb.h"
#undef DeviceInfo
#undef MessageType

static_assert(rawValue(MessageType::mtImage) == MT_IMAGE && rawValue(MessageType::mtCustom) == MT_CUSTOM,
    "the app's message kinds are numbered as on the wire");

// The app's kind of a message type read from the schema; an unrecognised number stays as it is.
constexpr MessageType messageType(ChatMessageType wire)
{
    return messageTypeFromRawValue(static_cast<std::int32_t>(wire));
}
