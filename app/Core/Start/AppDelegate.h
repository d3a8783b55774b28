#pragma once

#include "platform/ui/UIApplication.h"

#include <memory>

class UIWindow;

// The application's delegate: when launching has finished it brings the process-wide services up
// in a fixed order, none waiting for the network, and puts the launch screen on the window:
//   1. encrypted name resolution and its probe (appLink)
//   2. keyboard avoidance for every text input
//   3. the framework's log console off
//   4. the API client and the server-address bootstrap
//   5. the signed-in viewer's profile ("v1/user/info"), sent at every launch, token or not
//   6. the window: launch screen, system background, dark or light from the stored flag, key
//   7. the idle timer off, so that the screen never dims while the app is in front
// Main thread.
class AppDelegate : public UIApplicationDelegate {
public:
    bool didFinishLaunching(UIApplication& application, const UIApplicationLaunchOptions& options) override;
    unsigned supportedInterfaceOrientations(UIApplication& application, UIWindow* window) override;

    std::shared_ptr<UIWindow> window() const override { return m_window; }
    void setWindow(std::shared_ptr<UIWindow> window) override { m_window = std::move(window); }

    // Step 6; does nothing without a window.
    void setupWindow();

private:
    std::shared_ptr<UIWindow> m_window;
};
