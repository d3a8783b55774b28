// A test server started again on the state folder of the one before: the accounts, their sign-ins
// and pictures, and the chat rooms' messages, seqs and restrictions are as that one left them, on
// whatever ports the new one has; a damaged file of the folder stops the start and stays as it is.

#include "tests/support/TempDir.h"
#include "tests/tools/testserver/KeptRooms.h"
#include "tests/tools/testserver/SampleServer.h"
#include "tools/testserver/AccountBook.h"
#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/StateFolder.h"

#include <boost/asio.hpp>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace testserver;

namespace {

class StateKeptTest : public zvtest::KeptRoomsTest {
protected:
    // Always on the test's folder, over the sample data or a copy of it.
    std::string start(const std::filesystem::path& data = zvtest::SampleServer::dataDir())
    {
        return KeptRoomsTest::start(true, data);
    }

    // Started again on ports other than those of the server before, which are held meanwhile.
    std::string startOnOtherPorts()
    {
        const std::uint16_t ports[] = { server->httpPort(), server->httpsPort() };
        stop();
        boost::asio::io_context io;
        std::vector<boost::asio::ip::tcp::acceptor> held;
        for (std::uint16_t port : ports)
            held.emplace_back(
                io, boost::asio::ip::tcp::endpoint(boost::asio::ip::address_v4::loopback(), port));
        return start();
    }

    std::optional<Message> inHistory(std::int64_t seq)
    {
        for (const Message& message : chat->history(1)) {
            if (message.seq() == seq)
                return message;
        }
        return std::nullopt;
    }
};

}

TEST_F(StateKeptTest, AnAccountAndItsMessageOutliveTheServer)
{
    ASSERT_EQ(start(), "");
    const std::string phone = "13912340101";
    const std::string token = registerAccount(phone, true);
    ASSERT_FALSE(token.empty());
    const std::int64_t id = profile(token).value("id", std::int64_t(0));
    nlohmann::json sent = send(token, "重启之前");
    ASSERT_EQ(sent["errorCode"], 0) << sent.dump();
    const std::int64_t seq = sent["data"]["seq"];

    ASSERT_EQ(start(), "");
    // The token still signs in, to the API and to the room's socket.
    nlohmann::json again = profile(token);
    EXPECT_EQ(again.value("id", std::int64_t(0)), id);
    EXPECT_EQ(again.value("phone", ""), phone);
    Socket socket(server->httpPort(), chat->path());
    EXPECT_EQ(signIn(socket, token, id), 1);
    // The message is in the room's history, and the next one numbers on from it.
    std::optional<Message> kept = inHistory(seq);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->message_content(), "重启之前");
    EXPECT_EQ(kept->sender().sender_id(), id);
    nlohmann::json next = send(token, "重启之后");
    ASSERT_EQ(next["errorCode"], 0) << next.dump();
    EXPECT_EQ(next["data"]["seq"], seq + 1);
    // Its password signs in, its number stays taken, and the next account takes the next id.
    EXPECT_FALSE(login(phone, kPassword).empty());
    EXPECT_EQ(
        call("POST", "v1/user/register/phone",
            { { "phone", phone }, { "password", kPassword }, { "sms_code", "000000" } }, "")["errorCode"],
        1007);
    EXPECT_EQ(profile(registerAccount("13912340102", true)).value("id", std::int64_t(0)), id + 1);
}

