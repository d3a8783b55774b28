// Every message of the chat schema pinned to bytes written out by hand from its table of field
// numbers and types, not by the schema's compiled code: the local test server compiles the same
// schema, so a renumbered or retyped field would otherwise still pass every round trip. Each
// value is fully set, with different values in fields of one wire type, so that two swapped
// numbers show too. The bytes are read (giving the value) and the value is written (giving the
// bytes).

#include "app/MainController/Chat/Schema/ChatSchema.h"

#include <cctype>
#include <functional>
#include <google/protobuf/util/json_util.h>
#include <google/protobuf/util/message_differencer.h>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string_view>

namespace {

// Pairs of hexadecimal digits; white space between them is ignored.
std::string fromHex(std::string_view text)
{
    std::string bytes;
    int high = -1;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c)))
            continue;
        int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<char>(high * 16 + digit));
            high = -1;
        }
    }
    EXPECT_EQ(high, -1) << "odd number of digits in " << text;
    return bytes;
}

std::string toHex(const std::string& bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// Keys: field number * 8 + wire type (0 varint, 2 length-delimited).

// LinkMessage: 1 message_content "quoted", 2 message_type MT_TEXT, 3 sender_name "abc",
// 4 send_time 1699999999000.
constexpr std::string_view linkMessageHex = "0a 06 71 75 6f 74 65 64"
                                            "10 01"
                                            "1a 03 61 62 63"
                                            "20 98 c8 95 ff bc 31";

// Sender: 1 sender_type ST_USER, 2 sender_id 3000000001, 3 device_id "dev", 4 avatar_url
// "https://a/b.png", 5 nickname "nick", 6 rank_level 6, 7 rank_color "FF0000", 8 rank_name
// "gold", 9 member_type 1, 10 extra "x".
constexpr std::string_view senderHex = "08 02"
                                       "10 81 bc c1 96 0b"
                                       "1a 03 64 65 76"
                                       "22 0f 68 74 74 70 73 3a 2f 2f 61 2f 62 2e 70 6e 67"
                                       "2a 04 6e 69 63 6b"
                                       "30 06"
                                       "3a 06 46 46 30 30 30 30"
                                       "42 04 67 6f 6c 64"
                                       "48 01"
                                       "52 01 78";

// Message: 1 to_user_ids [5, 300] packed, 2 link_seq 4386, 3 link_message (above, 22 bytes),
// 4 sender (above, 57 bytes), 5 receiver_type RT_ROOM, 6 receiver_id 9, 7 message_type
// MT_IMAGE, 8 message_content "hello", 9 seq 4294967297, 10 send_time 1700000000123, 11 status
// MS_NORMAL.
const std::string messageHex = std::string("0a 03 05 ac 02"
                                           "10 a2 22"
                                           "1a 16")
    + std::string(linkMessageHex) + "22 39" + std::string(senderHex)
    + "28 02"
      "30 09"
      "38 03"
      "42 05 68 65 6c 6c 6f"
      "48 81 80 80 80 10"
      "50 fb d0 95 ff bc 31"
      "58 01";

// DeviceInfo: 1 device_id "dev", 2 type 2, 3 brand "Apple", 4 model "iPhone Xr",
// 5 system_version "17.0", 6 sdk_version "308".
constexpr std::string_view deviceInfoHex = "0a 03 64 65 76"
                                           "10 02"
                                           "1a 05 41 70 70 6c 65"
                                           "22 09 69 50 68 6f 6e 65 20 58 72"
                                           "2a 04 31 37 2e 30"
                                           "32 03 33 30 38";

LinkMessage fullLinkMessage()
{
    LinkMessage link;
    link.set_message_content("quoted");
    link.set_message_type(MT_TEXT);
    link.set_sender_name("abc");
    link.set_send_time(1699999999000);
    return link;
}

Sender fullSender()
{
    Sender sender;
    sender.set_sender_type(ST_USER);
    sender.set_sender_id(3000000001);
    sender.set_device_id("dev");
    sender.set_avatar_url("https://a/b.png");
    sender.set_nickname("nick");
    sender.set_rank_level(6);
    sender.set_rank_color("FF0000");
    sender.set_rank_name("gold");
    sender.set_member_type(1);
    sender.set_extra("x");
    return sender;
}

Message fullMessage()
{
    Message message;
    message.add_to_user_ids(5);
    message.add_to_user_ids(300);
    message.set_link_seq(4386);
    *message.mutable_link_message() = fullLinkMessage();
    *message.mutable_sender() = fullSender();
    message.set_receiver_type(RT_ROOM);
    message.set_receiver_id(9);
    message.set_message_type(MT_IMAGE);
    message.set_message_content("hello");
    message.set_seq(4294967297);
    message.set_send_time(1700000000123);
    message.set_status(MS_NORMAL);
    return message;
}

ChatDeviceInfo fullDeviceInfo()
{
    ChatDeviceInfo device;
    device.set_device_id("dev");
    device.set_type(2);
    device.set_brand("Apple");
    device.set_model("iPhone Xr");
    device.set_system_version("17.0");
    device.set_sdk_version("308");
    return device;
}

struct Golden {
    std::string name;
    std::string hex;
    std::function<std::unique_ptr<google::protobuf::Message>()> value;
};

template<class T>
std::function<std::unique_ptr<google::protobuf::Message>()> make(std::function<void(T&)> fill)
{
    return [fill] {
        auto value = std::make_unique<T>();
        fill(*value);
        return std::unique_ptr<google::protobuf::Message>(std::move(value));
    };
}

std::vector<Golden> goldens()
{
    return {
        { "LinkMessage", std::string(linkMessageHex),
            make<LinkMessage>([](LinkMessage& v) { v = fullLinkMessage(); }) },
        { "Sender", std::string(senderHex), make<Sender>([](Sender& v) { v = fullSender(); }) },
        { "Message", messageHex, make<Message>([](Message& v) { v = fullMessage(); }) },
        { "DeviceInfo", std::string(deviceInfoHex),
            make<ChatDeviceInfo>([](ChatDeviceInfo& v) { v = fullDeviceInfo(); }) },
        // 1 type PT_SYNC, 2 request_id 1700000000123, 3 data 01 02 03.
        { "Input", "08 02  10 fb d0 95 ff bc 31  1a 03 01 02 03", make<Input>([](Input& v) {
             v.set_type(PT_SYNC);
             v.set_request_id(1700000000123);
             v.set_data(std::string("\x01\x02\x03", 3));
         }) },
        // 1 type PT_BLOCK_USER, 2 request_id 1700000000124, 3 code 3, 4 message "success",
        // 5 data 04 05.
        { "Output", "08 07  10 fc d0 95 ff bc 31  18 03  22 07 73 75 63 63 65 73 73  2a 02 04 05",
            make<Output>([](Output& v) {
                v.set_type(PT_BLOCK_USER);
                v.set_request_id(1700000000124);
                v.set_code(3);
                v.set_message("success");
                v.set_data(std::string("\x04\x05", 2));
            }) },
        // 1 device_id "dev", 2 user_id 4294967297, 3 token "Bearer tk".
        { "SignInInput", "0a 03 64 65 76  10 81 80 80 80 10  1a 09 42 65 61 72 65 72 20 74 6b",
            make<SignInInput>([](SignInInput& v) {
                v.set_device_id("dev");
                v.set_user_id(4294967297);
                v.set_token("Bearer tk");
            }) },
        // 1 code 1.
        { "SignInOutput", "08 01", make<SignInOutput>([](SignInOutput& v) { v.set_code(1); }) },
        // 1 device_id "dev", 2 seq 3000000000, 3 flag -1 (ten bytes).
        { "SyncInput", "0a 03 64 65 76  10 80 bc c1 96 0b  18 ff ff ff ff ff ff ff ff ff 01",
            make<SyncInput>([](SyncInput& v) {
                v.set_device_id("dev");
                v.set_seq(3000000000);
                v.set_flag(-1);
            }) },
        // 1 messages, one record each: {9 seq 1} and {8 message_content "b", 9 seq 2};
        // 2 has_more true, 3 more_msg_count 25.
        { "SyncOutput", "0a 02 48 01  0a 05 42 01 62 48 02  10 01  18 19",
            make<SyncOutput>([](SyncOutput& v) {
                v.add_messages()->set_seq(1);
                Message* second = v.add_messages();
                second->set_message_content("b");
                second->set_seq(2);
                v.set_has_more(true);
                v.set_more_msg_count(25);
            }) },
        // 1 room_id 1, 2 room_conns 37, 3 room_notice "notice".
        { "HeartBeatOutput", "08 01  10 25  1a 06 6e 6f 74 69 63 65",
            make<HeartBeatOutput>([](HeartBeatOutput& v) {
                v.set_room_id(1);
                v.set_room_conns(37);
                v.set_room_notice("notice");
            }) },
        // 1 room_id 1, 2 message {9 seq 4388}.
        { "MessageOutput", "08 01  12 03 48 a4 22", make<MessageOutput>([](MessageOutput& v) {
             v.set_room_id(1);
             v.mutable_message()->set_seq(4388);
         }) },
        // 1 device_id "dev", 2 max_seq 4390, 3 min_seq 4388, 4 receive_time 1700000000125.
        { "MessageAckInput", "0a 03 64 65 76  10 a6 22  18 a4 22  20 fd d0 95 ff bc 31",
            make<MessageAckInput>([](MessageAckInput& v) {
                v.set_device_id("dev");
                v.set_max_seq(4390);
                v.set_min_seq(4388);
                v.set_receive_time(1700000000125);
            }) },
        // 1 device_id "dev", 2 room_id 1, 3 device_info (above, 36 bytes).
        { "SubscribeRoomInput", "0a 03 64 65 76  10 01  1a 24" + std::string(deviceInfoHex),
            make<SubscribeRoomInput>([](SubscribeRoomInput& v) {
                v.set_device_id("dev");
                v.set_room_id(1);
                *v.mutable_device_info() = fullDeviceInfo();
            }) },
        // 1 code 1, 2 room_conns 37.
        { "SubscribeRoomOutput", "08 01  10 25", make<SubscribeRoomOutput>([](SubscribeRoomOutput& v) {
             v.set_code(1);
             v.set_room_conns(37);
         }) },
        // 1 code 1, 2 seqs [3000000000, 4294967297] packed.
        { "RevokeMessageOutput", "08 01  12 0a 80 bc c1 96 0b 81 80 80 80 10",
            make<RevokeMessageOutput>([](RevokeMessageOutput& v) {
                v.set_code(1);
                v.add_seqs(3000000000);
                v.add_seqs(4294967297);
            }) },
        // 1 is_block 1, 2 block_remain_time 3600.
        { "BlockUserOutput", "08 01  10 90 1c", make<BlockUserOutput>([](BlockUserOutput& v) {
             v.set_is_block(1);
             v.set_block_remain_time(3600);
         }) },
    };
}

}

