// zentavo-testserver: the local test server on its own, for manual runs of the app; with a data
// folder it also answers the sample API under /api/, and with a media folder (scripts/make-test-media.sh)
// it serves video under /video/; it runs the chat rooms too.
//   zentavo-testserver --keys build/keys --data tools/testserver/data [--media build/media]
//                      [--http-port N] [--https-port N]

#include "tools/testserver/ApiServer.h"
#include "tools/testserver/ChatRoom.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/TestServer.h"
#include "tools/testserver/VideoRoutes.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <pthread.h>

namespace {

void printUsage()
{
    std::cerr << "usage: zentavo-testserver --keys <dir> [--data <dir>] [--media <dir>] [--http-port <port>] "
                 "[--https-port <port>]\n";
}

bool parsePort(const char* text, std::uint16_t& port)
{
    const char* end = text + std::strlen(text);
    auto [next, ec] = std::from_chars(text, end, port);
    return ec == std::errc() && next == end;
}

}

int main(int argc, char** argv)
{
    testserver::ServerOptions options;
    std::filesystem::path mediaDir;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage();
            return 0;
        }
        if (i + 1 >= argc) {
            printUsage();
            return 2;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (arg == "--keys")
            options.keysDir = value;
        else if (arg == "--data")
            options.dataDir = value;
        else if (arg == "--media")
            mediaDir = value;
        else if (arg == "--http-port")
            ok = parsePort(value, options.httpPort);
        else if (arg == "--https-port")
            ok = parsePort(value, options.httpsPort);
        else
            ok = false;
        if (!ok) {
            printUsage();
            return 2;
        }
    }
    if (options.keysDir.empty()) {
        printUsage();
        return 2;
    }

    // Block the stop signals before the server thread exists, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::string error;
    std::unique_ptr<testserver::TestServer> server = testserver::TestServer::start(options, &error);
    if (!server) {
        std::cerr << "zentavo-testserver: " << error << "\n";
        return 1;
    }
    // The sample API under /api/ when there is sample data to serve.
    std::unique_ptr<testserver::ApiServer> api;
    std::unique_ptr<testserver::ChatRoom> chat;
    if (!options.dataDir.empty()) {
        api = testserver::ApiServer::attach(*server, options.keysDir, &error);
        if (!api
            || !testserver::SampleApi::install(
                *api, options.dataDir, server->httpPort(), server->httpsPort(), &error)
            || !(chat = testserver::ChatRoom::install(*server, *api, options.dataDir, &error))) {
            std::cerr << "zentavo-testserver: " << error << "\n";
            return 1;
        }
    }
    if (!mediaDir.empty() && !testserver::VideoRoutes::install(*server, mediaDir, &error)) {
        std::cerr << "zentavo-testserver: " << error << "\n";
        return 1;
    }
    std::cout << "http  " << server->httpURL() << "\n"
              << "https " << server->httpsURL() << "\n"
              << std::flush;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server->stop();
    std::cout << "stopped\n";
    return 0;
}
