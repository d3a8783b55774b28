// A program that holds the app's window to its exit, as a benchmark held its window in a
// function-local static: the window ends among the statics after main returns, when the main
// thread's font maps are already gone. Its end must run nothing of the app then (no carousel's
// timer measuring its text), so that the program exits 0, under the sanitizers too. The window
// opens on an X server of the program's own (Xvfb); without one the program is skipped (77).

#include "platform/dispatch/Timer.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/window/WindowShell.h"
#include "tests/display/XvfbDisplay.h"

#include <cstdio>

namespace {

// One line of text that a timer changes at every turn of the run loop, as a carousel's does; each
// change measures the new text.
class TickerDelegate : public UIApplicationDelegate {
public:
    bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) override
    {
        m_window = std::make_shared<UIWindow>();
        auto label = std::make_shared<UILabel>(CGRect { 20, 100, 350, 40 });
        m_window->addSubview(label);
        m_window->makeKeyAndVisible();
        Timer::scheduledTimer(0.001, true, [weak = std::weak_ptr<UILabel>(label), ticks = 0](Timer&) mutable {
            if (auto shown = weak.lock()) {
                shown->setText("第" + std::to_string(++ticks) + "张 Slide");
                shown->sizeThatFits({ 350, 40 });
            }
        });
        return true;
    }
    std::shared_ptr<UIWindow> window() const override { return m_window; }

private:
    std::shared_ptr<UIWindow> m_window;
};

// Opened as the holder is made, as the benchmark's fixture opened its window.
struct HeldWindow {
    HeldWindow()
    {
        WindowShellOptions options;
        options.window.scale = 1;
        std::string why;
        if (!(shell = WindowShell::open(options, &why)))
            std::fprintf(stderr, "no window: %s\n", why.c_str());
        else
            shell->launch(std::make_shared<TickerDelegate>());
    }
    std::unique_ptr<WindowShell> shell;
};

HeldWindow& heldToExit()
{
    static HeldWindow held;
    return held;
}

}

int main()
{
    std::string why;
    if (!zvtest::XvfbDisplay::shared(&why)) {
        std::printf("skipped: %s\n", why.c_str());
        return 77;
    }
    auto& shell = heldToExit().shell;
    if (!shell)
        return 1;
    // A moment on screen, the text changing, then main returns with the window still open.
    shell->runUntil([] { return false; }, 0.2);
    return 0;
}
