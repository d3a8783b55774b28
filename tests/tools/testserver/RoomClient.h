#pragma once

// The calls of a client of the test server's accounts and chat rooms, made as the app makes them:
// signed API calls, a captcha ticket, registration with the code the server sent, the room's
// socket. For the suites that check what the accounts and rooms answer.

#include "tests/support/TempDir.h"
#include "tests/tools/testserver/SignedForm.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/SampleAccounts.h"
#include "tools/testserver/TestServer.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace zvtest {

class RoomClient {
protected:
    static constexpr const char* kSampleToken = "tk-301877-first";
    static constexpr const char* kSampleRefreshedToken = "tk-301877-second";
    static constexpr std::int64_t kSampleID = 301877;
    static constexpr const char* kPassword = "pass-1";

    // One raw HTTP exchange; the body of the reply.
    std::string exchange(const std::string& head, const std::string& body = "")
    {
        boost::asio::io_context io;
        boost::asio::ip::tcp::socket socket(io);
        socket.connect({ boost::asio::ip::address_v4::loopback(), server->httpPort() });
        boost::asio::write(socket, boost::asio::buffer(head + "\r\n" + body));
        std::string reply;
        boost::system::error_code ec;
        boost::asio::read(socket, boost::asio::dynamic_buffer(reply), ec);
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
        std::string pack = testserver::apicrypto::base64Encode(*api->key().encrypt(parameters.dump()));
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
        std::string code = testserver::SampleAccounts::of(*api)->lastCode(to).value_or("");
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
        // A refusal has no data.
        return reply["data"].is_object() ? reply["data"].value("access_token", "") : "";
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

    // A restriction by type (1 restricts for `time` seconds, -1 a ban; 2 lifts) of one member.
    nlohmann::json blockUser(const std::string& token, std::int64_t who, int type, std::int64_t time)
    {
        return call("POST", "v1/room/blockuser",
            { { "room_id", 1 }, { "user_ids", nlohmann::json::array({ who }) }, { "type", type },
                { "time", time } },
            token);
    }

    nlohmann::json mute(const std::string& token, std::int64_t who) { return blockUser(token, who, 1, 60); }

    // A picture of the sample data, whole: the server decodes what it takes.
    static std::string samplePicture(const std::string& name)
    {
        std::ifstream file(sourceDir() / "tools/testserver/data/images" / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    // A PNG as the account's new picture, the tail after its end making it differ from others;
    // the reply envelope.
    nlohmann::json uploadAvatar(const std::string& token, const std::string& tail = "-picture-")
    {
        return uploadPicture(token, "image/png", samplePicture("cover.png") + tail);
    }

    nlohmann::json uploadPicture(const std::string& token, const std::string& type, const std::string& bytes)
    {
        std::string body
            = "--B\r\nContent-Disposition: form-data; name=\"avatar_file\"; filename=\"image\"\r\n"
              "Content-Type: "
            + type + "\r\n\r\n" + bytes + "\r\n--B--\r\n";
        return nlohmann::json::parse(
            exchange(requestHead("POST", "/api/v1/user/change/avatar", token)
                    + "Content-Type: multipart/form-data; boundary=B\r\nContent-Length: "
                    + std::to_string(body.size()) + "\r\n",
                body),
            nullptr, false);
    }

    // A connection to the room's socket over plain ws.
    struct Socket {
        boost::asio::io_context io;
        boost::beast::websocket::stream<boost::asio::ip::tcp::socket> stream { io };

        explicit Socket(std::uint16_t port, const std::string& path)
        {
            stream.next_layer().connect({ boost::asio::ip::address_v4::loopback(), port });
            stream.handshake("127.0.0.1", path);
            stream.binary(true);
        }

        // Writes a request of the type with its payload; the next frame.
        std::optional<Output> ask(PackageType type, std::int64_t requestID, const std::string& payload)
        {
            Input input;
            input.set_type(type);
            input.set_request_id(requestID);
            input.set_data(payload);
            stream.write(boost::asio::buffer(input.SerializeAsString()));
            return read();
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
        std::optional<Output> answer = socket.ask(PT_SIGN_IN, 7, payload.SerializeAsString());
        SignInOutput signedIn;
        if (!answer || answer->type() != PT_SIGN_IN || !signedIn.ParseFromString(answer->data()))
            return -1;
        EXPECT_EQ(answer->code(), signedIn.code());
        return signedIn.code();
    }

    // Subscribes a signed-in connection to room 1; the code of the answer, -1 when none came.
    std::int64_t subscribe(Socket& socket)
    {
        SubscribeRoomInput payload;
        payload.set_device_id("device-1");
        payload.set_room_id(1);
        std::optional<Output> answer = socket.ask(PT_SUBSCRIBE_ROOM, 8, payload.SerializeAsString());
        return answer && answer->type() == PT_SUBSCRIBE_ROOM ? answer->code() : -1;
    }

    std::unique_ptr<testserver::TestServer> server;
    std::unique_ptr<testserver::ApiServer> api;
    std::unique_ptr<testserver::ChatRoom> chat;
};

}