TEST(ChatWireGolden, EveryMessageReadsAndWritesItsHandWrittenBytes)
{
    std::vector<Golden> all = goldens();
    std::set<std::string> names;
    for (const Golden& golden : all) {
        SCOPED_TRACE(golden.name);
        names.insert(golden.name);
        std::string bytes = fromHex(golden.hex);
        std::unique_ptr<google::protobuf::Message> expected = golden.value();
        EXPECT_EQ(std::string(expected->GetDescriptor()->full_name()), golden.name);

        // Read: every record lands in its declared field, none among the undeclared ones.
        std::unique_ptr<google::protobuf::Message> read(expected->New());
        ASSERT_TRUE(read->ParseFromString(bytes));
        std::string difference;
        google::protobuf::util::MessageDifferencer differencer;
        differencer.ReportDifferencesToString(&difference);
        EXPECT_TRUE(differencer.Compare(*expected, *read)) << difference;
        EXPECT_EQ(read->GetReflection()->GetUnknownFields(*read).field_count(), 0);

        // Written: the same bytes, from the value read and from the value built.
        EXPECT_EQ(toHex(read->SerializeAsString()), toHex(bytes));
        EXPECT_EQ(toHex(expected->SerializeAsString()), toHex(bytes));
    }
    // The schema's seventeen messages, each pinned once.
    EXPECT_EQ(names.size(), 17u);
    EXPECT_EQ(names.size(), all.size());
}

