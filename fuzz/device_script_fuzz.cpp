// Runs untrusted device-shell scripts against a small screen, as a mistyped or hostile tour file
// would: every line must end with success or an error line, never hang, crash or overflow.

#include "platform/dispatch/Clock.h"
#include "platform/foundation/Log.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/device/DeviceShell.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A title, a button that changes it and a text field: something to tap, type into and find.
class ScreenDelegate : public UIApplicationDelegate {
public:
    bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) override
    {
        m_window = std::make_shared<UIWindow>();
        auto title = std::make_shared<UILabel>(CGRect { 20, 100, 350, 40 });
        title->setText("Zentavo");
        m_window->addSubview(title);
        auto button = std::make_shared<UIButton>(CGRect { 100, 200, 190, 44 });
        button->setTitle("Tap me");
        button->setAccessibilityIdentifier("demo.button");
        std::weak_ptr<UILabel> weakTitle = title;
        button->addAction(UIControlEventTouchUpInside, [weakTitle](UIControl&) {
            if (auto label = weakTitle.lock())
                label->setText("Tapped");
        });
        m_window->addSubview(button);
        auto field = std::make_shared<UITextField>(CGRect { 20, 300, 350, 44 });
        field->setAccessibilityIdentifier("demo.field");
        m_window->addSubview(field);
        m_window->makeKeyAndVisible();
        return true;
    }
    std::shared_ptr<UIWindow> window() const override { return m_window; }

private:
    std::shared_ptr<UIWindow> m_window;
};

fs::path& outputFolder()
{
    static fs::path folder;
    return folder;
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Log::setSink([](std::string_view) {});
    outputFolder() = fs::path("/dev/shm") / ("zv-device-script-fuzz-" + std::to_string(::getpid()));
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(outputFolder(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Each script starts on a fresh screen, as a run of the app does.
    DeviceShellOptions options;
    options.outputFolder = outputFolder();
    options.realTimePerSecond = 0;
    DeviceShell shell(options);
    shell.launch(std::make_shared<ScreenDelegate>());

    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream errors;
    double start = Clock::now();
    int lines = 0;
    for (char c : script.str())
        lines += c == '\n';
    int failures = shell.run(script, "fuzz.txt", errors);
    check(failures >= 0 && failures <= lines + 1);
    // Each line waits at most ten minutes of virtual time (a drag or a wait for text a step more).
    check(Clock::now() - start <= (lines + 1) * 601.0);
    return 0;
}
