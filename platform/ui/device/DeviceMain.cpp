#include "platform/ui/device/DeviceMain.h"

#include "platform/ui/device/DeviceShell.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

namespace {

// Real seconds per virtual second of waiting: a finite number within 0...10.
std::optional<double> realTime(const std::string& text)
{
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(value >= 0 && value <= 10))
        return std::nullopt;
    return value;
}

int usage()
{
    std::cerr << "usage: [--script <file>] [--out <folder>] [--dark] [--landscape] [--stop-on-error]"
                 " [--real-time <seconds>]\n";
    return 2;
}

}

int runDevice(int argc, char** argv, std::shared_ptr<UIApplicationDelegate> delegate)
{
    DeviceShellOptions options;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--script" && i + 1 < argc)
            scriptPath = argv[++i];
        else if (arg == "--out" && i + 1 < argc)
            options.outputFolder = argv[++i];
        else if (arg == "--dark")
            options.dark = true;
        else if (arg == "--landscape")
            options.landscape = true;
        else if (arg == "--stop-on-error")
            options.stopOnError = true;
        else if (arg == "--real-time" && i + 1 < argc && realTime(argv[i + 1]))
            options.realTimePerSecond = *realTime(argv[++i]);
        else
            return usage();
    }

    std::ifstream file;
    if (!scriptPath.empty()) {
        file.open(scriptPath);
        if (!file) {
            std::cerr << scriptPath << ": cannot open the script\n";
            return 2;
        }
    }

    DeviceShell shell(options);
    shell.launch(std::move(delegate));
    int failures = scriptPath.empty() ? shell.run(std::cin, "<stdin>", std::cerr)
                                      : shell.run(file, scriptPath, std::cerr);
    std::cout << "output: " << options.outputFolder.string() << "\n";
    return failures == 0 ? 0 : 1;
}
