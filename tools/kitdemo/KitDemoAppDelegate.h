#pragma once

#include "platform/ui/UIApplication.h"

#include <memory>
#include <string>
#include <vector>

class ImageLoader;

// Launches the demo's window on the tab screen. The image loader is shared with the pages.
class KitDemoAppDelegate : public UIApplicationDelegate {
public:
    KitDemoAppDelegate(std::shared_ptr<ImageLoader> loader, std::vector<std::string> imageURLs);

    bool didFinishLaunching(UIApplication& application, const UIApplicationLaunchOptions& options) override;
    std::shared_ptr<UIWindow> window() const override { return m_window; }

private:
    std::shared_ptr<ImageLoader> m_loader;
    std::vector<std::string> m_imageURLs;
    std::shared_ptr<UIWindow> m_window;
};
