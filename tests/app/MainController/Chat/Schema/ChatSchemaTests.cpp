// The chat schema's contract with the server: the bytes of the wire form and the JSON form that
// the message store keeps.

#include "app/MainController/Chat/Schema/ChatSchema.h"

#include <google/protobuf/util/json_util.h>
#include <gtest/gtest.h>

namespace {

std::string bytes(const google::protobuf::Message& message)
{
    return message.SerializeAsString();
}

std::string json(const Message& message)
{
    std::string text;
    EXPECT_TRUE(google::protobuf::util::MessageToJsonString(message, &text).ok());
    return text;
}

std::optional<Message> fromJSON(const std::string& text)
{
    Message message;
    if (!google::protobuf::util::JsonStringToMessage(text, &message).ok())
        return std::nullopt;
    return message;
}

}

TEST(ChatSchema, WireFormKeepsTheSharedWidthsNumbersAndUnknownFields)
{
    // Nothing set: nothing written.
    EXPECT_EQ(bytes(Message()), "");
    Message unsetSender;
    EXPECT_FALSE(unsetSender.has_sender());
    EXPECT_EQ(unsetSender.sender().sender_id(), 0);
    EXPECT_EQ(unsetSender.sender().sender_type(), ST_UNKNOWN);

    // int64 and int32 negatives take ten bytes after their key.
    SyncInput sync;
    sync.set_flag(-1);
    EXPECT_EQ(bytes(sync), std::string("\x18\xff\xff\xff\xff\xff\xff\xff\xff\xff\x01", 11));
    Output output;
    output.set_code(-1);
    EXPECT_EQ(bytes(output), std::string("\x18\xff\xff\xff\xff\xff\xff\xff\xff\xff\x01", 11));

    // Packed mentions; separate records parse to the same list.
    Message message;
    message.add_to_user_ids(5);
    message.add_to_user_ids(300);
    EXPECT_EQ(bytes(message), std::string("\x0a\x03\x05\xac\x02", 5));
    Message unpacked;
    ASSERT_TRUE(unpacked.ParseFromString(std::string("\x08\x05\x08\xac\x02", 5)));
    EXPECT_EQ(bytes(unpacked), bytes(message));

    // A set but empty quote is still written; an unknown package type survives a round trip.
    Message quoting;
    quoting.mutable_link_message();
    EXPECT_EQ(bytes(quoting), std::string("\x1a\x00", 2));
    Output future;
    ASSERT_TRUE(future.ParseFromString(std::string("\x08\x09", 2)));
    EXPECT_EQ(static_cast<int>(future.type()), 9);
    EXPECT_FALSE(PackageType_IsValid(future.type()));
    EXPECT_EQ(bytes(future), std::string("\x08\x09", 2));

    // An undeclared field of a sender is kept and written after the declared ones.
    Sender sender;
    ASSERT_TRUE(sender.ParseFromString(std::string("\xa0\x01\x01\x52\x01x", 6)));
    EXPECT_EQ(sender.extra(), "x");
    EXPECT_EQ(bytes(sender), std::string("\x52\x01x\xa0\x01\x01", 6));

    // A heartbeat carries its type and id only; payload numbers of the envelope partners.
    Input heartbeat;
    heartbeat.set_type(PT_HEARTBEAT);
    heartbeat.set_request_id(300);
    EXPECT_EQ(bytes(heartbeat), std::string("\x08\x03\x10\xac\x02", 5));
    SubscribeRoomInput subscribe;
    subscribe.mutable_device_info()->set_model("m");
    subscribe.set_room_id(1);
    EXPECT_EQ(bytes(subscribe), std::string("\x10\x01\x1a\x03\x22\x01m", 7));
    RevokeMessageOutput revoke;
    revoke.add_seqs(4387);
    revoke.set_code(1);
    EXPECT_EQ(bytes(revoke), std::string("\x08\x01\x12\x02\xa3\x22", 6));

    // Truncated input is no value.
    EXPECT_FALSE(Output().ParseFromString(std::string("\x2a\x05\x01", 3)));
    EXPECT_EQ(std::string(ChatDeviceInfo::descriptor()->full_name()), "DeviceInfo");
    EXPECT_EQ(std::string(MessageType_descriptor()->full_name()), "MessageType");
}

TEST(ChatSchema, JsonFormUsesJsonNamesAndDecimalTextsAndRefusesUnknownKeys)
{
    Message message;
    message.set_seq(42);
    message.set_message_type(MT_TEXT);
    message.set_message_content("hi");
    message.mutable_sender()->set_sender_id(7);
    message.mutable_sender()->set_nickname("abc");
    message.add_to_user_ids(9007199254740993); // beyond what a double holds exactly
    EXPECT_EQ(json(message),
        R"({"toUserIds":["9007199254740993"],"sender":{"senderId":"7","nickname":"abc"},)"
        R"("messageType":"MT_TEXT","messageContent":"hi","seq":"42"})");
    EXPECT_EQ(json(Message()), "{}");
    Message linked;
    linked.mutable_link_message();
    EXPECT_EQ(json(linked), R"({"linkMessage":{}})");

    // Either name of a field, numbers or texts for int64, names or numbers for enumerations,
    // null for the default.
    struct Case {
        const char* text;
        std::int64_t seq;
        ChatMessageType type;
        std::int64_t senderID;
    };
    const Case cases[] = {
        { R"({"seq":42,"messageType":"MT_IMAGE"})", 42, MT_IMAGE, 0 },
        { R"({"seq":"42","message_type":3})", 42, MT_IMAGE, 0 },
        { R"({"seq":"-9223372036854775808","sender":{"sender_id":"7"}})", INT64_MIN, MT_UNKNOWN, 7 },
        { R"({"sender":{"senderId":7},"link_message":null,"messageType":null})", 0, MT_UNKNOWN, 7 },
        { R"({"message_type":9})", 0, static_cast<ChatMessageType>(9), 0 },
    };
    for (const Case& c : cases) {
        std::optional<Message> read = fromJSON(c.text);
        ASSERT_TRUE(read) << c.text;
        EXPECT_EQ(read->seq(), c.seq) << c.text;
        EXPECT_EQ(read->message_type(), c.type) << c.text;
        EXPECT_EQ(read->sender().sender_id(), c.senderID) << c.text;
        EXPECT_FALSE(read->has_link_message()) << c.text;
    }
    // A key outside the schema, at any depth, fails the whole read.
    for (const char* text :
        { R"({"seq":1,"room_id":1})", R"({"sender":{"level":1}})", R"({"seq":1.5})", "[]" })
        EXPECT_FALSE(fromJSON(text)) << text;
}
