// A full-screen frame of the kit demonstration's picture grid, the richest screen we draw: thirty
// rounded picture cells with captions over a scrolling grid, the tab bar over it, at the device's
// scale of 3 (1170 × 2532 pixels). Goals: a frame within 8.3 ms (one frame at 120 Hz), and its
// cost against a plain Cairo fill of the same surface.

#include "bench/support/BenchFixtures.h"
#include "bench/support/BenchGoals.h"
#include "bench/support/MainFixture.h"
#include "platform/foundation/AppContainer.h"
#include "platform/net/HTTPClient.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/device/DeviceShell.h"
#include "platform/ui/imageloading/ImageLoader.h"
#include "tools/kitdemo/KitDemoAppDelegate.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>

namespace {

constexpr int screenWidth = 1170;
constexpr int screenHeight = 2532;

// The demo as its program starts it, on the grid with its pictures in.
class KitDemoGrid {
public:
    KitDemoGrid()
    {
        m_client.setTrustedCAFile((zvbench::keysDir() / "ca.pem").string());
        HTTPClient::shared().setTrustedCAFile((zvbench::keysDir() / "ca.pem").string());
        AppContainer::setHome(m_scratch.path() / "home");
        ImageLoader::Configuration configuration;
        configuration.client = &m_client;
        configuration.diskCacheFolder = m_scratch.path() / "images";
        m_loader = std::make_shared<ImageLoader>(configuration);

        std::vector<std::string> files
            = { "cover-40217.png", "cover-40311.png", "cover-40522.png", "advert-start.jpg" };
        KitDemoPictures pictures;
        for (int i = 0; i < 30; ++i) {
            pictures.grid.push_back(
                m_server.httpsURL() + "/images/" + files[i % files.size()] + "?n=" + std::to_string(i));
        }
        for (const auto& file : files)
            pictures.browser.push_back(m_server.httpsURL() + "/images/" + file);

        DeviceShellOptions options;
        options.outputFolder = m_scratch.path() / "out";
        m_shell = std::make_unique<DeviceShell>(options);
        m_shell->launch(std::make_shared<KitDemoAppDelegate>(m_loader, pictures));
        // The frame is measured with the pictures in, not their placeholders.
        for (int second = 0; second < 20 && shownPictures() < 12; ++second)
            m_shell->wait(1);
        if (shownPictures() < 12) {
            std::cerr << "kit demonstration: the grid's pictures did not arrive\n";
            std::exit(2);
        }
    }

    // Picture views showing a downloaded picture (the placeholder is 2 x 3 pixels).
    static int shownPictures()
    {
        int count = 0;
        std::function<void(const UIView&)> visit = [&](const UIView& view) {
            if (auto* picture = dynamic_cast<const UIImageView*>(&view)) {
                if (picture->image() && picture->image()->pixelWidth() > 2)
                    ++count;
            }
            for (const auto& sub : view.subviews())
                visit(*sub);
        };
        for (const auto& window : UIApplication::shared().windows())
            visit(*window);
        return count;
    }

    ~KitDemoGrid()
    {
        m_shell.reset();
        m_loader.reset();
    }

    static KitDemoGrid& shared()
    {
        static zvbench::MainFixture<KitDemoGrid> grid;
        return grid.get();
    }

private:
    zvbench::LocalServer m_server;
    zvbench::ScratchFolder m_scratch;
    HTTPClient m_client;
    std::shared_ptr<ImageLoader> m_loader;
    std::unique_ptr<DeviceShell> m_shell;
};

void renderFrame()
{
    UIImage frame = Renderer::renderScreen(3);
    benchmark::DoNotOptimize(frame);
}

void BM_KitGridFrame(benchmark::State& state)
{
    KitDemoGrid::shared();
    for (auto _ : state)
        renderFrame();
}
BENCHMARK(BM_KitGridFrame)->Unit(benchmark::kMillisecond);

void BM_PlainCairoFill(benchmark::State& state)
{
    for (auto _ : state)
        zvbench::plainCairoFill(screenWidth, screenHeight);
}
BENCHMARK(BM_PlainCairoFill)->Unit(benchmark::kMillisecond);

const bool frameGoal = zvbench::addGoal({
    .name = "render.kit-grid.frame-vs-8.3ms",
    .limit = 1.0,
    .subject = renderFrame,
    .fixedBaseline = std::chrono::microseconds(8300),
    .setUp = [] { KitDemoGrid::shared(); },
});

const bool fillGoal = zvbench::addGoal({
    .name = "render.kit-grid.frame-vs-cairo-fill",
    .limit = 1.9,
    .subject = renderFrame,
    .baseline = [] { zvbench::plainCairoFill(screenWidth, screenHeight); },
    .setUp = [] { KitDemoGrid::shared(); },
});

}
