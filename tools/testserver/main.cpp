// zentavo-testserver: the local test server on its own, for manual runs of the app; with a data
// folder it also answers the sample API under /api/ and runs the chat rooms, and with a media folder
// (scripts/make-test-media.sh) it serves video under /video/. `--help` prints the options.

#include "tools/testserver/ApiServer.h"
#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/SampleShortVideo.h"
#include "tools/testserver/TestServer.h"
#include "tools/testserver/VideoRoutes.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <netinet/in.h>
#include <pthread.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr long long maxDelayMs = 60'000;

constexpr const char* usage
    = "usage: zentavo-testserver --keys <dir> [--data <dir> [--state <dir>]] [--media <dir>]\n"
      "         [--http-port N] [--https-port N]\n"
      "         [--encrypt body|data] [--encrypt-route <path>=body|data]... [--delay-route <path>=<ms>]...\n"
      "         [--fault-route <path>=500|cut|not-json|bad-utf8|too-large]...\n"
      "\n"
      "  --keys <dir>          the test certificates and the API key pair (build/keys)\n"
      "  --data <dir>          answer the sample API under /api/ and run the chat rooms\n"
      "                        (tools/testserver/data)\n"
      "  --state <dir>         keep what clients change (accounts, their lists, the chat rooms) in this\n"
      "                        folder and start from it again next time; without it every start begins\n"
      "                        from the sample data\n"
      "  --media <dir>         serve video under /video/ (build/media, made by scripts/make-test-media.sh)\n"
      "  --http-port N         listen on this port for http (default: any free port)\n"
      "  --https-port N        the same for https\n"
      "  --encrypt body|data   encrypt every reply of the sample API: the whole body, or its `data`\n"
      "  --encrypt-route <path>=body|data\n"
      "                        the same for one path below /api/, over --encrypt; repeatable\n"
      "  --delay-route <path>=<ms>\n"
      "                        hold back the replies of one path (up to 60000 ms); repeatable\n"
      "  --fault-route <path>=500|cut|not-json|bad-utf8|too-large\n"
      "                        break every reply of one path: HTTP 500, cut short, an HTML page, bytes\n"
      "                        that are not UTF-8, or larger than the app takes (5 MiB); repeatable\n"
      "  --help, -h            this text\n"
      "\n"
      "exit status: 0 stopped by a signal, 1 it could not start (a damaged state file, missing keys...),\n"
      "  2 a wrong command line, 3 a port given with --http-port or --https-port is in use,\n"
      "  4 the state folder is in use by another server\n";

// The exit statuses besides 0, 1 and 2: what a script that starts the server may act on.
constexpr int kPortInUse = 3;
constexpr int kStateInUse = 4;

// The text on standard output when asked for; on standard error, after what went wrong, otherwise.
void printUsage(const std::string& problem = {})
{
    if (problem.empty()) {
        std::cout << usage << std::flush;
        return;
    }
    std::cerr << "zentavo-testserver: " << problem << "\n" << usage << std::flush;
}

// Whether something else listens on the loopback port now (asked after a start that failed).
bool portInUse(std::uint16_t port)
{
    if (port == 0)
        return false;
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // As the server binds: a port left in TIME_WAIT is free to it.
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool taken = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 && errno == EADDRINUSE;
    ::close(fd);
    return taken;
}

bool parsePort(const char* text, std::uint16_t& port)
{
    const char* end = text + std::strlen(text);
    auto [next, ec] = std::from_chars(text, end, port);
    return ec == std::errc() && next == end;
}

std::optional<testserver::ApiReply::Encryption> parseEncryption(std::string_view text)
{
    if (text == "body")
        return testserver::ApiReply::Encryption::Body;
    if (text == "data")
        return testserver::ApiReply::Encryption::Data;
    return std::nullopt;
}

// "<path>=<value>" with a path that is not empty.
std::optional<std::pair<std::string, std::string>> splitRoute(std::string_view text)
{
    size_t equals = text.find('=');
    if (equals == 0 || equals == std::string_view::npos)
        return std::nullopt;
    return std::pair { std::string(text.substr(0, equals)), std::string(text.substr(equals + 1)) };
}

struct ReplyStyle {
    std::optional<testserver::ApiReply::Encryption> encryption;
    std::vector<std::pair<std::string, testserver::ApiReply::Encryption>> routeEncryption;
    std::vector<std::pair<std::string, std::chrono::milliseconds>> routeDelay;
    std::vector<std::pair<std::string, testserver::ApiFault>> routeFault;

