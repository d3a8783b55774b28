#include "platform/window/WindowMain.h"

#include "platform/media/SJMPVPlaybackController.h"
#include "platform/ui/device/DeviceMain.h"
#include "platform/window/WindowShell.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::cerr
        << "usage: [--window [--scale <pixels per point, 0.25 to 3>] [--levels <file>]] [--script <file>] "
           "[--out <folder>] [--dark] [--landscape] [--stop-on-error]\n";
    return 2;
}

std::optional<double> scaleArgument(const std::string& text)
{
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !WindowGeometry::isUsableScale(value))
        return std::nullopt;
    return value;
}

}

int runDeviceOrWindow(
    int argc, char** argv, std::shared_ptr<UIApplicationDelegate> delegate, WindowInput::StyleChooser styleChooser)
{
    bool window = false;
    std::optional<double> scale;
    std::filesystem::path levelsFile;
    std::vector<char*> rest = { argv[0] };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--window") {
            window = true;
        } else if (arg == "--scale") {
            if (i + 1 >= argc || !(scale = scaleArgument(argv[++i])))
                return usage();
        } else if (arg == "--levels") {
            if (i + 1 >= argc || !*argv[i + 1])
                return usage();
            levelsFile = argv[++i];
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (!window) {
        if (scale)
            return usage();
        return runDevice(argc, argv, std::move(delegate));
    }
    auto parsed = parseDeviceArguments(static_cast<int>(rest.size()), rest.data());
    if (!parsed)
        return 2;
    std::ifstream script;
    if (!parsed->scriptPath.empty()) {
        script.open(parsed->scriptPath);
        if (!script) {
            std::cerr << parsed->scriptPath << ": cannot open the script\n";
            return 2;
        }
    }

    WindowShellOptions options;
    options.device = parsed->options;
    options.window.title = std::filesystem::path(argv[0]).filename().string();
    options.window.scale = scale;
    options.styleChooser = std::move(styleChooser);
    options.levelsFile = std::move(levelsFile);
    std::string error;
    auto shell = WindowShell::open(options, &error);
    if (!shell) {
        std::cerr << "window: " << error << "\n";
        return 2;
    }
    // In a window the player is heard; headless it stays silent.
    SJMPVPlaybackController::setSoundEnabled(true);
    auto size = shell->window().pixelSize();
    std::cout << "window: " << size.width << "x" << size.height << " pixels at " << shell->window().scale()
              << " per point. The mouse is a finger (Ctrl+drag pinches), the wheel scrolls; Esc back, "
                 "Ctrl+R turns the phone, Ctrl+D light/dark; closing the window ends the app."
              << std::endl;
    shell->launch(std::move(delegate));
    int failures = 0;
    if (script.is_open()) {
        failures = shell->runScript(script, parsed->scriptPath, std::cerr);
        std::cout << "output: " << parsed->options.outputFolder.string() << std::endl;
    }
    shell->run();
    return failures == 0 ? 0 : 1;
}