TEST(ChatWireGolden, AFullMessageHasItsJsonNamesAndNumbersAsTexts)
{
    std::string text;
    ASSERT_TRUE(google::protobuf::util::MessageToJsonString(fullMessage(), &text).ok());
    EXPECT_EQ(text,
        R"({"toUserIds":["5","300"],"linkSeq":"4386",)"
        R"("linkMessage":{"messageContent":"quoted","messageType":"MT_TEXT","senderName":"abc",)"
        R"("sendTime":"1699999999000"},)"
        R"("sender":{"senderType":"ST_USER","senderId":"3000000001","deviceId":"dev",)"
        R"("avatarUrl":"https://a/b.png","nickname":"nick","rankLevel":"6","rankColor":"FF0000",)"
        R"("rankName":"gold","memberType":"1","extra":"x"},)"
        R"("receiverType":"RT_ROOM","receiverId":"9","messageType":"MT_IMAGE",)"
        R"("messageContent":"hello","seq":"4294967297","sendTime":"1700000000123","status":"MS_NORMAL"})");

    // The same message under the field names, as the history endpoint sends it, numbers as numbers.
    Message read;
    ASSERT_TRUE(google::protobuf::util::JsonStringToMessage(
        R"({"to_user_ids":[5,300],"link_seq":4386,)"
        R"("link_message":{"message_content":"quoted","message_type":1,"sender_name":"abc",)"
        R"("send_time":1699999999000},)"
        R"("sender":{"sender_type":2,"sender_id":3000000001,"device_id":"dev",)"
        R"("avatar_url":"https://a/b.png","nickname":"nick","rank_level":6,"rank_color":"FF0000",)"
        R"("rank_name":"gold","member_type":1,"extra":"x"},)"
        R"("receiver_type":2,"receiver_id":9,"message_type":3,)"
        R"("message_content":"hello","seq":4294967297,"send_time":1700000000123,"status":1})",
        &read)
                    .ok());
    EXPECT_EQ(toHex(read.SerializeAsString()), toHex(fromHex(messageHex)));
}

