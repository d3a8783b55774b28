// The chat message store over a fresh database: one row per seq, every row a message.

#include "app/MainController/Chat/Schema/ChatSchema.h"
#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "platform/foundation/Log.h"
#include "platform/json/JSON.h"
#include "platform/storage/ASConfigration.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class MessageStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASConfigration::setDefaultDB((home / "zvlist.db").string(), "zvlist.db");
        Log::setSink([this](std::string_view line) { logLines.emplace_back(line); });
    }
    void TearDown() override
    {
        Log::setSink({});
        ASConfigration::closeDefaultDB();
    }

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

    static std::optional<ZV_MessageASModel> row(std::int64_t seq)
    {
        auto found
            = ZV_MessageASModel::findFirst(ASQuery().equal("seq", ASValue(static_cast<long long>(seq))));
        return found && found->has_value() ? std::optional(**found) : std::nullopt;
    }

    static void storeRaw(std::int64_t seq, std::string json)
    {
        ZV_MessageASModel damaged;
        damaged.seq = seq;
        damaged.json = std::move(json);
        ASSERT_TRUE(damaged.save());
    }

    zvtest::TempDir home;
    std::vector<std::string> logLines;
};

}

TEST_F(MessageStoreTest, FirstVersionOfASequenceNumberWinsFromEitherSide)
{
    EXPECT_TRUE(ActiveSQLiteTool::loadMessages().empty());
    EXPECT_FALSE(ActiveSQLiteTool::lastMessageSeq());

    // Socket first, then the same seq from REST with other content.
    EXPECT_TRUE(ActiveSQLiteTool::saveMessage(textMessage(10, "socket")));
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(JSON::parse(R"({"seq":10,"message_content":"rest"})")));
    // REST first, then the socket.
    EXPECT_TRUE(ActiveSQLiteTool::saveMessage(
        JSON::parse(R"({"seq":"11","message_content":"rest","sender":{"sender_id":7,"nickname":"abc"}})")));
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(textMessage(11, "socket")));
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(textMessage(10, "socket again")));

    std::vector<Message> messages = ActiveSQLiteTool::loadMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message_content(), "socket");
    EXPECT_EQ(messages[1].message_content(), "rest");
    EXPECT_EQ(row(11)->senderID, "7");
    // A message without a sender counts as sender 0.
    EXPECT_EQ(row(10)->senderID, "0");

    // Without "seq" an object is stored as 0, and blocks every later one without "seq".
    EXPECT_TRUE(ActiveSQLiteTool::saveMessage(JSON::parse(R"({"message_content":"first"})")));
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(JSON::parse(R"({"message_content":"second"})")));
    EXPECT_EQ(ActiveSQLiteTool::loadMessages().front().message_content(), "first");
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(JSON::parse("[1,2]")));
    EXPECT_EQ(ZV_MessageASModel::findAll()->size(), 3u);
}

TEST_F(MessageStoreTest, RestObjectsAreStoredAsTheMessagesTheyReadAs)
{
    // The server's spellings: numbers for int64, an enum by number, field names, a null quote and
    // a key the schema does not know, which is left out and logged.
    ASSERT_TRUE(ActiveSQLiteTool::saveMessage(
        JSON::parse(R"({"seq":7,"message_type":3,"room_id":1,)"
                    R"("message_content":"https://img/x.png","link_message":null,)"
                    R"("sender":{"sender_id":"9","vip":true}})")));
    EXPECT_EQ(row(7)->json,
        R"({"sender":{"senderId":"9"},"messageType":"MT_IMAGE","messageContent":"https://img/x.png","seq":"7"})");
    EXPECT_EQ(row(7)->senderID, "9");
    ASSERT_FALSE(logLines.empty());
    EXPECT_NE(logLines.back().find("room_id, sender.vip"), std::string::npos) << logLines.back();

    // What does not read as a message is not stored, so the socket's copy of that seq still is.
    for (const char* text : { R"({"seq":"twelve"})", R"({"seq":12,"sender":"abc"})", R"({"seq":[12]})" }) {
        EXPECT_FALSE(ActiveSQLiteTool::saveMessage(JSON::parse(text))) << text;
        EXPECT_FALSE(row(12)) << text;
    }
    EXPECT_TRUE(ActiveSQLiteTool::saveMessage(textMessage(12, "socket")));
    EXPECT_EQ(loadedSeqs(), (std::vector<std::int64_t> { 7, 12 }));
}

TEST_F(MessageStoreTest, LoadSortsBySeqAndSkipsRowsThatDoNotDecode)
{
    for (std::int64_t seq : { 30, 5, 4387, 12, -3 })
        ASSERT_TRUE(ActiveSQLiteTool::saveMessage(textMessage(seq, "m" + std::to_string(seq))));
    EXPECT_EQ(loadedSeqs(), (std::vector<std::int64_t> { -3, 5, 12, 30, 4387 }));
    EXPECT_EQ(ActiveSQLiteTool::lastMessageSeq(), 4387);

    // Rows damaged outside the store are skipped, the last one too, and still hold their seq.
    storeRaw(1, "{\"seq\":");
    storeRaw(5000, R"({"seq":"5000","level":1})");
    EXPECT_EQ(loadedSeqs(), (std::vector<std::int64_t> { -3, 5, 12, 30, 4387 }));
    EXPECT_EQ(ActiveSQLiteTool::lastMessageSeq(), 4387);
    EXPECT_FALSE(ActiveSQLiteTool::saveMessage(textMessage(5000, "later")));
}

TEST_F(MessageStoreTest, SocketMessagesAreStoredInTheSchemasJsonForm)
{
    Message message = textMessage(42, "hi");
    message.mutable_sender()->set_sender_id(7);
    message.mutable_sender()->set_nickname("abc");
    ASSERT_TRUE(ActiveSQLiteTool::saveMessage(message));
    EXPECT_EQ(row(42)->json,
        R"({"sender":{"senderId":"7","nickname":"abc"},"messageType":"MT_TEXT","messageContent":"hi","seq":"42"})");
    ASSERT_TRUE(ActiveSQLiteTool::saveMessage(Message()));
    EXPECT_EQ(row(0)->json, "{}");
    EXPECT_EQ(ActiveSQLiteTool::loadMessages().back().SerializeAsString(), message.SerializeAsString());
}
