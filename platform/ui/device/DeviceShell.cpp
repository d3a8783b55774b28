#include "platform/ui/device/DeviceShell.h"

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/device/DeviceShellPageCommands.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>
#include <vector>

namespace {

std::string trim(const std::string& text)
{
    auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return {};
    auto end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

// A text argument: the rest of the line, without surrounding double quotes.
std::string textArgument(const std::string& rest)
{
    std::string text = trim(rest);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

std::vector<std::string> words(const std::string& text)
{
    std::istringstream stream(text);
    std::vector<std::string> list;
    for (std::string word; stream >> word;)
        list.push_back(word);
    return list;
}

std::optional<double> number(const std::string& word)
{
    if (word.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(word.c_str(), &end);
    if (errno != 0 || end != word.c_str() + word.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Parses exactly `count` numbers.
std::optional<std::vector<double>> numbers(const std::vector<std::string>& args, std::size_t count)
{
    if (args.size() != count)
        return std::nullopt;
    std::vector<double> values;
    for (const auto& arg : args) {
        auto value = number(arg);
        if (!value)
            return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

// Names become plain file names: no folders, no hidden files.
bool isSafeName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos && name.find('\\') == std::string::npos
        && name.front() != '.';
}

}

DeviceShell::DeviceShell(DeviceShellOptions options)
    : m_options(std::move(options))
    , m_driver([this](double seconds) { wait(seconds); })
{ }

DeviceShell::~DeviceShell()
{
    if (!m_launched)
        return;
    UIApplication::shared().terminate();
    // Let the delegate and its windows go while the application still exists: windows report
    // to it when they die, and it is a static that may be destroyed first at exit.
    UIApplication::shared().setDelegate(nullptr);
    RunLoop::main().drain();
}

bool DeviceShell::launch(std::shared_ptr<UIApplicationDelegate> delegate)
{
    // Runs are reproducible: only the shell moves time.
    RunLoop::main().reset();
    Clock::useVirtual();
    UIScreen::main().setProfile(m_options.profile);
    UIScreen::main().setInterfaceOrientation(
        m_options.landscape ? UIInterfaceOrientation::landscapeRight : UIInterfaceOrientation::portrait);
    bool answer = UIApplication::shared().launch(std::move(delegate));
    m_launched = true;
    applyStyle();
    wait(0);
    return answer;
}

void DeviceShell::applyStyle()
{
    if (!m_options.dark)
        return;
    for (const auto& window : UIApplication::shared().windows()) {
        if (window->overrideUserInterfaceStyle() == UIUserInterfaceStyle::unspecified)
            window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    }
}

void DeviceShell::wait(double seconds)
{
    constexpr double step = 0.05;
    double realBudget
        = std::min(m_options.maximumRealWait, std::max(0.0, seconds) * m_options.realTimePerSecond);
    int steps = std::max(1, static_cast<int>(std::ceil(seconds / step)));
    for (int i = 0; i < steps; ++i) {
        RunLoop::main().advance(std::max(0.0, seconds) / steps);
        if (realBudget > 0)
            RunLoop::main().runUntil([] { return false; }, realBudget / steps);
    }
    applyStyle();
}

std::filesystem::path DeviceShell::outputPath(const std::string& name, const std::string& extension)
{
    std::filesystem::path file = name;
    if (file.extension() != extension)
        file += extension;
    return m_options.outputFolder / file;
}

std::optional<std::filesystem::path> DeviceShell::screenshot(const std::string& name)
{
    if (!isSafeName(name))
        return std::nullopt;
    std::error_code error;
    std::filesystem::create_directories(m_options.outputFolder, error);
    wait(0);
    auto path = outputPath(name, ".png");
    if (!Renderer::writePNG(Renderer::renderScreen(), path))
        return std::nullopt;
    return path;
}

std::optional<std::filesystem::path> DeviceShell::dump(const std::string& name)
{
    if (!isSafeName(name))
        return std::nullopt;
    std::error_code error;
    std::filesystem::create_directories(m_options.outputFolder, error);
    wait(0);
    auto path = outputPath(name, ".txt");
    std::ofstream out(path);
    if (!out)
        return std::nullopt;
    for (const auto& window : TouchDriver::windowsFrontToBack()) {
        window->layoutIfNeeded();
        std::string tree = Renderer::dumpViewTree(*window);
        out << tree;
        if (!tree.empty() && tree.back() != '\n')
            out << '\n';
    }
    out.close();
    if (!out)
        return std::nullopt;
    return path;
}

std::optional<std::string> DeviceShell::tapAlertAction(const std::string& title)
{
    // The alert is the front-most content; its action buttons show their titles.
    auto view = TouchDriver::findText(title);
    if (!view || TouchDriver::visibleText(*view) != title)
        return "no alert action \"" + title + "\" on screen";
    if (!m_driver.tapView(*view))
        return "alert action \"" + title + "\" cannot be tapped";
    return std::nullopt;
}

std::optional<std::string> DeviceShell::execute(const std::string& rawLine)
{
    std::string line = trim(rawLine);
    if (line.empty() || line.front() == '#')
        return std::nullopt;
    auto space = line.find_first_of(" \t");
    std::string command = line.substr(0, space);
    std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    auto args = words(rest);
    const std::string usage = "usage: ";

    if (command == "tap" || command == "double-tap") {
        auto v = numbers(args, 2);
        if (!v)
            return usage + command + " <x> <y>";
        bool hit = command == "tap" ? m_driver.tap({ (*v)[0], (*v)[1] })
                                    : m_driver.doubleTap({ (*v)[0], (*v)[1] });
        return hit ? std::nullopt : std::optional<std::string>("nothing to touch at " + rest);
    }
    if (command == "tap-text" || command == "tap-id") {
        std::string text = textArgument(rest);
        if (text.empty())
            return usage + command + (command == "tap-text" ? " <text>" : " <accessibility id>");
        bool done = command == "tap-text" ? m_driver.tapText(text) : m_driver.tapIdentifier(text);
        return done ? std::nullopt : std::optional<std::string>("no visible view with \"" + text + "\"");
    }
    if (command == "long-press") {
        auto v = numbers(args, 3);
        if (!v || (*v)[2] < 0)
            return usage + "long-press <x> <y> <seconds>";
        return m_driver.longPress({ (*v)[0], (*v)[1] }, (*v)[2])
            ? std::nullopt
            : std::optional<std::string>("nothing to touch there");
    }
    if (command == "drag") {
        auto v = numbers(args, 5);
        if (!v || (*v)[4] < 0)
            return usage + "drag <x1> <y1> <x2> <y2> <seconds>";
        return m_driver.drag({ (*v)[0], (*v)[1] }, { (*v)[2], (*v)[3] }, (*v)[4])
            ? std::nullopt
            : std::optional<std::string>("nothing to touch there");
    }
    if (command == "pinch") {
        auto v = numbers(args, 5);
        if (!v || (*v)[2] < 0 || (*v)[3] < 0 || (*v)[4] < 0)
            return usage + "pinch <x> <y> <from distance> <to distance> <seconds>";
        return m_driver.pinch({ (*v)[0], (*v)[1] }, (*v)[2], (*v)[3], (*v)[4])
            ? std::nullopt
            : std::optional<std::string>("nothing to touch there");
    }
    if (command == "type") {
        if (rest.empty())
            return usage + "type <text>";
        return m_driver.type(rest) ? std::nullopt
                                   : std::optional<std::string>("no text input is first responder");
    }
    if (command == "return") {
        return m_driver.pressReturn() ? std::nullopt
                                      : std::optional<std::string>("no text input is first responder");
    }
    if (command == "wait") {
        auto v = numbers(args, 1);
        if (!v || (*v)[0] < 0)
            return usage + "wait <seconds>";
        wait((*v)[0]);
        return std::nullopt;
    }
    if (command == "wait-for-text") {
        double timeout = -1;
        if (!args.empty())
            timeout = number(args.back()).value_or(-1);
        auto cut = rest.find_last_not_of(" \t");
        cut = cut == std::string::npos ? std::string::npos : rest.find_last_of(" \t", cut);
        std::string text = cut == std::string::npos ? std::string() : textArgument(rest.substr(0, cut));
        if (timeout < 0 || text.empty())
            return usage + "wait-for-text <text> <timeout seconds>";
        for (double waited = 0;; waited += 0.1) {
            if (TouchDriver::findText(text))
                return std::nullopt;
            if (waited >= timeout)
                return "\"" + text + "\" did not appear within " + args.back() + " s";
            wait(0.1);
        }
    }
    if (command == "rotate") {
        if (args.size() != 1 || (args[0] != "landscape" && args[0] != "portrait"))
            return usage + "rotate landscape|portrait";
        UIScreen::main().setInterfaceOrientation(args[0] == "landscape"
                ? UIInterfaceOrientation::landscapeRight
                : UIInterfaceOrientation::portrait);
        wait(0);
        return std::nullopt;
    }
    if (command == "background" || command == "foreground") {
        if (!args.empty())
            return usage + command;
        if (command == "background")
            UIApplication::shared().enterBackground();
        else
            UIApplication::shared().enterForeground();
        wait(0);
        return std::nullopt;
    }
    if (command == "screenshot" || command == "dump") {
        std::string name = textArgument(rest);
        if (!isSafeName(name))
            return usage + command + " <name> (a plain file name)";
        auto written = command == "screenshot" ? screenshot(name) : dump(name);
        return written ? std::nullopt
                       : std::optional<std::string>("cannot write into " + m_options.outputFolder.string());
    }
    if (command == "alert") {
        std::string title = textArgument(rest);
        if (title.empty())
            return usage + "alert <action title>";
        return tapAlertAction(title);
    }
    if (auto handled = runPageCommand(command, rest))
        return *handled;
    return "unknown command \"" + command + "\"";
}

int DeviceShell::run(std::istream& script, const std::string& sourceName, std::ostream& errors)
{
    int failures = 0;
    int number = 0;
    for (std::string line; std::getline(script, line);) {
        ++number;
        if (auto error = execute(line)) {
            ++failures;
            errors << sourceName << ":" << number << ": " << *error << "\n";
            if (m_options.stopOnError)
                break;
        }
    }
    errors.flush();
    return failures;
}
