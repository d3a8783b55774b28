#include "platform/ui/device/DeviceShell.h"

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/ProcessExit.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/device/ContrastAudit.h"
#include "platform/ui/device/DeviceShellPageCommands.h"
#include "platform/ui/web/WKWebView.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <istream>
#include <map>
#include <ostream>
#include <sstream>
#include <utility>
#include <variant>
#include <vector>

namespace {

std::map<std::string, DeviceShellCommand>& programCommands()
{
    static std::map<std::string, DeviceShellCommand> commands;
    return commands;
}

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

// Bounds of the numbers a script may give: a wait or a gesture lasts at most ten minutes of
// virtual time, and points and distances stay within a screen's reach many times over, so no
// line can hang the run or overflow a conversion further on.
constexpr double maximumDuration = 600;
constexpr double maximumCoordinate = 100000;

enum class Quantity { Coordinate, Distance, Duration };

struct Bounds {
    double lowest;
    double highest;
    const char* unit;
};

Bounds boundsOf(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Coordinate:
        return { -maximumCoordinate, maximumCoordinate, "points" };
    case Quantity::Distance:
        return { 0, maximumCoordinate, "points" };
    case Quantity::Duration:
        return { 0, maximumDuration, "seconds" };
    }
    return { 0, 0, "" };
}

