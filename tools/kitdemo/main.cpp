// zentavo-kitdemo: the UI kit in the headless device, with images, video and the sample API from
// the local test server that it starts on loopback.
//   zentavo-kitdemo --keys <dir> [--data <dir>] [--media <dir>] [device options: --script <file> --out
//   <folder> ...]
// The keys folder (scripts/make-test-keys.sh) may also come from ZV_KEYS_DIR.

#include "platform/foundation/AppContainer.h"
#include "platform/foundation/FileSystem.h"
#include "platform/media/SJMPVPlaybackController.h"
#include "platform/net/HTTPClient.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/device/DeviceMain.h"
#include "platform/ui/imageloading/ImageLoader.h"
#include "tools/kitdemo/KitDemoAppDelegate.h"
#include "tools/kitdemo/KitDemoSystem.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/TestServer.h"
#include "tools/testserver/VideoRoutes.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

// The server's pictures, each under several addresses so that the grid is long enough to scroll
// and every cell downloads its own; the browser pages through each picture once.
KitDemoPictures pictures(const std::string& base)
{
    // Portrait pictures only: a wide banner cut to a portrait cell would show cut-off text.
    const std::vector<std::string> files
        = { "cover-40217.png", "cover-40311.png", "cover-40522.png", "advert-start.jpg" };
    KitDemoPictures result;
    for (int i = 0; i < 30; ++i)
        result.grid.push_back(base + "/images/" + files[i % files.size()] + "?n=" + std::to_string(i));
    for (const auto& file : files)
        result.browser.push_back(base + "/images/" + file);
    result.videoBase = base + std::string(testserver::VideoRoutes::prefix);
    for (const char* file : { "banner-1.jpg", "banner-2.jpg", "advert-banner.jpg" })
        result.banners.push_back(base + "/images/" + file);
    return result;
}

// A disk cache of this run only, so that every run shows pictures coming over the network.
class ScratchFolder {
public:
    ScratchFolder()
        : m_path(std::filesystem::temp_directory_path() / ("zentavo-kitdemo-" + std::to_string(getpid())))
    { }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}

int main(int argc, char** argv)
{
    testserver::ServerOptions serverOptions;
    serverOptions.dataDir = ZV_KITDEMO_DATA_DIR;
    std::filesystem::path mediaDir = ZV_KITDEMO_MEDIA_DIR;
    if (const char* keys = std::getenv("ZV_KEYS_DIR"))
        serverOptions.keysDir = keys;

    // Our own options come out; the rest goes to the device.
    std::vector<char*> deviceArgs = { argv[0] };
    std::filesystem::path outputFolder = "out"; // the device's default
    double realTime = 1.0; // real seconds per virtual second of waiting, the device's default
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--keys" || arg == "--data") && i + 1 < argc) {
            (arg == "--keys" ? serverOptions.keysDir : serverOptions.dataDir) = argv[++i];
            continue;
        }
        if (arg == "--out" && i + 1 < argc)
            outputFolder = argv[i + 1];
        // Seen here too (the device checks it): the server's delays are virtual seconds as well.
        if (arg == "--real-time" && i + 1 < argc)
            realTime = std::strtod(argv[i + 1], nullptr);
        if (arg == "--media" && i + 1 < argc) {
            mediaDir = argv[++i];
            continue;
        }
        deviceArgs.push_back(argv[i]);
    }
    if (serverOptions.keysDir.empty()) {
        std::cerr << "usage: zentavo-kitdemo --keys <dir> [--data <dir>] [--media <dir>] [--script <file>] "
                     "[--out <folder>] [--real-time <seconds>] "
                     "[--dark] [--landscape] [--stop-on-error] [--contrast off|report|enforce] "
                     "[--contrast-allowed <file>]\n"
                     "  (the keys folder may also come from ZV_KEYS_DIR)\n";
        return 2;
    }

    std::string error;
    auto server = testserver::TestServer::start(serverOptions, &error);
    if (!server) {
        std::cerr << "zentavo-kitdemo: the test server does not start: " << error << "\n";
        return 2;
    }

    // The sample API for the app's player page: titles, address resolution and adverts. Resolving
    // an address takes 2.5 s, so that the player's loading layer can be seen.
    auto api = testserver::ApiServer::attach(*server, serverOptions.keysDir, &error);
    if (!api
        || !testserver::SampleApi::install(
            *api, serverOptions.dataDir, server->httpPort(), server->httpsPort(), &error)) {
        std::cerr << "zentavo-kitdemo: the sample API does not start: " << error << "\n";
        return 2;
    }
    // As long as 2.5 s of the device's waiting: a faster device clock (--real-time) shortens it.
    double parseDelay = 2500 * (realTime >= 0 && realTime <= 10 ? realTime : 1.0);
    api->setDelay("v1/movie_addr/parse", std::chrono::milliseconds(static_cast<long>(parseDelay)));
    // The app's client finds it through its information keys, read on first use.
    std::optional<Data> publicKey = FileSystem::readFile(serverOptions.keysDir / "api_public.b64");
    std::string key = publicKey ? std::string(publicKey->begin(), publicKey->end()) : std::string();
    while (!key.empty() && (key.back() == '\n' || key.back() == '\r'))
        key.pop_back();
    ::setenv("ZV_INFO_MainURL", (server->httpsURL() + "/api/").c_str(), 1);
    ::setenv("ZV_INFO_APIPublicKey", key.c_str(), 1);
    ::setenv("ZV_INFO_TrustedCAFile", (serverOptions.keysDir / "ca.pem").c_str(), 1);

    // Without the clips (scripts/make-test-media.sh) the player page shows its load-failed layer.
    if (!testserver::VideoRoutes::install(*server, mediaDir, &error))
        std::cerr << "zentavo-kitdemo: no video: " << error << "\n";
    // The player checks the server's certificate against the test authority like every client.
    SJMPVPlaybackController::setTrustedCAFile((serverOptions.keysDir / "ca.pem").string());

    HTTPClient client;
    client.setTrustedCAFile((serverOptions.keysDir / "ca.pem").string());
    // The photo browser loads through the shared loader and client: the same trust, and a home
    // (and so an image cache) of this run only.
    HTTPClient::shared().setTrustedCAFile((serverOptions.keysDir / "ca.pem").string());
    ScratchFolder scratch;
    AppContainer::setHome(scratch.path() / "home");
    // The app's record database, where the player keeps skip times.
    ASConfigration::setDefaultDB((AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
    ImageLoader::Configuration configuration;
    configuration.client = &client;
    configuration.diskCacheFolder = scratch.path() / "images";
    auto loader = std::make_shared<ImageLoader>(configuration);

    prepareKitDemoSystem(serverOptions.dataDir, scratch.path(), outputFolder);
    KitDemoPictures demoPictures = pictures(server->httpsURL());
    demoPictures.serverURL = server->httpsURL();
    demoPictures.dataDir = serverOptions.dataDir;
    auto delegate = std::make_shared<KitDemoAppDelegate>(loader, std::move(demoPictures));
    int status = runDevice(static_cast<int>(deviceArgs.size()), deviceArgs.data(), delegate);
    server->stop();
    return status;
}