TEST_F(StateKeptTest, TokensAreKeptAsTheyWereLeft)
{
    ASSERT_EQ(start(), "");
    const std::string kept = registerAccount("13912340111", true);
    const std::string ended = registerAccount("13912340112", true);
    ASSERT_EQ(call("GET", "v1/user/refresh_token", nlohmann::json::object(), kSampleToken)["data"].value(
                  "refresh_token", ""),
        kSampleRefreshedToken);
    ASSERT_EQ(call("POST", "v1/user/change/password",
                  { { "password", "pass-2" }, { "repassword", "pass-2" } }, ended)["errorCode"],
        0);

    ASSERT_EQ(start(), "");
    struct Case {
        const char* what;
        std::string token;
        int errorCode;
    };
    const Case cases[] = {
        { "the sample's first", kSampleToken, 0 },
        { "the sample's refreshed one, once handed out", kSampleRefreshedToken, 0 },
        { "a registration's", kept, 0 },
        { "one a new password ended", ended, 2000 },
        { "one never handed out", "tk-301878-0000000000000000", 2000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(call("GET", "v1/user/info", nlohmann::json::object(), c.token)["errorCode"], c.errorCode);
        EXPECT_EQ(roomUser(c.token)["errorCode"], c.errorCode);
    }
}

TEST_F(StateKeptTest, ARecalledSeqIsNeverHandedOutAgain)
{
    ASSERT_EQ(start(), "");
    nlohmann::json first = send(kSampleToken, "第一条");
    nlohmann::json second = send(kSampleToken, "第二条");
    const std::int64_t recalled = second["data"]["seq"];
    ASSERT_EQ(
        call("POST", "v1/room/revokemsg",
            { { "room_id", 1 }, { "seqs", nlohmann::json::array({ recalled }) } }, kSampleToken)["errorCode"],
        0);

    ASSERT_EQ(start(), "");
    EXPECT_TRUE(inHistory(first["data"]["seq"]));
    EXPECT_FALSE(inHistory(recalled));
    EXPECT_EQ(send(kSampleToken, "第三条")["data"]["seq"], recalled + 1);
    // The room's own pushes number on as well.
    EXPECT_EQ(chat->push(1), recalled + 2);
}

TEST_F(StateKeptTest, MutesAndBansAreKeptWithTheirEnds)
{
    ASSERT_EQ(start(), "");
    const std::string muted = registerAccount("13912340121", true);
    const std::string banned = registerAccount("13912340122", true);
    const std::string lifted = registerAccount("13912340123", true);
    auto idOf = [&](const std::string& token) { return profile(token).value("id", std::int64_t(0)); };
    ASSERT_EQ(blockUser(kSampleToken, idOf(muted), 1, 600)["errorCode"], 0);
    ASSERT_EQ(blockUser(kSampleToken, idOf(banned), 1, -1)["errorCode"], 0);
    ASSERT_EQ(blockUser(kSampleToken, idOf(lifted), 1, 600)["errorCode"], 0);
    ASSERT_EQ(blockUser(kSampleToken, idOf(lifted), 2, 0)["errorCode"], 0);

    ASSERT_EQ(start(), "");
    nlohmann::json mute = roomUser(muted)["data"];
    EXPECT_EQ(mute["is_block"], 1);
    EXPECT_LE(mute["block_remain_time"].get<std::int64_t>(), 600);
    EXPECT_GT(mute["block_remain_time"].get<std::int64_t>(), 590);
    EXPECT_EQ(send(muted, "还能说话吗")["errorCode"], 3001);
    nlohmann::json ban = roomUser(banned)["data"];
    EXPECT_EQ(ban["is_block"], 1);
    EXPECT_EQ(ban["block_remain_time"], -1);
    EXPECT_EQ(roomUser(lifted)["data"]["is_block"], 0);
    EXPECT_EQ(send(lifted, "我可以")["errorCode"], 0);
    // The sample account keeps its place of the room's data: it may still restrict.
    EXPECT_EQ(roomUser(kSampleToken)["data"]["member_type"], 1);
}

TEST_F(StateKeptTest, NamesAndPicturesAreKeptAndTheRoomUsesThemOnNewPorts)
{
    ASSERT_EQ(start(), "");
    const std::string token = registerAccount("13912340131", true);
    nlohmann::json sent = send(token, "换个名字");
    ASSERT_EQ(sent["errorCode"], 0);
    for (auto [who, name] : { std::pair { token, "新名字" }, { kSampleToken, "小鱼改名" } }) {
        ASSERT_EQ(call("POST", "v1/user/change/nickname", { { "new_nickname", name } }, who)["errorCode"], 0);
    }
    nlohmann::json picture = uploadAvatar(token, "-kept-picture-");
    ASSERT_EQ(picture["errorCode"], 0) << picture.dump();
    const std::string url = picture["data"].value("url", "");
    const std::string upload = "uploads/" + url.substr(url.rfind('/') + 1);

    ASSERT_EQ(startOnOtherPorts(), "");
    // The picture's address leads to this server, which still has its bytes.
    const std::string origin = "https://127.0.0.1:" + std::to_string(server->httpsPort()) + "/";
    nlohmann::json account = profile(token);
    EXPECT_EQ(account.value("nickname", ""), "新名字");
    EXPECT_EQ(account.value("avatar", ""), origin + upload);
    EXPECT_EQ(exchange(requestHead("GET", "/" + upload, "")), samplePicture("cover.png") + "-kept-picture-");
    // The sample account's picture of the data leads here too.
    nlohmann::json sampleAccount = profile(kSampleToken);
    EXPECT_EQ(sampleAccount.value("nickname", ""), "小鱼改名");
    EXPECT_EQ(sampleAccount.value("avatar", ""), origin + "images/avatar-301877.png");

    // The room names both by what they are now, in the kept message and in a new one.
    std::optional<Message> kept = inHistory(sent["data"]["seq"]);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->sender().nickname(), "新名字");
    EXPECT_EQ(kept->sender().avatar_url(), origin + upload);
    ASSERT_EQ(send(kSampleToken, "我改名了")["errorCode"], 0);
    Sender sample = chat->history(1).back().sender();
    EXPECT_EQ(sample.nickname(), "小鱼改名");
    EXPECT_EQ(sample.avatar_url(), origin + "images/avatar-301877.png");
}

