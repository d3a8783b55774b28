// The program's command line: a person who asks for help, or mistypes, is told what to give, and
// a state folder with a damaged file stops the program with the file's name.

#include "tests/support/TempDir.h"
#include "tests/tools/testserver/FolderSnapshot.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/StateFolder.h"

#include <array>
#include <boost/asio.hpp>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct ServerRun {
    int exitCode = -1;
    std::string output; // standard output
    std::string errors; // standard error
};

// Runs the program with the arguments (plain words, no quoting needed) and no standard input. A
// program that starts serving instead of ending is stopped after a while (exit code 124), so that
// a test expecting a refusal fails rather than waits for ever.
ServerRun runServer(const std::string& arguments)
{
    ServerRun run;
    for (bool errors : { false, true }) {
        std::string command = std::string("timeout 20 '") + ZV_TESTSERVER_PROGRAM + "' " + arguments + " </dev/null "
            + (errors ? "2>&1 >/dev/null" : "2>/dev/null");
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe)
            return run;
        std::array<char, 4096> buffer {};
        std::string& text = errors ? run.errors : run.output;
        while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
            text.append(buffer.data(), got);
        int status = ::pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

// The program over the sample data, keeping its state in the folder.
std::string serverWithState(const std::filesystem::path& state, const std::string& more = "")
{
    return "--keys '" + zvtest::testKeysDir().string() + "' --data '"
        + (zvtest::sourceDir() / "tools/testserver/data").string() + "' --state '" + state.string() + "' " + more;
}

TEST(TestServerCommandLine, HelpAndMistakesPrintTheUsage)
{
    for (const char* help : { "--help", "-h" }) {
        ServerRun run = runServer(help);
        EXPECT_EQ(run.exitCode, 0) << help;
        EXPECT_TRUE(run.errors.empty()) << run.errors;
        for (const char* option : { "--keys", "--data", "--state", "--media", "--http-port", "--https-port",
                 "--encrypt", "--encrypt-route", "--delay-route", "--fault-route" })
            EXPECT_NE(run.output.find(option), std::string::npos) << help << " " << option;
        for (const char* status : { "1 it could not start", "2 a wrong command line", "3 a port given",
                 "4 the state folder is in use" })
            EXPECT_NE(run.output.find(status), std::string::npos) << help << " " << status;
    }

    struct Case {
        const char* arguments;
        const char* problem;
    };
    const Case cases[] = {
        { "--keys build/keys --colour red", "unknown option --colour" },
        { "--keys build/keys --http-port eighty", "bad value for --http-port" },
        { "--keys", "--keys needs a value" },
        { "build/keys", "not an option: build/keys" },
        { "", "--keys is required" },
        { "--keys build/keys --encrypt body", "need --data" },
        { "--keys build/keys --state out/server", "--state needs --data" },
        { "--keys build/keys --fault-route v1/movie/detail=cut", "need --data" },
        { "--keys build/keys --data tools/testserver/data --fault-route v1/movie/detail=slow",
            "bad value for --fault-route" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        ServerRun run = runServer(c.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.output.empty()) << run.output;
        EXPECT_NE(run.errors.find(c.problem), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find("usage: zentavo-testserver"), std::string::npos) << run.errors;
    }
}

TEST(TestServerCommandLine, ADamagedStateFileStopsTheServerNamingTheFile)
{
    struct Case {
        const char* file;
        const char* bytes;
        const char* book = nullptr; // an accounts.json beside it
    };
    const Case cases[] = {
        { "accounts.json", "{\"next_id\": " },
        { "chat_rooms.json", "{\"rooms\": 1, \"restrictions\": []}" },
        { "uploads/avatar-3-1.png", "",
            R"({"next_id": 301878, "upload_serial": 1, "accounts": [],
                "uploads": [{"name": "avatar-3-1.png", "content_type": "image/png"}]})" },
        // A folder given by mistake, which holds nothing of the server's.
        { "README", "notes of someone else's\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        zvtest::TempDir state;
        std::filesystem::create_directories((state / c.file).parent_path());
        std::ofstream(state / c.file) << c.bytes;
        if (c.book)
            std::ofstream(state / "accounts.json") << c.book;
        ServerRun run = runServer(serverWithState(state.path()));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output.find("https"), std::string::npos) << run.output;
        EXPECT_NE(run.errors.find("zentavo-testserver: "), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find((state / c.file).string()), std::string::npos) << run.errors;
        std::ifstream kept(state / c.file, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), c.bytes);
    }
}