std::string formatted(double value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

// A number of the quantity, or why the word is not one.
std::variant<double, std::string> number(const std::string& word, Quantity quantity)
{
    char* end = nullptr;
    errno = 0;
    double value = word.empty() ? 0 : std::strtod(word.c_str(), &end);
    bool whole = !word.empty() && end == word.c_str() + word.size();
    // strtod reads "nan" and "inf", and gives ±HUGE_VAL with ERANGE on overflow.
    if (!whole || std::isnan(value) || (std::isinf(value) && errno != ERANGE))
        return "\"" + word + "\" is not a finite number";
    Bounds bounds = boundsOf(quantity);
    if (!(value >= bounds.lowest && value <= bounds.highest))
        return word + " is out of range (" + formatted(bounds.lowest) + " to " + formatted(bounds.highest)
            + " " + bounds.unit + ")";
    return value;
}

// Parses exactly as many numbers as quantities are given; the usage line when the count is wrong.
std::variant<std::vector<double>, std::string> numbers(const std::vector<std::string>& args,
    std::initializer_list<Quantity> quantities, const std::string& usage)
{
    if (args.size() != quantities.size())
        return usage;
    std::vector<double> values;
    auto quantity = quantities.begin();
    for (const auto& arg : args) {
        auto value = number(arg, *quantity++);
        if (auto* reason = std::get_if<std::string>(&value))
            return *reason;
        values.push_back(std::get<double>(value));
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
    release();
}

void DeviceShell::end()
{
    if (!m_launched)
        return;
    UIApplication::shared().enterBackground();
    // What it started on its way out (a report of where the viewer was) would be lost with the
    // process: it gets the time a phone gives it.
    UIApplication::shared().finishBackgroundTasks(backgroundTaskSeconds);
    release();
}

void DeviceShell::release()
{
    m_launched = false;
    ProcessExit::setHandler({});
    UIApplication::shared().terminate();
    // Let the delegate and its windows go while the application still exists: windows report
    // to it when they die, and it is a static that may be destroyed first at exit.
    UIApplication::shared().setDelegate(nullptr);
    RunLoop::main().drain();
}

bool DeviceShell::launch(std::shared_ptr<UIApplicationDelegate> delegate)
{
    // Runs are reproducible: only the shell moves time. Shown live, time is the wall clock's.
    RunLoop::main().reset();
    if (m_options.realTime)
        Clock::useReal();
    else
        Clock::useVirtual();
    // The application's own ending stops the run instead of the process, which still has to
    // report how the script went. Live, the ending also ends the program's own loop (the window's).
    m_exitStatus.reset();
    ProcessExit::setHandler([this](int status) {
        if (!m_exitStatus)
            m_exitStatus = status;
        if (m_options.realTime)
            RunLoop::main().stop();
    });
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
    // The script's bounds hold for callers in code too: the step count stays a small int.
    seconds = std::isnan(seconds) ? 0 : std::clamp(seconds, 0.0, maximumDuration);
    if (m_options.realTime) {
        RunLoop::main().runUntil([this] { return stopRequested() || m_exitStatus; }, seconds);
        applyStyle();
        return;
    }
    double realBudget = std::min(m_options.maximumRealWait, seconds * m_options.realTimePerSecond);
    int steps = std::max(1, static_cast<int>(std::ceil(seconds / step)));
    for (int i = 0; i < steps && !m_exitStatus; ++i) {
        RunLoop::main().advance(seconds / steps);
        if (realBudget > 0)
            RunLoop::main().runUntil([] { return false; }, realBudget / steps);
    }
    applyStyle();
}

bool DeviceShell::stopRequested() const
{
    return m_options.stopRequested && m_options.stopRequested();
}

std::filesystem::path DeviceShell::outputPath(const std::string& name, const std::string& extension)
{
    std::filesystem::path file = name;
    if (file.extension() != extension)
        file += extension;
    return m_options.outputFolder / file;
}

namespace {

// Whether a shown web view has not drawn its page at its present size yet.
bool webPageBehind(const UIView& view)
{
    if (view.isHidden() || view.alpha() < 0.01)
        return false;
    if (auto* web = dynamic_cast<const WKWebView*>(&view); web && web->isDrawingBehind())
        return true;
    for (const auto& subview : view.subviews()) {
        if (webPageBehind(*subview))
            return true;
    }
    return false;
}

}

void DeviceShell::waitForWebPages()
{
    auto behind = [] {
        for (const auto& window : TouchDriver::windowsFrontToBack()) {
            window->layoutIfNeeded();
            if (webPageBehind(*window))
                return true;
        }
        return false;
    };
    // The engine draws a page moments after it loads or is resized, in real time.
    RunLoop::main().runUntil([&] { return !behind() || stopRequested(); }, m_options.maximumRealWait);
}

std::optional<std::filesystem::path> DeviceShell::screenshot(const std::string& name)
{
    UIImage shown;
    return screenshot(name, shown);
}

std::optional<std::filesystem::path> DeviceShell::screenshot(const std::string& name, UIImage& shown)
{
    if (!isSafeName(name))
        return std::nullopt;
    std::error_code error;
    std::filesystem::create_directories(m_options.outputFolder, error);
    wait(0);
    waitForWebPages();
    auto path = outputPath(name, ".png");
    // A layout pass can ask for another (lists sizing their cells): the picture shows the tree
    // once it has settled, as the contrast check then finds it.
    for (int pass = 0; pass < 3; ++pass)
        for (const auto& window : UIApplication::shared().windows())
            window->layoutIfNeeded();
    shown = Renderer::renderScreen();
    if (!Renderer::writePNG(shown, path))
        return std::nullopt;
    return path;
}

std::optional<std::string> DeviceShell::screenshotStep(const std::string& name)
{
    UIImage shown;
    if (!screenshot(name, shown))
        return "cannot write into " + m_options.outputFolder.string();
    if (m_options.contrast == DeviceContrastCheck::off)
        return std::nullopt;
    std::string faults;
    for (const ContrastFinding& finding : ContrastAudit::measureScreen(shown)) {
        if (finding.passes())
            continue;
        if (m_options.contrastAllowances && m_options.contrastAllowances->allowing(finding))
            continue;
        std::string line = "contrast on " + name + ": " + finding.description();
        if (m_options.contrast == DeviceContrastCheck::report) {
            m_notes.push_back(std::move(line));
            continue;
        }
        faults += (faults.empty() ? "" : "\n") + line;
    }
    if (faults.empty())
        return std::nullopt;
    return faults;
}

std::vector<std::string> DeviceShell::takeNotes()
{
    return std::exchange(m_notes, {});
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
    if (m_exitStatus)
        return "the app has ended (status " + std::to_string(*m_exitStatus) + ")";
    auto space = line.find_first_of(" \t");
    std::string command = line.substr(0, space);
    std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    auto args = words(rest);
    const std::string usage = "usage: ";

    using enum Quantity;
    if (command == "tap" || command == "double-tap") {
        auto parsed = numbers(args, { Coordinate, Coordinate }, usage + command + " <x> <y>");
        if (auto* reason = std::get_if<std::string>(&parsed))
            return *reason;
        auto& v = std::get<std::vector<double>>(parsed);
        bool hit = command == "tap" ? m_driver.tap({ v[0], v[1] }) : m_driver.doubleTap({ v[0], v[1] });
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
        auto parsed
            = numbers(args, { Coordinate, Coordinate, Duration }, usage + "long-press <x> <y> <seconds>");
        if (auto* reason = std::get_if<std::string>(&parsed))
            return *reason;
        auto& v = std::get<std::vector<double>>(parsed);
        return m_driver.longPress({ v[0], v[1] }, v[2])
            ? std::nullopt
            : std::optional<std::string>("nothing to touch there");
    }
    if (command == "drag") {
        auto parsed = numbers(args, { Coordinate, Coordinate, Coordinate, Coordinate, Duration },
            usage + "drag <x1> <y1> <x2> <y2> <seconds>");
        if (auto* reason = std::get_if<std::string>(&parsed))
            return *reason;
        auto& v = std::get<std::vector<double>>(parsed);
        return m_driver.drag({ v[0], v[1] }, { v[2], v[3] }, v[4])
            ? std::nullopt
            : std::optional<std::string>("nothing to touch there");
    }
    if (command == "pinch") {
        auto parsed = numbers(args, { Coordinate, Coordinate, Distance, Distance, Duration },
            usage + "pinch <x> <y> <from distance> <to distance> <seconds>");
        if (auto* reason = std::get_if<std::string>(&parsed))
            return *reason;
        auto& v = std::get<std::vector<double>>(parsed);
        return m_driver.pinch({ v[0], v[1] }, v[2], v[3], v[4])
            ? std::nullopt
            : std::optional<std::string>("nothing to touch there");
    }
    if (command == "type") {
        if (rest.empty())
            return usage + "type <text>";
        return m_driver.type(rest) ? std::nullopt
                                   : std::optional<std::string>("no text input is first responder");
    }
    if (command == "backspace") {
        // A count of key presses: a field that comes filled is emptied before typing anew.
        int count = 0;
        const char* first = rest.data();
        const char* last = rest.data() + rest.size();
        auto [end, error] = std::from_chars(first, last, count);
        if (error != std::errc() || end != last || count < 1 || count > 1000)
            return usage + "backspace <count 1...1000>";
        return m_driver.deleteBackward(count)
            ? std::nullopt
            : std::optional<std::string>("no text input is first responder");
    }
    if (command == "return") {
        return m_driver.pressReturn() ? std::nullopt
                                      : std::optional<std::string>("no text input is first responder");
    }
    if (command == "wait") {
        auto parsed = numbers(args, { Duration }, usage + "wait <seconds>");
        if (auto* reason = std::get_if<std::string>(&parsed))
            return *reason;
        wait(std::get<std::vector<double>>(parsed)[0]);
        return std::nullopt;
    }
    if (command == "wait-for-text") {
        auto cut = rest.find_last_not_of(" \t");
        cut = cut == std::string::npos ? std::string::npos : rest.find_last_of(" \t", cut);
        std::string text = cut == std::string::npos ? std::string() : textArgument(rest.substr(0, cut));
        if (args.empty() || text.empty())
            return usage + "wait-for-text <text> <timeout seconds>";
        auto timeout = number(args.back(), Duration);
        if (auto* reason = std::get_if<std::string>(&timeout))
            return *reason;
        // Counted in whole steps, so the number of steps is bounded by the timeout.
        constexpr double step = 0.1;
        auto steps = static_cast<long>(std::ceil(std::get<double>(timeout) / step));
        for (long done = 0;; ++done) {
            if (TouchDriver::findText(text))
                return std::nullopt;
            if (done >= steps || stopRequested())
                return "\"" + text + "\" did not appear within " + args.back() + " s";
            wait(step);
        }
    }
    if (command == "wait-for-page") {
        // "wait-for-page <timeout>" or "wait-for-page <text> <timeout>".
        auto cut = rest.find_last_not_of(" \t");
        cut = cut == std::string::npos ? std::string::npos : rest.find_last_of(" \t", cut);
        std::string text = cut == std::string::npos ? std::string() : textArgument(rest.substr(0, cut));
        if (args.empty())
            return usage + "wait-for-page [<text>] <timeout seconds>";
        auto timeout = number(args.back(), Duration);
        if (auto* reason = std::get_if<std::string>(&timeout))
            return *reason;
        constexpr double step = 0.1;
        auto steps = static_cast<long>(std::ceil(std::get<double>(timeout) / step));
        for (long done = 0;; ++done) {
            auto web = frontWebPage();
            if (web)
                web->window()->layoutIfNeeded();
            if (web && web->hasPage() && web->hasPainted()
                && (text.empty() || web->pageText().find(text) != std::string::npos))
                return std::nullopt;
            if (done >= steps || stopRequested()) {
                if (!web)
                    return "no web page on screen within " + args.back() + " s";
                if (web->lastError())
                    return "the page did not load: " + web->lastError()->localizedDescription();
                return text.empty()
                    ? "the page was not drawn within " + args.back() + " s"
                    : "\"" + text + "\" did not appear in the page within " + args.back() + " s";
            }
            wait(step);
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
        if (command == "screenshot")
            return screenshotStep(name);
        return dump(name)
            ? std::nullopt
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
    auto& commands = programCommands();
    if (auto found = commands.find(command); found != commands.end())
        return found->second(trim(rest));
    return "unknown command \"" + command + "\"";
}

int DeviceShell::run(std::istream& script, const std::string& sourceName, std::ostream& errors)
{
    int failures = 0;
    int number = 0;
    auto report = [&](int line, const std::string& message) {
        std::istringstream faults(message);
        for (std::string fault; std::getline(faults, fault);) {
            ++failures;
            errors << sourceName << ":" << line << ": " << fault << "\n";
        }
    };
    for (std::string line; !stopRequested() && std::getline(script, line);) {
        ++number;
        auto error = execute(line);
        for (const std::string& note : takeNotes())
            errors << "contrast note " << sourceName << ":" << number << ": " << note << "\n";
        if (error) {
            report(number, *error);
            if (m_options.stopOnError)
                break;
        }
        if (!m_exitStatus)
            continue;
        // The app ended during this line: only comments may follow.
        std::string status = std::to_string(*m_exitStatus);
        if (*m_exitStatus != 0)
            report(number, "the app ended with status " + status);
        for (std::string rest; std::getline(script, rest);) {
            ++number;
            std::string text = trim(rest);
            if (!text.empty() && text.front() != '#') {
                report(number, "the app ended (status " + status + ") before this line");
                break;
            }
        }
        break;
    }
    errors.flush();
    return failures;
}

void registerDeviceShellCommand(std::string name, DeviceShellCommand command)
{
    programCommands()[std::move(name)] = std::move(command);
}
