#pragma once

#include "platform/ui/UIApplication.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class ImageLoader;

// The server's pictures: the grid's (each under its own address) and the few the photo browser
// pages through, in the order the grid repeats them; and its video address ("<server>/video/").
struct KitDemoPictures {
    std::vector<std::string> grid;
    std::vector<std::string> browser;
    // The server itself and the folder it serves, for the system page's web page and poster.
    std::string serverURL;
    std::filesystem::path dataDir;
    std::string videoBase;
    // Wide pictures for the banners.
    std::vector<std::string> banners;
};

// Launches the demo's window on the tab screen. The image loader is shared with the pages.
class KitDemoAppDelegate : public UIApplicationDelegate {
public:
    KitDemoAppDelegate(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures);

    bool didFinishLaunching(UIApplication& application, const UIApplicationLaunchOptions& options) override;
    std::shared_ptr<UIWindow> window() const override { return m_window; }

private:
    std::shared_ptr<ImageLoader> m_loader;
    KitDemoPictures m_pictures;
    std::shared_ptr<UIWindow> m_window;
};