// What starts the server can tell a folder in use (another server runs on it: do not start a
// second) from ports in use (start again on others) and from a damaged file (show it).
TEST(TestServerCommandLine, AFolderOrAPortInUseIsToldApart)
{
    zvtest::TempDir state;
    {
        std::shared_ptr<testserver::StateFolder> held = testserver::StateFolder::open(state.path());
        ASSERT_TRUE(held);
        // No file in the folder keeps a second server out: one could be removed.
        std::filesystem::remove(state / testserver::StateFolder::lockFile);
        ServerRun run = runServer(serverWithState(state.path()));
        EXPECT_EQ(run.exitCode, 4);
        EXPECT_NE(run.errors.find(state.path().string() + " is in use by another server"), std::string::npos)
            << run.errors;
        EXPECT_EQ(run.output.find("https"), std::string::npos) << run.output;
    }

    boost::asio::io_context io;
    boost::asio::ip::tcp::acceptor taken(io, { boost::asio::ip::address_v4::loopback(), 0 });
    const std::string port = std::to_string(taken.local_endpoint().port());
    for (const char* option : { "--http-port", "--https-port" }) {
        SCOPED_TRACE(option);
        ServerRun run = runServer(serverWithState(state.path(), std::string(option) + " " + port));
        EXPECT_EQ(run.exitCode, 3);
        EXPECT_NE(run.errors.find("127.0.0.1:" + port), std::string::npos) << run.errors;
        EXPECT_EQ(run.output.find("https"), std::string::npos) << run.output;
    }
}

