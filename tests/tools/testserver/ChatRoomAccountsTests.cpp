// Who may sign in to the test server's chat rooms: every account the server holds (registered,
// signed in by login, refreshed), answered as itself on the room's API and its socket, besides the
// sample account with its place in the room's data; a token nobody holds is refused.

#include "tests/tools/testserver/SampleServer.h"
#include "tests/tools/testserver/SignedForm.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/SampleAccounts.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/TestServer.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace testserver;
namespace asio = boost::asio;
namespace websocket = boost::beast::websocket;

namespace {

class ChatRoomAccountsTest : public ::testing::Test {
protected:
    static constexpr const char* kSampleToken = "tk-301877-first";
    static constexpr const char* kSampleRefreshedToken = "tk-301877-second";
    static constexpr std::int64_t kSampleID = 301877;
    static constexpr const char* kPassword = "pass-1";

    void SetUp() override
    {
        zvtest::SampleServer started = zvtest::SampleServer::start();
        ASSERT_TRUE(started.api) << started.error;
        server = std::move(started.server);
        api = std::move(started.api);
        std::string error;
        chat = ChatRoom::install(*server, *api, zvtest::SampleServer::dataDir(), &error);
        ASSERT_TRUE(chat) << error;
    }

    // One raw HTTP exchange; the body of the reply.
    std::string exchange(const std::string& head, const std::string& body = "")
    {
        asio::io_context io;
        asio::ip::tcp::socket socket(io);
        socket.connect({ asio::ip::address_v4::loopback(), server->httpPort() });
        asio::write(socket, asio::buffer(head + "\r\n" + body));
        std::string reply;
        boost::system::error_code ec;
        asio::read(socket, asio::dynamic_buffer(reply), ec);
        std::size_t end = reply.find("\r\n\r\n");
        return end == std::string::npos ? "" : reply.substr(end + 4);
    }

    static std::string requestHead(
        const std::string& method, const std::string& target, const std::string& token)
    {
        std::string head = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
        if (!token.empty())
            head += "Authorization: Bearer " + token + "\r\n";
        return head;
    }

    // The reply envelope of an API call made as the app makes it, signed in by the token if any.
    nlohmann::json call(const std::string& method, const std::string& path, nlohmann::json parameters,
        const std::string& token)
    {
        parameters["timestamp"] = std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
            std::chrono::system_clock::now().time_since_epoch())
                                                     .count());
        std::string pack = apicrypto::base64Encode(*api->key().encrypt(parameters.dump()));
        std::string fields = zvtest::signedForm(pack);
        std::string reply;
        if (method == "GET") {
            reply = exchange(requestHead("GET", "/api/" + path + "?" + fields, token));
        } else {
            reply = exchange(requestHead("POST", "/api/" + path, token)
                    + "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: "
                    + std::to_string(fields.size()) + "\r\n",
                fields);
        }
        return nlohmann::json::parse(reply, nullptr, false);
    }

    std::string captcha()
    {
        return exchange(requestHead("POST", "/captcha/ticket", "") + "Content-Length: 0\r\n");
    }

    // Registers by phone number or e-mail address with the code the server sent; the token.
    std::string registerAccount(const std::string& to, bool byPhone)
    {
        call("GET", "v1/user/get_code",
            { { "to", to }, { "send_type", byPhone ? "phone" : "email" }, { "captcha", captcha() } }, "");
        std::string code = SampleAccounts::of(*api)->lastCode(to).value_or("");
        nlohmann::json reply = call("POST", byPhone ? "v1/user/register/phone" : "v1/user/register/email",
            { { byPhone ? "phone" : "email", to }, { "password", kPassword },
                { byPhone ? "sms_code" : "email_code", code } },
            "");
        return reply["data"].value("access_token", "");
    }

    std::string login(const std::string& name, const std::string& password)
    {
        nlohmann::json reply = call("POST", "v1/user/login",
            { { "username", name }, { "password", password }, { "captcha", captcha() } }, "");
        return reply["data"].value("access_token", "");
    }

    nlohmann::json profile(const std::string& token)
    {
        return call("GET", "v1/user/info", {}, token)["data"];
    }

    nlohmann::json roomUser(const std::string& token)
    {
        return call("GET", "v1/room/user", { { "room_id", 1 } }, token);
    }

    nlohmann::json send(const std::string& token, const std::string& text)
    {
        return call("POST", "v1/room/sendmsg",
            { { "sender_type", 2 }, { "receiver_type", 2 }, { "receiver_id", 1 }, { "type", 1 },
                { "content", text } },
            token);
    }

    nlohmann::json mute(const std::string& token, std::int64_t who)
    {
        return call("POST", "v1/room/blockuser",
            { { "room_id", 1 }, { "user_ids", nlohmann::json::array({ who }) }, { "type", 1 },
                { "time", 60 } },
            token);
    }

    // A connection to the room's socket over plain ws.
    struct Socket {
        asio::io_context io;
        websocket::stream<asio::ip::tcp::socket> stream { io };

        explicit Socket(std::uint16_t port, const std::string& path)
        {
            stream.next_layer().connect({ asio::ip::address_v4::loopback(), port });
            stream.handshake("127.0.0.1", path);
            stream.binary(true);
        }

        // The next frame; none when the connection ends or, as a bound on a broken server,
        // nothing comes within 10 s.
        std::optional<Output> read()
        {
            boost::beast::flat_buffer buffer;
            std::optional<boost::system::error_code> result;
            stream.async_read(buffer, [&](boost::system::error_code ec, std::size_t) { result = ec; });
            io.restart();
            io.run_for(std::chrono::seconds(10));
            if (!result) {
                stream.next_layer().cancel();
                io.restart();
                io.run();
                return std::nullopt;
            }
            Output output;
            if (*result || !output.ParseFromString(boost::beast::buffers_to_string(buffer.data())))
                return std::nullopt;
            return output;
        }
    };

    // Signs in on a new connection with "Bearer " and the token; the code of the answer (1 is
    // success), -1 when none came.
    std::int64_t signIn(Socket& socket, const std::string& token, std::int64_t userID)
    {
        SignInInput payload;
        payload.set_device_id("device-1");
        payload.set_user_id(userID);
        payload.set_token("Bearer " + token);
        Input input;
        input.set_type(PT_SIGN_IN);
        input.set_request_id(7);
        input.set_data(payload.SerializeAsString());
        socket.stream.write(asio::buffer(input.SerializeAsString()));
        std::optional<Output> answer = socket.read();
        SignInOutput signedIn;
        if (!answer || answer->type() != PT_SIGN_IN || !signedIn.ParseFromString(answer->data()))
            return -1;
        EXPECT_EQ(answer->code(), signedIn.code());
        return signedIn.code();
    }

    std::unique_ptr<TestServer> server;
    std::unique_ptr<ApiServer> api;
    std::unique_ptr<ChatRoom> chat;
};

}