TEST_F(StateKeptTest, WhatWasTypedReadsBackAsTypedAndOnlyTheServersOwnPicturesFollowItsPorts)
{
    ASSERT_EQ(start(), "");
    const std::string placeholder = "http://127.0.0.1:0/", own = server->httpURL() + "/";
    const std::string email = placeholder + "a@b.cc", userName = own + "名字";
    const std::string token = registerAccount(email, false);
    ASSERT_EQ(
        call("POST", "v1/user/change/username", { { "new_username", userName } }, token)["errorCode"], 0);
    // Each sent and quoted; true: the picture of the room's upload (as it answers), on the new ports.
    const std::tuple<int, std::string, bool> cases[] = {
        { MT_TEXT, placeholder + std::string(1000 - placeholder.size(), 'a'), false },
        { MT_IMAGE, placeholder + std::string(1024 - placeholder.size(), 'b'), false },
        { MT_TEXT, own + "看这里", false },
        { MT_IMAGE, server->httpsURL() + "/images/cover.png", true },
    };
    std::vector<std::int64_t> quotes;
    for (const auto& [type, content, servers] : cases) {
        nlohmann::json sent = call("POST", "v1/room/sendmsg",
            { { "receiver_id", 1 }, { "type", type }, { "content", content } }, token);
        nlohmann::json quote = call("POST", "v1/room/sendmsg",
            { { "receiver_id", 1 }, { "type", MT_TEXT }, { "content", "引用" },
                { "link_seq", sent["data"]["seq"] } },
            token);
        ASSERT_EQ(sent["msg"], "发送成功");
        quotes.push_back(quote["data"]["seq"]);
    }
    ASSERT_EQ(startOnOtherPorts(), "");
    for (std::size_t i = 0; i < quotes.size(); ++i) {
        const auto& [type, content, servers] = cases[i];
        const std::string expected = servers ? server->httpsURL() + "/images/cover.png" : content;
        std::optional<Message> message = inHistory(quotes[i] - 1), quote = inHistory(quotes[i]);
        ASSERT_TRUE(message && quote) << i;
        EXPECT_EQ(message->message_content(), expected) << i;
        EXPECT_EQ(quote->link_message().message_content(), expected) << i;
    }
    for (const std::string& name : { userName, email })
        EXPECT_FALSE(login(name, kPassword).empty()) << name;
}