    bool parse(const std::string& option, const char* value)
    {
        if (option == "--encrypt") {
            encryption = parseEncryption(value);
            return encryption.has_value();
        }
        auto route = splitRoute(value);
        if (!route)
            return false;
        if (option == "--encrypt-route") {
            auto chosen = parseEncryption(route->second);
            if (chosen)
                routeEncryption.emplace_back(route->first, *chosen);
            return chosen.has_value();
        }
        if (option == "--fault-route") {
            auto fault = testserver::parseApiFault(route->second);
            if (fault)
                routeFault.emplace_back(route->first, *fault);
            return fault.has_value();
        }
        long long ms = -1;
        const std::string& text = route->second;
        auto [next, ec] = std::from_chars(text.data(), text.data() + text.size(), ms);
        if (ec != std::errc() || next != text.data() + text.size() || ms < 0 || ms > maxDelayMs)
            return false;
        routeDelay.emplace_back(route->first, std::chrono::milliseconds(ms));
        return true;
    }

    bool empty() const
    {
        return !encryption && routeEncryption.empty() && routeDelay.empty() && routeFault.empty();
    }

    void apply(testserver::ApiServer& api) const
    {
        if (encryption)
            api.setEncryption(*encryption);
        for (const auto& [path, chosen] : routeEncryption)
            api.setEncryption(path, chosen);
        for (const auto& [path, delay] : routeDelay)
            api.setDelay(path, delay);
        for (const auto& [path, fault] : routeFault)
            api.setFault(path, fault);
    }
};

}

int main(int argc, char** argv)
{
    testserver::ServerOptions options;
    std::filesystem::path mediaDir;
    std::filesystem::path stateDir;
    ReplyStyle style;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage();
            return 0;
        }
        if (!arg.starts_with("--")) {
            printUsage("not an option: " + arg);
            return 2;
        }
        if (i + 1 >= argc) {
            printUsage(arg + " needs a value");
            return 2;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (arg == "--keys")
            options.keysDir = value;
        else if (arg == "--data")
            options.dataDir = value;
        else if (arg == "--state")
            stateDir = value;
        else if (arg == "--media")
            mediaDir = value;
        else if (arg == "--http-port")
            ok = parsePort(value, options.httpPort);
        else if (arg == "--https-port")
            ok = parsePort(value, options.httpsPort);
        else if (arg == "--encrypt" || arg == "--encrypt-route" || arg == "--delay-route"
            || arg == "--fault-route")
            ok = style.parse(arg, value);
        else {
            printUsage("unknown option " + arg);
            return 2;
        }
        if (!ok) {
            printUsage("bad value for " + arg + ": " + value);
            return 2;
        }
    }
    if (options.keysDir.empty()) {
        printUsage("--keys is required");
        return 2;
    }
    if (options.dataDir.empty() && !stateDir.empty()) {
        printUsage("--state needs --data");
        return 2;
    }
    if (options.dataDir.empty() && !style.empty()) {
        printUsage("--encrypt, --encrypt-route, --delay-route and --fault-route need --data");
        return 2;
    }

    // Block the stop signals before the server thread exists, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::string error;
    // The state folder first: a second server on it stops before it takes any port, so that what
    // started it learns that the folder is in use, not that ports are.
    std::shared_ptr<testserver::StateFolder> state;
    if (!stateDir.empty()) {
        bool inUse = false;
        state = testserver::StateFolder::open(stateDir, &error, &inUse);
        if (!state) {
            std::cerr << "zentavo-testserver: " << error << "\n";
            return inUse ? kStateInUse : 1;
        }
    }
    // Its ports are taken now, since the routes point at them, but a connection is served only
    // once every route is in place with its data: a client that connects at once waits for its
    // answer rather than getting one of a server half set up.
    options.serveAtStart = false;
    std::unique_ptr<testserver::TestServer> server = testserver::TestServer::start(options, &error);
    if (!server) {
        std::cerr << "zentavo-testserver: " << error << "\n";
        return portInUse(options.httpPort) || portInUse(options.httpsPort) ? kPortInUse : 1;
    }
    // The sample API under /api/ when there is sample data to serve.
    std::unique_ptr<testserver::ApiServer> api;
    std::unique_ptr<testserver::ChatRoom> chat;
    if (!options.dataDir.empty()) {
        api = testserver::ApiServer::attach(*server, options.keysDir, &error);
        if (api && state)
            api->setStateFolder(state);
        if (!api
            || !testserver::SampleApi::install(
                *api, options.dataDir, server->httpPort(), server->httpsPort(), &error)
            || !(chat = testserver::ChatRoom::install(*server, *api, options.dataDir, &error))
            || !testserver::SampleShortVideo::installPosterCode(*server, options.dataDir, &error)) {
            std::cerr << "zentavo-testserver: " << error << "\n";
            return 1;
        }
        style.apply(*api);
    }
    if (!mediaDir.empty() && !testserver::VideoRoutes::install(*server, mediaDir, &error)) {
        std::cerr << "zentavo-testserver: " << error << "\n";
        return 1;
    }
    // Every state file is read and judged by now: only a start that goes on changes the folder.
    if (state && !state->take(&error)) {
        std::cerr << "zentavo-testserver: " << error << "\n";
        return 1;
    }
    server->serve();
    std::cout << "http  " << server->httpURL() << "\n"
              << "https " << server->httpsURL() << "\n"
              << std::flush;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server->stop();
    std::cout << "stopped\n";
    return 0;
}