// A start refused leaves the folder, and whatever a link in it points at, exactly as they were:
// every name, type, mode, byte and link target. A folder reads as the server's own only when it
// holds nothing else or its account book is there and the server's; a link where the server keeps
// its own is never followed; a server of an earlier release holding its lock file keeps this one out.
TEST(TestServerCommandLine, ARefusedStartChangesNothing)
{
    namespace fs = std::filesystem;
    auto put = [](const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    };
    // A book as a server of this one writes it, empty.
    const std::pair<std::string, std::string> book
        = { "accounts.json", R"({"next_id": 301878, "upload_serial": 0, "accounts": [], "uploads": []})" };
    const std::string png = "\x89PNG\r\n\x1A\n";
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files; // below the folder, with their bytes
        std::pair<std::string, std::string> link; // a name below the folder, and where it leads outside
        int status;
        std::string says; // besides the folder's name
    };
    const Case cases[] = {
        { "a web site with a picture under a name of the server's",
            { { "index.html", "<html></html>" }, { "uploads/avatar-1-1.png", png } }, {}, 1,
            "index.html and no account book" },
        { "another program's accounts.json beside its README",
            { { "README", "notes" }, { "accounts.json", R"({"users": ["ann"]})" } }, {}, 1,
            "README, and the state file" },
        { "another program's chat_rooms.json beside its notes",
            { { "notes.txt", "notes" }, { "chat_rooms.json", R"({"rooms": []})" } }, {}, 1,
            "notes.txt and no account book" },
        { "the server's book beside damaged chat rooms", { book, { "chat_rooms.json", R"({"rooms": 1})" } },
            {}, 1, "chat_rooms.json is damaged" },
        { "the server's book beside damaged lists and a picture it does not list",
            { book, { "lists/301877.json", R"({"records": 3})" }, { "uploads/avatar-301877-9.png", png } },
            {}, 1, "301877.json is damaged" },
        { "a link in place of accounts.json", {}, { "accounts.json", "accounts.json" }, 1,
            "accounts.json is a link" },
        { "a link in place of chat_rooms.json", { book }, { "chat_rooms.json", "rooms.json" }, 1,
            "chat_rooms.json is a link" },
        { "a link in place of uploads", { book }, { "uploads", "pictures" }, 1, "uploads is a link" },
        { "a link in place of lists", { book }, { "lists", "pictures" }, 1, "lists is a link" },
        { "a link in place of lock", { book }, { "lock", "lock" }, 1, "lock is a link" },
        { "a link in place of a picture", { book, { "uploads/avatar-3-1.jpg", png } },
            { "uploads/avatar-1-1.png", "pictures/cover.png" }, 1, "avatar-1-1.png is a link" },
        { "a link in place of an account's lists", { book }, { "lists/301877.json", "rooms.json" }, 1,
            "301877.json is a link" },
        { "an earlier server holding its lock", { book, { "lock", "" } }, {}, 4,
            "is in use by another server" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zvtest::TempDir root;
        const fs::path state = root / "state", outside = root / "outside";
        for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>> { book,
                 { "rooms.json", R"({"rooms": [], "restrictions": []})" }, { "lock", "" },
                 { "pictures/cover.png", png } })
            put(outside / name, bytes);
        for (const auto& [name, bytes] : c.files)
            put(state / name, bytes);
        if (!c.link.first.empty()) {
            fs::create_directories((state / c.link.first).parent_path());
            fs::create_symlink(outside / c.link.second, state / c.link.first);
        }
        // The earlier server, as it locks: a descriptor of its own.
        const int earlier = ::open((state / "lock").c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (c.status == 4) {
            ASSERT_EQ(::flock(earlier, LOCK_EX | LOCK_NB), 0);
        }
        const std::map<std::string, std::string> before = zvtest::snapshot(root.path());
        ServerRun run = runServer(serverWithState(state));
        if (earlier >= 0)
            ::close(earlier);
        EXPECT_EQ(run.exitCode, c.status) << run.errors;
        EXPECT_EQ(run.output.find("https"), std::string::npos) << run.output;
        EXPECT_NE(run.errors.find(state.string()), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find(c.says), std::string::npos) << run.errors;
        EXPECT_EQ(zvtest::snapshot(root.path()), before);
    }
}

// A client that connects the moment the port takes connections (an app started beside the server,
// on the ports it kept) is answered by the route it asked for, never by a server still putting its
// routes and data in place: the poster code is the last route that the program puts in place.
TEST(TestServerCommandLine, TheFirstRequestIsAnsweredByItsRoute)
{
    namespace asio = boost::asio;
    for (int start = 0; start < 3; ++start) {
        zvtest::TempDir state;
        asio::io_context io;
        asio::ip::tcp::acceptor probe(io, { asio::ip::address_v4::loopback(), 0 });
        const asio::ip::tcp::endpoint port = probe.local_endpoint();
        probe.close();
        const std::string command = "exec timeout 30 '" + std::string(ZV_TESTSERVER_PROGRAM) + "' "
            + serverWithState(state.path(), "--http-port " + std::to_string(port.port()))
            + " >/dev/null 2>&1";
        const char* argv[] = { "sh", "-c", command.c_str(), nullptr };
        pid_t pid = -1;
        ASSERT_EQ(::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
        asio::ip::tcp::socket socket(io);
        boost::system::error_code ec = asio::error::connection_refused;
        for (int attempt = 0; ec && attempt < 20000; ++attempt) {
            socket.close();
            if (socket.connect(port, ec))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::string reply;
        asio::write(socket,
            asio::buffer(std::string("GET /api/down/qrcode.png HTTP/1.1\r\nConnection: close\r\n\r\n")), ec);
        asio::read(socket, asio::dynamic_buffer(reply), ec);
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        EXPECT_TRUE(reply.starts_with("HTTP/1.1 200 ")
            && reply.find("Content-Type: image/png\r\n") != std::string::npos)
            << start << ": " << reply.substr(0, reply.find("\r\n\r\n"));
    }
}

}