// It kept every text that began with its origin on port 0: of those, its pictures follow the ports.
TEST_F(StateKeptTest, AnEarlierServersRoomsStartWithTheirPicturesOnTheNewPorts)
{
    const std::string typed = "http://127.0.0.1:0/" + std::string(981, 'a');
    const std::string picture
        = R"("message_type": "MT_IMAGE", "message_content": "https://127.0.0.1:0/images/cover.png")";
    writeState(R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9, "messages": [
        {"seq": 8, "message_type": "MT_TEXT", "message_content": ")"
        + typed + R"("}, {"seq": 9, )" + picture + R"(, "link_message": {)" + picture + R"(},
         "sender": {"sender_id": 100388, "avatar_url": "https://127.0.0.1:0/images/cover-40217.png"}}]}]})");
    ASSERT_EQ(start(), "");
    const std::string images = server->httpsURL() + "/images/";
    std::vector<Message> kept = chat->history(1);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].message_content(), typed);
    EXPECT_EQ(std::tuple(kept[1].message_content(), kept[1].sender().avatar_url(),
                  kept[1].link_message().message_content()),
        std::tuple(images + "cover.png", images + "cover-40217.png", images + "cover.png"));
}

TEST_F(StateKeptTest, AResetOfTheRoomsGoesBackToTheDataForTheNextStartToo)
{
    ASSERT_EQ(start(), "");
    const std::int64_t sampleNewest = chat->maxSeq(1);
    ASSERT_EQ(send(kSampleToken, "很快就没了")["errorCode"], 0);
    chat->reset();

    ASSERT_EQ(start(), "");
    EXPECT_EQ(chat->maxSeq(1), sampleNewest);
    EXPECT_NE(chat->history(1).back().message_content(), "很快就没了");
}

TEST_F(StateKeptTest, TheFileKeepsTheNewestMessagesOfARoomAndItsNewestSeq)
{
    // A copy of the sample data whose room 1 has more messages than a file keeps.
    zvtest::TempDir copy;
    std::filesystem::copy(
        zvtest::SampleServer::dataDir(), copy.path(), std::filesystem::copy_options::recursive);
    std::filesystem::path roomsFile = copy / "api/chat_room.json";
    nlohmann::json rooms = nlohmann::json::parse(std::ifstream(roomsFile));
    nlohmann::json& messages = rooms["rooms"][0]["messages"];
    const nlohmann::json model = messages[0];
    const std::size_t many = ChatRoom::maxKeptMessages + 50;
    messages = nlohmann::json::array();
    for (std::size_t i = 1; i <= many; ++i) {
        nlohmann::json message = model;
        message["seq"] = i;
        message["message_content"] = "第" + std::to_string(i) + "条";
        messages.push_back(std::move(message));
    }
    std::ofstream(roomsFile) << rooms.dump();

    ASSERT_EQ(start(copy.path()), "");
    const std::int64_t newest = chat->push(1, std::string("最新"), 100388);
    ASSERT_EQ(newest, std::int64_t(many + 1));

    ASSERT_EQ(start(copy.path()), "");
    std::vector<Message> kept = chat->history(1);
    // As many as the README promises, whatever the constant says.
    const std::size_t promised = 1000;
    ASSERT_EQ(kept.size(), promised);
    EXPECT_EQ(kept.front().seq(), newest - std::int64_t(promised) + 1);
    EXPECT_EQ(kept.back().message_content(), "最新");
    EXPECT_EQ(chat->maxSeq(1), newest);
}

