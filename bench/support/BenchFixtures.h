#pragma once

// What several benchmark programs set up: the local test server with the tree's sample data,
// a scratch folder, and the plain Cairo fill that renders are compared with.

#include "tools/testserver/ApiServer.h"
#include "tools/testserver/TestServer.h"

#include <filesystem>
#include <memory>

namespace zvbench {

// The test keys: ZV_KEYS_DIR, else build/keys of the tree (scripts/make-test-keys.sh).
std::filesystem::path keysDir();
// The test video: ZV_MEDIA_DIR, else build/media of the tree (scripts/make-test-media.sh).
std::filesystem::path mediaDir();
std::filesystem::path sourceDir();

// The local test server on loopback with tools/testserver/data and its sample API, as
// zentavo-testserver runs it; ends the program with a message when it does not start (no keys).
class LocalServer {
public:
    LocalServer();
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;
    // "https://127.0.0.1:<port>"
    std::string httpsURL() const { return m_server->httpsURL(); }
    // Serves the test video under /video/ too, which the sample titles play; ends the program
    // with a message when the clips are missing.
    void serveVideo();

private:
    std::unique_ptr<testserver::TestServer> m_server;
    std::unique_ptr<testserver::ApiServer> m_api;
};

// A fresh folder under the temporary directory, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// One opaque colour painted over a fresh opaque surface of this many pixels (its memory newly
// mapped, as a one-off Cairo drawing of that size gets it): the plainest full frame.
void plainCairoFill(int pixelWidth, int pixelHeight);

}
