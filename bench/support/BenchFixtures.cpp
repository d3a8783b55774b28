#include "bench/support/BenchFixtures.h"

#include "tools/testserver/SampleApi.h"
#include "tools/testserver/VideoRoutes.h"

#include <atomic>
#include <cairo.h>
#include <cstdlib>
#include <iostream>
#include <string>
#include <sys/mman.h>
#include <system_error>
#include <unistd.h>

namespace zvbench {

std::filesystem::path sourceDir()
{
    return ZV_BENCH_SOURCE_DIR;
}

std::filesystem::path keysDir()
{
    if (const char* keys = std::getenv("ZV_KEYS_DIR"); keys && *keys)
        return keys;
    return sourceDir() / "build" / "keys";
}

std::filesystem::path mediaDir()
{
    if (const char* media = std::getenv("ZV_MEDIA_DIR"); media && *media)
        return media;
    return sourceDir() / "build" / "media";
}

LocalServer::LocalServer()
{
    testserver::ServerOptions options;
    options.keysDir = keysDir();
    options.dataDir = sourceDir() / "tools" / "testserver" / "data";
    std::string error;
    m_server = testserver::TestServer::start(options, &error);
    if (m_server)
        m_api = testserver::ApiServer::attach(*m_server, options.keysDir, &error);
    if (!m_api
        || !testserver::SampleApi::install(
            *m_api, options.dataDir, m_server->httpPort(), m_server->httpsPort(), &error)) {
        std::cerr << "the test server does not start (keys from scripts/make-test-keys.sh?): " << error
                  << "\n";
        std::exit(2);
    }
}

void LocalServer::serveVideo()
{
    std::string error;
    if (!testserver::VideoRoutes::install(*m_server, mediaDir(), &error)) {
        std::cerr << "the test server has no video: " << error << "\n";
        std::exit(2);
    }
}

LocalServer::~LocalServer()
{
    m_server->stop();
    m_api.reset();
}

ScratchFolder::ScratchFolder()
{
    static std::atomic<int> counter { 0 };
    m_path = std::filesystem::temp_directory_path()
        / ("zentavo-bench-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(m_path);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void plainCairoFill(int pixelWidth, int pixelHeight)
{
    // Memory mapped afresh, as a new bitmap of this size gets it from the system: the allocator
    // may or may not keep freed bitmaps around, and the baseline should not depend on that.
    int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, pixelWidth);
    std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(pixelHeight);
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        std::abort();
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        static_cast<unsigned char*>(memory), CAIRO_FORMAT_RGB24, pixelWidth, pixelHeight, stride);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.96, 0.95, 0.92);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    munmap(memory, size);
}

}