TEST_F(StateKeptTest, AKeptNewestSeqBelowTheDatasGivesWayToIt)
{
    std::filesystem::create_directories(state.path());
    std::ofstream(state / "chat_rooms.json")
        << R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 5, "messages": []}]})";
    ASSERT_EQ(start(), "");
    // The sample data's newest seq of room 1 was handed out already; the kept messages replace them.
    EXPECT_EQ(chat->maxSeq(1), 4387);
    EXPECT_TRUE(chat->history(1).empty());
    EXPECT_EQ(send(kSampleToken, "接着编号")["data"]["seq"], 4388);
}

TEST_F(StateKeptTest, ADamagedFileStopsTheStartByNameAndIsLeftAsItWas)
{
    const std::string validBook = R"({"next_id": 301878, "upload_serial": 1, "accounts": [], "tokens": {},)";
    // A book of one account (id 3) as the server writes it, changed by `edit`.
    auto bookOf = [](const std::function<void(nlohmann::json& book, nlohmann::json& account)>& edit) {
        nlohmann::json account = { { "id", 3 }, { "username", "zv3" },
            { "password_hash", PasswordHash::make("pass-1", 1)->toJSON() }, { "phone", "" }, { "email", "" },
            { "profile", { { "id", 3 } } }, { "tokens", { "tk-3-a" } } };
        nlohmann::json book = { { "next_id", 9 }, { "upload_serial", 0 }, { "uploads", nlohmann::json::array() } };
        edit(book, account);
        book["accounts"].push_back(std::move(account));
        return book.dump();
    };
    const std::int64_t pastExact = StateFolder::maxExactInteger + 1;
    nlohmann::json restrictions = nlohmann::json::array();
    for (std::int64_t id = 1; id <= 10001; ++id)
        restrictions.push_back({ { "user_id", id }, { "ends_ms", nullptr } });
    const std::string manyRestrictions
        = nlohmann::json { { "rooms", nlohmann::json::array() }, { "restrictions", restrictions } }.dump();
    struct Case {
        const char* what;
        std::string file, bytes, named, problem; // `named`: the file the error names; none: it starts
    };
    const Case cases[] = {
        { "accounts cut short", "accounts.json", R"({"next_id": 30)", "accounts.json", "not JSON" },
        { "accounts not an object", "accounts.json", "[]", "accounts.json", "not a JSON object" },
        { "an account without a password", "accounts.json",
            R"({"next_id": 9, "upload_serial": 0, "tokens": {}, "uploads": [],
                "accounts": [{"id": 3, "username": "a", "phone": "", "email": "", "profile": {}}]})",
            "accounts.json", "account 3" },
        { "a token of nobody", "accounts.json", validBook + R"("uploads": [], "tokens": {"tk": 5}})",
            "accounts.json", "damaged" },
        { "an upload that is not there", "accounts.json",
            validBook + R"("uploads": [{"name": "avatar-3-1.png", "content_type": "image/png"}]})",
            "uploads/avatar-3-1.png", "missing" },
        { "an upload outside its folder", "accounts.json",
            validBook + R"("uploads": [{"name": "../accounts.json", "content_type": "image/png"}]})",
            "accounts.json", "damaged" },
        { "next_id past what every reader keeps exact", "accounts.json",
            bookOf([&](nlohmann::json& book, nlohmann::json&) { book["next_id"] = pastExact; }), "accounts.json",
            "next_id is not a whole number from 1 to 9007199254740991" },
        { "an id past it", "accounts.json",
            bookOf([&](nlohmann::json&, nlohmann::json& account) { account["id"] = pastExact; }), "accounts.json",
            "id is not a whole number from 1" },
        { "next_id not above every id", "accounts.json",
            bookOf([](nlohmann::json& book, nlohmann::json&) { book["next_id"] = 3; }), "accounts.json",
            "account 3 is not below next_id" },
        { "more accounts than a book keeps", "accounts.json",
            bookOf([](nlohmann::json& book, nlohmann::json& account) {
                book["next_id"] = maxAccounts + 10;
                for (std::size_t id = 10; id < maxAccounts + 10; ++id) {
                    nlohmann::json another = account;
                    another["id"] = id;
                    book["accounts"].push_back(std::move(another));
                }
            }),
            "accounts.json", "more than 2000 accounts" },
        { "a token of two accounts", "accounts.json",
            bookOf([](nlohmann::json& book, nlohmann::json& account) {
                nlohmann::json another = account;
                another["id"] = 4;
                book["accounts"].push_back(std::move(another));
            }),
            "accounts.json", "tk-3-a is there twice" },
        { "more uploads than are kept", "accounts.json",
            bookOf([](nlohmann::json& book, nlohmann::json&) {
                for (std::size_t i = 0; i <= maxUploads; ++i)
                    book["uploads"].push_back(
                        { { "name", "avatar-3-" + std::to_string(i) + ".png" }, { "content_type", "image/png" } });
            }),
            "accounts.json", "more than 64 uploads" },
        { "rooms cut short", "chat_rooms.json", R"({"rooms": [)", "chat_rooms.json", "not JSON" },
        { "seqs out of order", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9, "messages": [{"seq": "5"}, {"seq": "4"}]}]})",
            "chat_rooms.json", "room 1" },
        { "a message above the newest seq", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 3, "messages": [{"seq": "5"}]}]})",
            "chat_rooms.json", "room 1" },
        { "a restriction without an end", "chat_rooms.json",
            R"({"rooms": [], "restrictions": [{"user_id": 5}]})", "chat_rooms.json", "restriction" },
        { "a max_seq past 2^53 - 1", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9007199254740992, "messages": []}]})",
            "chat_rooms.json", "max_seq of room 1 is past 9007199254740991" },
        { "a max_seq past 2^64 - 1", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 18446744073709551615, "messages": []}]})",
            "chat_rooms.json", "max_seq of room 1 is past 9007199254740991" },
        { "a restriction of 2^64 - 1", "chat_rooms.json",
            R"({"rooms": [], "restrictions": [{"user_id": 18446744073709551615, "ends_ms": null}]})",
            "chat_rooms.json", "user_id of a restriction is not a whole number from 1 to 9007199254740991" },
        { "a restriction of an id past every account", "chat_rooms.json",
            R"({"rooms": [], "restrictions": [{"user_id": 9007199254740992, "ends_ms": null}]})",
            "chat_rooms.json", "user_id of a restriction is not a whole number from 1 to 9007199254740991" },
        { "a message past what a room keeps", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9, "messages": [{"seq": "9", "message_content": ")"
                + std::string(30000, 'a') + R"("}]}]})",
            "chat_rooms.json", "the message 9 of room 1 is not one the room takes: it is larger than 20480 bytes" },
        { "a text longer than a room takes", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9, "messages": [{"seq": "9", "message_type": "MT_TEXT", "message_content": ")"
                + std::string(1001, 'a') + R"("}]}]})",
            "chat_rooms.json", "the message 9 of room 1 is not one the room takes: its text is longer than 1000 characters" },
        { "the longest text a room takes", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9, "messages": [{"seq": "9", "message_type": "MT_TEXT", "message_content": ")"
                + std::string(1000, 'a') + R"("}]}]})",
            "", "" },
        { "the longest image address a room takes", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9, "messages": [{"seq": "9", "message_type": "MT_IMAGE", "message_content": ")"
                + std::string(1024, 'a') + R"("}]}]})",
            "", "" },
        { "an image address longer than a room takes", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9, "messages": [{"seq": "9", "message_type": "MT_IMAGE", "message_content": ")"
                + std::string(1025, 'a') + R"("}]}]})",
            "chat_rooms.json", "its image address is longer than 1024 bytes" },
        { "more mentions than a room takes", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9, "messages": [{"seq": "9", "message_type": "MT_TEXT", "message_content": "@", "to_user_ids": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21]}]}]})",
            "chat_rooms.json", "it mentions more than 20 members" },
        { "a mention of no account", "chat_rooms.json",
            R"({"restrictions": [], "rooms": [{"room_id": 1, "max_seq": 9, "messages": [{"seq": "9", "message_type": "MT_TEXT", "message_content": "@", "to_user_ids": ["-1"]}]}]})",
            "chat_rooms.json", "it mentions a user id outside 1 to 9007199254740991" },
        { "a mute ending past what the clock counts", "chat_rooms.json",
            R"({"rooms": [], "restrictions": [{"user_id": 5, "ends_ms": 99999999999999}]})",
            "chat_rooms.json", "end of the restriction of 5" },
        { "a mute ending at 2^63 - 1 ms", "chat_rooms.json",
            R"({"rooms": [], "restrictions": [{"user_id": 5, "ends_ms": 9223372036854775807}]})",
            "chat_rooms.json", "end of the restriction of 5" },
        { "a mute ending past 2^64 - 1 ms", "chat_rooms.json",
            R"({"rooms": [], "restrictions": [{"user_id": 5, "ends_ms": 18446744073709551615}]})",
            "chat_rooms.json", "end of the restriction of 5" },
        { "more restrictions than a room holds", "chat_rooms.json", manyRestrictions, "chat_rooms.json",
            "more than 10000 restrictions" },
        { "steps played that are no list", "chat_rooms.json",
            R"({"rooms": [], "restrictions": [], "script_played": 1})", "chat_rooms.json", "script_played" },
        { "a step played that is no number", "chat_rooms.json",
            R"({"rooms": [], "restrictions": [], "script_played": [0, "1"]})", "chat_rooms.json",
            "script_played" },
        { "lists cut short", "lists/301877.json", R"({"records": [)", "lists/301877.json", "not JSON" },
        { "lists not an object", "lists/301877.json", "[]", "lists/301877.json", "not a JSON object" },
        { "records not a list", "lists/301877.json", R"({"records": 3, "favourites": []})",
            "lists/301877.json", "records and favourites" },
        { "a favourite without a title", "lists/301877.json",
            R"({"records": [], "favourites": [{"id": "7001"}]})", "lists/301877.json", "no movie_id" },
        { "a record whose id is no number", "lists/301877.json",
            R"({"records": [{"id": "x1", "movie_id": "40217", "episode_id": "2170003"}], "favourites": []})",
            "lists/301877.json", "not decimal" },
        { "an id with no id after it that every reader keeps exact", "lists/301877.json",
            R"({"records": [], "favourites": [{"id": "9007199254740991", "movie_id": "40311"}]})",
            "lists/301877.json", "the id 9007199254740991 is not a whole number from 0 to 9007199254740990" },
        { "an id of 18 nines", "lists/301877.json",
            R"({"records": [{"id": "999999999999999999", "movie_id": "40217", "episode_id": "2170003"}], "favourites": []})",
            "lists/301877.json", "the id 999999999999999999 is not a whole number from 0 to 9007199254740990" },
        { "an id of 2^64 - 1 as a number", "lists/301877.json",
            R"({"records": [], "favourites": [{"id": 18446744073709551615, "movie_id": "40311"}]})",
            "lists/301877.json", "the id 18446744073709551615 is not a whole number from 0 to 9007199254740990" },
        { "a record before its start", "lists/301877.json",
            R"({"records": [{"id": "1", "movie_id": "40217", "episode_id": "2170003", "current_time": -4}], "favourites": []})",
            "lists/301877.json", "current_time" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(state.path());
        std::filesystem::create_directories((state / c.file).parent_path());
        std::ofstream(state / c.file, std::ios::binary) << c.bytes;
        std::string error = start();
        if (c.named.empty()) {
            EXPECT_EQ(error, "");
        } else {
            EXPECT_NE(error.find((state / c.named).string()), std::string::npos) << error;
            EXPECT_NE(error.find(c.problem), std::string::npos) << error;
        }
        EXPECT_EQ(bool(chat), c.named.empty());
        std::ifstream kept(state / c.file, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), c.bytes);
    }
}
