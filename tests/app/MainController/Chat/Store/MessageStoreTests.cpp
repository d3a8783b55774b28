// The chat message store over a fresh database, and the schema's wire and JSON contract that the
// store and the socket rely on.

#include "app/MainController/Chat/Schema/ChatSchema.h"
#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "platform/json/JSON.h"
#include "platform/storage/ASConfigration.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class MessageStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASConfigration::setDefaultDB((home / "zvlist.db").string(), "zvlist.db"); }
    void TearDown() override { ASConfigration::closeDefaultDB(); }

    static Message textMessage(std::int64_t seq, const std::string& text)
    {
        Message message;
        message.set_seq(seq);
        message.set_message_type(MT_TEXT);
        message.set_message_content(text);
        return message;
    }

    static std::vector<std::int64_t> loadedSeqs()
    {
        std::vector<std::int64_t> seqs;
        for (const Message& message : ActiveSQLiteTool::loadMessages())
            seqs.push_back(message.seq());
        return seqs;
    }

    static ZV_MessageASModel row(std::int64_t seq)
    {
        auto found
            = ZV_MessageASModel::findFirst(ASQuery().equal("seq", ASValue(static_cast<long long>(seq))));
        EXPECT_TRUE(found && found->has_value()) << seq;
        return found && found->has_value() ? **found : ZV_MessageASModel();
    }

    zvtest::TempDir home;
};

std::string bytes(const google::protobuf::Message& message)
{
    return message.SerializeAsString();
}

}

TEST_F(MessageStoreTest, FirstVersionOfASequenceNumberWins)
{
    EXPECT_TRUE(ActiveSQLiteTool::loadMessages().empty());

    // Socket first, then the same seq from REST with other content.
    EXPECT_TRUE(ActiveSQLiteTool::saveMessage(textMessage(10, "socket")));
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(JSON::parse(R"({"seq":10,"message_content":"rest"})")));
    // REST first, then the socket; the REST row keeps the server's keys and the sender's id.
    EXPECT_TRUE(ActiveSQLiteTool::saveMessage(
        JSON::parse(R"({"seq":"11","message_content":"rest","sender":{"sender_id":7,"nickname":"abc"}})")));
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(textMessage(11, "socket")));

    std::vector<Message> messages = ActiveSQLiteTool::loadMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message_content(), "socket");
    EXPECT_EQ(messages[1].message_content(), "rest");
    EXPECT_EQ(messages[1].sender().sender_id(), 7);
    EXPECT_EQ(row(11).senderID, "7");
    // A socket message without a sender counts as sender 0.
    EXPECT_EQ(row(10).senderID, "0");

    // Without "seq" an object is stored as 0, and blocks every later one without "seq".
    EXPECT_TRUE(ActiveSQLiteTool::saveMessage(JSON::parse(R"({"message_content":"first"})")));
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(JSON::parse(R"({"message_content":"second"})")));
    EXPECT_EQ(ActiveSQLiteTool::loadMessages().front().message_content(), "first");
    EXPECT_EQ(row(0).senderID, "");
    // Anything but an object could never load again; it is refused rather than holding seq 0.
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(JSON::parse("[1,2]")));
}

