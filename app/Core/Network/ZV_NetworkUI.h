#pragma once

#include <string>

// What the API client shows on screen: loading tips, error toasts and the login screen. The
// client calls it on the main thread only. ZV_NetworkScreenUI is the app's; the base class shows
// nothing, and tests put a fake in its place (ZV_Network::setUI).
class ZV_NetworkUI {
public:
    virtual ~ZV_NetworkUI() = default;

    // Removes every loading and text tip.
    virtual void hideAllTips() { }
    // Shows a loading tip on the main window, when there is one.
    virtual void showLoading() { }
    // Shows a short text toast.
    virtual void showToast(const std::string& text) { }

    // True while a login screen is on screen or on its way there.
    virtual bool isLoginPresented() const { return false; }
    // Presents the login screen full screen over the topmost screen (nothing without one).
    virtual void presentLogin() { }
};
