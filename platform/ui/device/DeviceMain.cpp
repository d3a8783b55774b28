#include "platform/ui/device/DeviceMain.h"

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

}

std::optional<DeviceContrastCheck> contrastCheck(const std::string& text)
{
    if (text == "off")
        return DeviceContrastCheck::off;
    if (text == "report")
        return DeviceContrastCheck::report;
    if (text == "enforce")
        return DeviceContrastCheck::enforce;
    return std::nullopt;
}

std::optional<DeviceArguments> parseDeviceArguments(int argc, char** argv)
{
    DeviceArguments parsed;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--script" && i + 1 < argc)
            parsed.scriptPath = argv[++i];
        else if (arg == "--out" && i + 1 < argc)
            parsed.options.outputFolder = argv[++i];
        else if (arg == "--dark")
            parsed.options.dark = true;
        else if (arg == "--landscape")
            parsed.options.landscape = true;
        else if (arg == "--stop-on-error")
            parsed.options.stopOnError = true;
        else if (arg == "--real-time" && i + 1 < argc && realTime(argv[i + 1]))
            parsed.options.realTimePerSecond = *realTime(argv[++i]);
        else if (arg == "--contrast" && i + 1 < argc && contrastCheck(argv[i + 1]))
            parsed.options.contrast = *contrastCheck(argv[++i]);
        else if (arg == "--contrast-allowed" && i + 1 < argc) {
            auto loaded = ContrastAllowances::load(argv[++i]);
            if (auto* fault = std::get_if<std::string>(&loaded)) {
                std::cerr << *fault << "\n";
                return std::nullopt;
            }
            parsed.options.contrastAllowances
                = std::make_shared<const ContrastAllowances>(std::get<ContrastAllowances>(std::move(loaded)));
        } else {
            std::cerr
                << "usage: [--script <file>] [--out <folder>] [--dark] [--landscape] [--stop-on-error]"
                   " [--real-time <seconds>] [--contrast off|report|enforce] [--contrast-allowed <file>]\n";
            return std::nullopt;
        }
    }
    return parsed;
}

int runDevice(int argc, char** argv, std::shared_ptr<UIApplicationDelegate> delegate)
{
    auto parsed = parseDeviceArguments(argc, argv);
    if (!parsed)
        return 2;
    DeviceShellOptions& options = parsed->options;
    const std::string& scriptPath = parsed->scriptPath;

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