TEST_F(MessageStoreTest, LoadSortsBySeqAndSkipsRowsThatDoNotDecode)
{
    for (std::int64_t seq : { 30, 5, 4387, 12 })
        ASSERT_TRUE(ActiveSQLiteTool::saveMessage(textMessage(seq, "m" + std::to_string(seq))));
    // The server's own spellings: numbers for int64, an enum by number, proto field names.
    ASSERT_TRUE(ActiveSQLiteTool::saveMessage(JSON::parse(
        R"({"seq":7,"message_type":3,"message_content":"https://img/x.png","link_message":null})")));
    // A key outside the schema makes the row unreadable, but it still holds its seq.
    ASSERT_TRUE(ActiveSQLiteTool::saveMessage(JSON::parse(R"({"seq":20,"room_id":1})")));
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(textMessage(20, "later")));

    EXPECT_EQ(loadedSeqs(), (std::vector<std::int64_t> { 5, 7, 12, 30, 4387 }));
    std::vector<Message> messages = ActiveSQLiteTool::loadMessages();
    EXPECT_EQ(messages[1].message_type(), MT_IMAGE);
    EXPECT_EQ(messageType(messages[1].message_type()), MessageType::mtImage);
    EXPECT_FALSE(messages[1].has_link_message());

    // A row damaged outside the store is skipped too.
    ZV_MessageASModel damaged;
    damaged.seq = 1;
    damaged.json = "{\"seq\":";
    ASSERT_TRUE(damaged.save());
    EXPECT_EQ(loadedSeqs().size(), 5u);
}

TEST_F(MessageStoreTest, SocketMessagesAreStoredInTheSchemasJsonForm)
{
    Message message = textMessage(42, "hi");
    message.mutable_sender()->set_sender_id(7);
    message.mutable_sender()->set_nickname("abc");
    ASSERT_TRUE(ActiveSQLiteTool::saveMessage(message));
    EXPECT_EQ(row(42).json,
        R"({"sender":{"senderId":"7","nickname":"abc"},"messageType":"MT_TEXT","messageContent":"hi","seq":"42"})");
    ASSERT_TRUE(ActiveSQLiteTool::saveMessage(Message()));
    EXPECT_EQ(row(0).json, "{}");
    EXPECT_EQ(ActiveSQLiteTool::loadMessages().back().SerializeAsString(), message.SerializeAsString());
}

TEST(ChatSchema, WireFormKeepsTheSharedWidthsNumbersAndUnknownFields)
{
    // int64 and int32 negatives take ten bytes after their key.
    SyncInput sync;
    sync.set_flag(-1);
    EXPECT_EQ(bytes(sync), std::string("\x18\xff\xff\xff\xff\xff\xff\xff\xff\xff\x01", 11));
    Output output;
    output.set_code(-1);
    EXPECT_EQ(bytes(output).size(), 11u);

    // Packed mentions; separate records parse to the same list.
    Message message;
    message.add_to_user_ids(5);
    message.add_to_user_ids(300);
    EXPECT_EQ(bytes(message), std::string("\x0a\x03\x05\xac\x02", 5));
    Message unpacked;
    ASSERT_TRUE(unpacked.ParseFromString(std::string("\x08\x05\x08\xac\x02", 5)));
    EXPECT_EQ(unpacked.to_user_ids_size(), 2);
    EXPECT_EQ(unpacked.to_user_ids(1), 300);

    // A set but empty quote is still written; an unknown package type survives a round trip.
    Message quoting;
    quoting.mutable_link_message();
    EXPECT_EQ(bytes(quoting), std::string("\x1a\x00", 2));
    Output future;
    ASSERT_TRUE(future.ParseFromString(std::string("\x08\x09", 2)));
    EXPECT_EQ(static_cast<int>(future.type()), 9);
    EXPECT_EQ(bytes(future), std::string("\x08\x09", 2));

    // An undeclared field of a sender is kept and written after the declared ones.
    Sender sender;
    ASSERT_TRUE(sender.ParseFromString(std::string("\xa0\x01\x01\x52\x01x", 6)));
    EXPECT_EQ(sender.extra(), "x");
    EXPECT_EQ(bytes(sender), std::string("\x52\x01x\xa0\x01\x01", 6));

    // Payload field numbers and widths of the envelope partners.
    SubscribeRoomInput subscribe;
    subscribe.mutable_device_info()->set_model("m");
    subscribe.set_room_id(1);
    EXPECT_EQ(bytes(subscribe), std::string("\x10\x01\x1a\x03\x22\x01m", 7));
    BlockUserOutput block;
    block.set_block_remain_time(-1);
    EXPECT_EQ(bytes(block).substr(0, 1), "\x10");
    EXPECT_EQ(std::string(ChatDeviceInfo::descriptor()->full_name()), "DeviceInfo");
    EXPECT_EQ(std::string(MessageType_descriptor()->full_name()), "MessageType");
}
