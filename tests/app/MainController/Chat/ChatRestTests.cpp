// The room endpoints of the local test server as the app's API client calls them: inside the
// signed envelope, with array parameters as JSON arrays.

#include "app/Core/Network/ZV_API.h"
#include "tests/app/support/ApiTestSupport.h"

namespace {

class ChatRestTest : public zvtest::ApiTest {
protected:
    void SetUp() override
    {
        ApiTest::SetUp();
        if (!HasFatalFailure())
            setToken("tk-301877-first");
    }

    JSON data(HTTPMethod method, std::string_view path, const JSON& parameters)
    {
        std::optional<zvtest::Reply> reply = send(method, path, parameters);
        EXPECT_TRUE(reply && reply->json)
            << path << ": " << (reply && reply->error ? reply->error->domain : "");
        return reply && reply->json ? *reply->json : JSON();
    }

    std::string refusal(std::string_view path, const JSON& parameters)
    {
        std::optional<zvtest::Reply> reply = send(HTTPMethod::POST, path, parameters);
        EXPECT_TRUE(reply && reply->error) << path;
        return reply && reply->error ? reply->error->domain : "";
    }
};

}

TEST_F(ChatRestTest, HistoryAndStateComeFromTheLiveRoom)
{
    JSON newest = data(HTTPMethod::GET, "v1/room/lastmsg", JSON::object({ { "room_id", 1 } }));
    ASSERT_EQ(newest["messages"].count(), 20u);
    EXPECT_EQ(newest["messages"][0]["seq"].intValue(), 4368);
    EXPECT_EQ(newest["messages"][19]["sender"]["sender_id"].intValue(), 100388);
    EXPECT_FALSE(newest["has_more"].boolValue());

    for (int i = 0; i < 25; ++i)
        chatRoom().push(1);
    JSON after
        = data(HTTPMethod::GET, "v1/room/lastmsg", JSON::object({ { "room_id", 1 }, { "seq", 4380 } }));
    ASSERT_EQ(after["messages"].count(), 20u);
    EXPECT_EQ(after["messages"][0]["seq"].intValue(), 4393);
    EXPECT_TRUE(after["has_more"].boolValue());
    EXPECT_EQ(after["more_msg_count"].intValue(), 12);

    JSON maxSeq = data(HTTPMethod::GET, "v1/room/maxseq", JSON::object({ { "room_id", 1 } }));
    EXPECT_EQ(maxSeq[0]["max_seq"].intValue(), 4412);
    JSON current = data(HTTPMethod::GET, "v1/room/current", JSON::object({ { "room_id", 1 } }));
    EXPECT_EQ(current["online_devices"].intValue(), 36);
    EXPECT_EQ(current["room_notice"].stringValue(), "欢迎来到放映厅，文明发言，请勿剧透。");
}

TEST_F(ChatRestTest, SendingRecallingAndModeratingTakeTheirListsAsArrays)
{
    JSON sent = data(HTTPMethod::POST, "v1/room/sendmsg",
        JSON::object({ { "sender_type", 2 }, { "receiver_type", 2 }, { "receiver_id", 1 }, { "type", 1 },
            { "content", "@追剧的猫 @夜航船 一起看" }, { "request_id", 1717326000123 },
            { "to_user_ids", JSON::array({ "100388", "100512" }) }, { "link_seq", 4386 } }));
    std::int64_t seq = sent["seq"].intValue();
    EXPECT_EQ(seq, 4388);
    auto records = api().recordsTo("v1/room/sendmsg");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].parameters->at("to_user_ids").is_array());
    Message stored = chatRoom().history(1).back();
    EXPECT_EQ(stored.to_user_ids_size(), 2);
    EXPECT_EQ(stored.to_user_ids(1), 100512);
    EXPECT_EQ(stored.sender().sender_id(), 301877);
    EXPECT_EQ(stored.link_message().sender_name(), "夜航船");

    // A list written as one text is no list.
    EXPECT_EQ(refusal("v1/room/revokemsg", JSON::object({ { "room_id", 1 }, { "seqs", "[4388]" } })),
        "参数错误: seqs");
    data(HTTPMethod::POST, "v1/room/revokemsg",
        JSON::object({ { "room_id", 1 }, { "seqs", JSON::array({ seq }) } }));
    EXPECT_EQ(chatRoom().history(1).back().seq(), 4387);

    // A mute of a member, then its lifting; a ban has no end.
    JSON mute = JSON::object(
        { { "room_id", 1 }, { "user_ids", JSON::array({ 100388 }) }, { "type", 1 }, { "time", 3600 } });
    data(HTTPMethod::POST, "v1/room/blockuser", mute);
    JSON state
        = data(HTTPMethod::GET, "v1/room/user", JSON::object({ { "room_id", 1 }, { "user_id", 100388 } }));
    EXPECT_EQ(state["is_block"].intValue(), 1);
    EXPECT_GT(state["block_remain_time"].intValue(), 3590);
    data(HTTPMethod::POST, "v1/room/blockuser",
        JSON::object(
            { { "room_id", 1 }, { "user_ids", JSON::array({ 100388 }) }, { "type", 2 }, { "time", 0 } }));
    state = data(HTTPMethod::GET, "v1/room/user", JSON::object({ { "room_id", 1 }, { "user_id", 100388 } }));
    EXPECT_EQ(state["is_block"].intValue(), 0);
    data(HTTPMethod::POST, "v1/room/blockuser",
        JSON::object(
            { { "room_id", 1 }, { "user_ids", JSON::array({ 100512 }) }, { "type", 1 }, { "time", -1 } }));
    state = data(HTTPMethod::GET, "v1/room/user", JSON::object({ { "room_id", 1 }, { "user_id", 100512 } }));
    EXPECT_EQ(state["block_remain_time"].intValue(), -1);
    EXPECT_EQ(refusal("v1/room/blockuser",
                  JSON::object({ { "room_id", 1 }, { "user_ids", 100388 }, { "type", 1 }, { "time", 60 } })),
        "参数错误: user_ids");
}