TEST_F(ChatRoomAccountsTest, EveryAccountsTokenIsAnsweredAsThatAccount)
{
    const std::string phone = "13912340001";
    const std::string byPhone = registerAccount(phone, true);
    const std::string byMail = registerAccount("viewer@mail.example", false);
    const std::string byLogin = login(phone, kPassword);
    const std::string refreshed
        = call("GET", "v1/user/refresh_token", nlohmann::json::object(), byMail)["data"].value(
            "refresh_token", "");
    struct Case {
        const char* how;
        std::string token;
    };
    const Case cases[] = { { "registered by phone", byPhone }, { "registered by e-mail", byMail },
        { "signed in by login", byLogin }, { "refreshed", refreshed } };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        ASSERT_FALSE(c.token.empty());
        nlohmann::json account = profile(c.token);
        std::int64_t id = account.value("id", std::int64_t(0));
        ASSERT_GT(id, 0);
        ASSERT_NE(id, kSampleID);

        // Its state in the room without naming itself: a plain member, free to speak.
        nlohmann::json state = roomUser(c.token);
        ASSERT_EQ(state["errorCode"], 0) << state.dump();
        EXPECT_EQ(state["data"]["member_type"], 0);
        EXPECT_EQ(state["data"]["is_block"], 0);

        // What it sends goes out under its id, nickname and picture, with no badge.
        nlohmann::json sent = send(c.token, std::string("hello, ") + c.how);
        ASSERT_EQ(sent["errorCode"], 0) << sent.dump();
        Message stored = chat->history(1).back();
        EXPECT_EQ(stored.seq(), sent["data"]["seq"]);
        EXPECT_EQ(stored.sender().sender_id(), id);
        EXPECT_EQ(stored.sender().nickname(), account["nickname"]);
        EXPECT_EQ(stored.sender().nickname(), "用户" + std::to_string(id));
        EXPECT_EQ(stored.sender().avatar_url(), account["avatar"]);
        EXPECT_EQ(stored.sender().member_type(), 0);
        EXPECT_EQ(stored.sender().rank_name(), "");

        // Its own message it may recall; moderating is for administrators.
        nlohmann::json recalled = call("POST", "v1/room/revokemsg",
            { { "room_id", 1 }, { "seqs", nlohmann::json::array({ stored.seq() }) } }, c.token);
        EXPECT_EQ(recalled["errorCode"], 0) << recalled.dump();
        EXPECT_EQ(mute(c.token, 100388)["errorCode"], 3002);

        // On the socket it signs in as itself: a restriction of its id reaches this connection,
        // and the room's API reports it.
        Socket socket(server->httpPort(), chat->path());
        EXPECT_EQ(signIn(socket, c.token, id), 1);
        chat->block(id, 1, 60);
        std::optional<Output> push = socket.read();
        ASSERT_TRUE(push);
        EXPECT_EQ(push->type(), PT_BLOCK_USER);
        BlockUserOutput block;
        ASSERT_TRUE(block.ParseFromString(push->data()));
        EXPECT_EQ(block.is_block(), 1);
        EXPECT_EQ(roomUser(c.token)["data"]["is_block"], 1);
        EXPECT_EQ(send(c.token, "muted")["errorCode"], 3001);
        chat->block(id, 0, 0);
    }
}

