#pragma once

#include "platform/ui/device/DeviceShell.h"
#include "platform/window/DesktopOpener.h"
#include "platform/window/DeviceWindow.h"
#include "platform/window/KeptDeviceLevels.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

struct WindowShellOptions {
    // The device as the headless shell has it; its clock is made the real one.
    DeviceShellOptions device;
    DeviceWindowOptions window;
    // The desktop's program that opens the links the application opens outside itself.
    std::string urlOpener = "xdg-open";
    // What the style key (Ctrl+D) swaps (WindowInput::setStyleChooser).
    WindowInput::StyleChooser styleChooser;
    // Where the device's volume and backlight are kept across starts (KeptDeviceLevels); none:
    // they start full and are not kept.
    std::filesystem::path levelsFile;
};

// The device shell shown live: the application runs on the real clock in a DeviceWindow, takes
// the mouse and the keyboard, and scripts in the shell's language drive it as they drive the
// headless device, their waits lasting as long as they say. Links that the application opens
// outside itself go to the desktop's opener (DesktopOpener). Closing the window ends the
// application as the phone's app switcher does: it goes into the background (where it saves what
// it keeps), then it is terminated. The device's levels may be kept across starts in a file
// (levelsFile), read before the application launches. Main thread; one at a time. Let it go
// before main returns: held by a static, it would end the application among the program's statics,
// after some of what the application reaches is gone.
class WindowShell {
public:
    // nullptr with the reason when no window can open.
    static std::unique_ptr<WindowShell> open(WindowShellOptions options, std::string* error);
    // Ends the application as closing does, if it still runs.
    ~WindowShell();
    WindowShell(const WindowShell&) = delete;
    WindowShell& operator=(const WindowShell&) = delete;

    // Launches the delegate (DeviceShell::launch); the window shows its first frame.
    bool launch(std::shared_ptr<UIApplicationDelegate> delegate);
    // Runs the script in the window; it stops early when the window closes. The count of failed lines.
    int runScript(std::istream& script, const std::string& sourceName, std::ostream& errors);
    // Serves the window until it is closed (or the main run loop is stopped), then ends the
    // application.
    void run();
    // Serves the window until `done` holds, the window closes or `seconds` of real time pass;
    // returns done().
    bool runUntil(const std::function<bool()>& done, double seconds);

    // Ends the application as closing the window does: background, then terminated. Once.
    void end();
    bool isClosed() const { return m_window->isClosed(); }
    bool hasEnded() const { return m_ended; }

    DeviceShell& shell() { return *m_shell; }
    DeviceWindow& window() { return *m_window; }

private:
    WindowShell() = default;

    std::unique_ptr<DeviceWindow> m_window;
    std::unique_ptr<DeviceShell> m_shell;
    std::unique_ptr<DesktopOpener> m_opener;
    std::unique_ptr<KeptDeviceLevels> m_levels;
    bool m_ended = false;
};