TEST(ChatWireGolden, EnumerationsKeepTheirNumbers)
{
    struct Case {
        const google::protobuf::EnumDescriptor* type;
        std::vector<std::string> names; // by number from 0
    };
    const Case cases[] = {
        { PackageType_descriptor(),
            { "PT_UNKNOWN", "PT_SIGN_IN", "PT_SYNC", "PT_HEARTBEAT", "PT_MESSAGE", "PT_SUBSCRIBE_ROOM",
                "PT_REVOKE", "PT_BLOCK_USER" } },
        { MessageType_descriptor(),
            { "MT_UNKNOWN", "MT_TEXT", "MT_FACE", "MT_IMAGE", "MT_COMMAND", "MT_CUSTOM" } },
        { MessageStatus_descriptor(), { "MS_UNKNOWN", "MS_NORMAL", "MS_RECALL" } },
        { SenderType_descriptor(), { "ST_UNKNOWN", "ST_SYSTEM", "ST_USER" } },
        { ReceiverType_descriptor(), { "RT_UNKNOWN", "RT_USER", "RT_ROOM" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type->full_name());
        ASSERT_EQ(c.type->value_count(), static_cast<int>(c.names.size()));
        for (int number = 0; number < static_cast<int>(c.names.size()); ++number) {
            const google::protobuf::EnumValueDescriptor* value = c.type->FindValueByNumber(number);
            ASSERT_TRUE(value);
            EXPECT_EQ(std::string(value->name()), c.names[static_cast<std::size_t>(number)]);
        }
    }
}