TEST_F(ChatRoomAccountsTest, ANewNicknameOrPictureShowsFromTheAccountsNextCall)
{
    const std::string token = registerAccount("13912340002", true);
    ASSERT_FALSE(token.empty());
    ASSERT_EQ(
        call("POST", "v1/user/change/nickname", { { "new_nickname", "夜航船二号" } }, token)["errorCode"], 0);
    std::string body
        = "--B\r\nContent-Disposition: form-data; name=\"avatar_file\"; filename=\"image.png\"\r\n"
          "Content-Type: image/png\r\n\r\n\x89PNG\r\n\x1A\n-picture-\r\n--B--\r\n";
    nlohmann::json uploaded
        = nlohmann::json::parse(exchange(requestHead("POST", "/api/v1/user/change/avatar", token)
                                        + "Content-Type: multipart/form-data; boundary=B\r\nContent-Length: "
                                        + std::to_string(body.size()) + "\r\n",
                                    body),
            nullptr, false);
    ASSERT_EQ(uploaded["errorCode"], 0) << uploaded.dump();

    ASSERT_EQ(send(token, "new look")["errorCode"], 0);
    EXPECT_EQ(chat->history(1).back().sender().nickname(), "夜航船二号");
    EXPECT_EQ(chat->history(1).back().sender().avatar_url(), uploaded["data"]["url"]);
}

TEST_F(ChatRoomAccountsTest, ATokenNobodyHoldsIsRefusedEverywhere)
{
    const std::string held = registerAccount("13912340003", true);
    ASSERT_FALSE(held.empty());
    std::int64_t heldID = profile(held).value("id", std::int64_t(0));
    // A new password ends every sign-in of the account.
    const std::string ended = registerAccount("13912340004", true);
    std::int64_t endedID = profile(ended).value("id", std::int64_t(0));
    ASSERT_EQ(call("POST", "v1/user/change/password",
                  { { "password", "pass-2" }, { "repassword", "pass-2" } }, ended)["errorCode"],
        0);
    struct Case {
        const char* what;
        std::string token;
        std::int64_t userID;
    };
    const Case cases[] = {
        { "unknown", "tk-unknown", 0 },
        { "none", "", 0 },
        { "ended by a new password", ended, endedID },
        { "the sample's with another letter", "tk-301877-firsT", kSampleID },
    };
    const std::size_t messages = chat->history(1).size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(roomUser(c.token)["errorCode"], 2000);
        EXPECT_EQ(send(c.token, "anyone there?")["errorCode"], 2000);
        EXPECT_EQ(
            call("POST", "v1/room/revokemsg",
                { { "room_id", 1 }, { "seqs", nlohmann::json::array({ 4387 }) } }, c.token)["errorCode"],
            2000);
        EXPECT_EQ(mute(c.token, 100388)["errorCode"], 2000);
        Socket socket(server->httpPort(), chat->path());
        EXPECT_EQ(signIn(socket, c.token, c.userID), 0);
    }
    EXPECT_EQ(chat->history(1).size(), messages);

    // A held token signs in as its own account only.
    Socket socket(server->httpPort(), chat->path());
    EXPECT_EQ(signIn(socket, held, kSampleID), 0);
    Socket own(server->httpPort(), chat->path());
    EXPECT_EQ(signIn(own, held, heldID), 1);
}

TEST_F(ChatRoomAccountsTest, TheSampleAccountKeepsItsPlaceInTheRoomsData)
{
    // Its name changed through the API, the room still knows it by its entry there.
    ASSERT_EQ(call("POST", "v1/user/change/nickname", { { "new_nickname", "别的名字" } },
                  kSampleToken)["errorCode"],
        0);
    for (const std::string& token : { std::string(kSampleToken), std::string(kSampleRefreshedToken),
             login("xiaoyu2023", "rain-over-2023") }) {
        SCOPED_TRACE(token);
        EXPECT_EQ(roomUser(token)["data"]["member_type"], 1);
        ASSERT_EQ(send(token, "各位好")["errorCode"], 0);
        Sender sender = chat->history(1).back().sender();
        EXPECT_EQ(sender.sender_id(), kSampleID);
        EXPECT_EQ(sender.nickname(), "听雨的小鱼");
        EXPECT_EQ(sender.rank_name(), "影迷");
        EXPECT_EQ(sender.member_type(), 1);
        EXPECT_EQ(mute(token, 100388)["errorCode"], 0);
        Socket socket(server->httpPort(), chat->path());
        EXPECT_EQ(signIn(socket, token, kSampleID), 1);
    }
}
