#pragma once

// A test server with the sample API and the chat rooms that keeps its state in a folder of the
// test, started again on it at will: for the suites of what the rooms keep and bound.

#include "tests/support/TempDir.h"
#include "tests/tools/testserver/RoomClient.h"
#include "tests/tools/testserver/SampleServer.h"
#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/StateFolder.h"

#include <fstream>
#include <gtest/gtest.h>

namespace zvtest {

class KeptRoomsTest : public ::testing::Test, protected RoomClient {
protected:
    void TearDown() override { stop(); }

    // Started on the test's folder (none when `kept` is false); empty, or why it did not start.
    std::string start(bool kept = true, const std::filesystem::path& data = SampleServer::dataDir())
    {
        stop();
        std::string error;
        std::shared_ptr<testserver::StateFolder> folder
            = kept ? testserver::StateFolder::open(state.path(), &error) : nullptr;
        if (kept && !folder)
            return error;
        SampleServer started = SampleServer::start(data, testserver::SamplePreparation::AtFirstUse, folder);
        if (!started.api)
            return started.error;
        server = std::move(started.server);
        api = std::move(started.api);
        chat = testserver::ChatRoom::install(*server, *api, data, &error);
        // As the program's start: the folder changes only once every state file is read.
        if (chat && folder && !folder->take(&error))
            chat.reset();
        return chat ? std::string() : error;
    }

    void stop()
    {
        chat.reset();
        api.reset();
        if (server)
            server->stop();
        server.reset();
    }

    void writeState(const std::string& text)
    {
        std::filesystem::create_directories(state.path());
        std::ofstream(state / "chat_rooms.json", std::ios::binary) << text;
    }

    // Room 1's messages by seq and text.
    std::vector<std::pair<std::int64_t, std::string>> contents()
    {
        std::vector<std::pair<std::int64_t, std::string>> all;
        for (const Message& message : chat->history(1))
            all.emplace_back(message.seq(), message.message_content());
        return all;
    }

    // The seq of the socket's next frame when it is a new message, else -1.
    static std::int64_t pushedSeq(Socket& socket)
    {
        std::optional<Output> frame = socket.read();
        MessageOutput pushed;
        if (!frame || frame->type() != PT_MESSAGE || !pushed.ParseFromString(frame->data()))
            return -1;
        return pushed.message().seq();
    }

    TempDir state;
};

}
