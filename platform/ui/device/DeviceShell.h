#pragma once

#include "platform/ui/UIApplication.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/device/ContrastAllowances.h"
#include "platform/ui/gestures/TouchDriver.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A command that the program adds to the shell's own, for steps that no control reaches: it gets
// the rest of the line and gives an error text, or nothing when it succeeded.
using DeviceShellCommand = std::function<std::optional<std::string>(const std::string& rest)>;
// Adds (or replaces) a command; the built-in and page commands keep their names. Main thread,
// before the script runs.
void registerDeviceShellCommand(std::string name, DeviceShellCommand command);

// Whether screenshots have the contrast of their texts and icons checked (ContrastAudit.h): not at
// all, with each text or icon short of its ratio reported as a note, or as a failure of the step.
enum class DeviceContrastCheck { off, report, enforce };

struct DeviceShellOptions {
    UIDeviceProfile profile;
    bool dark = false;
    bool landscape = false;
    // Stop at the first failing script line instead of reporting it and going on.
    bool stopOnError = false;
    DeviceContrastCheck contrast = DeviceContrastCheck::off;
    // Light-style colours of the program's design accepted below their ratio (none: no colour).
    std::shared_ptr<const ContrastAllowances> contrastAllowances;
    // Where screenshots and dumps go (created when needed).
    std::filesystem::path outputFolder = "out";
    // Real seconds that each virtual second of waiting spends waiting for work that other threads
    // post (network replies), and the most one wait may spend.
    double realTimePerSecond = 1.0;
    double maximumRealWait = 5.0;
    // The real clock instead of the virtual one (the device shown live in a window): a wait lasts
    // as long as it says, and whatever the main thread waits on meanwhile (the window's events,
    // through RunLoop::setWaiter) keeps being served.
    bool realTime = false;
    // Checked between script lines and while waiting in real time: true ends the wait at once and
    // the script after the current line (the window was closed).
    std::function<bool()> stopRequested;
};

// The headless device: the main run loop on the virtual clock (or the real one, for a window),
// the device's screen, the application with its delegate, and a command interpreter that drives it. Commands,
// one per line:
//   tap <x> <y> | tap-text <text> | tap-id <identifier> | double-tap <x> <y>
//   long-press <x> <y> <seconds> | drag <x1> <y1> <x2> <y2> <seconds>
//   pinch <x> <y> <from distance> <to distance> <seconds>   (two fingers, level, about x y)
//   type <text> | backspace <count> | return | wait <seconds> | wait-for-text <text> <timeout seconds>
//   wait-for-page [<text>] <timeout seconds>   (the front web view's page loaded and drawn, and
//                                              showing the text)
//   rotate landscape|portrait | background | foreground
//   screenshot <name> | dump <name> | alert <action title> | # comment
//   js-call <method> [argument] | js-close | pick-photo <file name>   (DeviceShellPageCommands.h)
//   and the program's own commands (registerDeviceShellCommand)
// Numbers must be finite; seconds lie within 0...600, points within ±100000 and distances within
// 0...100000. A line outside them is refused with the reason and waits for nothing.
// When the application ends the process (ProcessExit), the shell takes the ending over: time
// stops, and a script line left to run, or a status other than 0, is a failure; in real time it
// also stops the main run loop (a window's run() ends with it).
// Main thread only; one shell at a time, let go before main returns (not held by a static, which
// would end the application after some of what it reaches is gone).
class DeviceShell {
public:
    explicit DeviceShell(DeviceShellOptions options = {});
    ~DeviceShell();
    DeviceShell(const DeviceShell&) = delete;
    DeviceShell& operator=(const DeviceShell&) = delete;

    // Prepares clock, screen and application, then launches the delegate. Returns its answer.
    bool launch(std::shared_ptr<UIApplicationDelegate> delegate);
    // Ends the application as the phone's app switcher does: into the background (where it saves
    // what it keeps), then, once its background tasks have ended (within
    // backgroundTaskSeconds of real time, as a phone allows), terminated; its delegate and
    // windows are let go. Once; the destructor only terminates an application still running.
    void end();
    static constexpr double backgroundTaskSeconds = 5;

    // Runs one line; the error text when it fails (one line per fault).
    std::optional<std::string> execute(const std::string& line);
    // Runs every line; errors go to `errors` as "<source>:<line>: <message>", one such line per
    // fault, and contrast notes (DeviceContrastCheck::report) as "contrast note <source>:<line>:
    // <message>". Returns the number of faults.
    int run(std::istream& script, const std::string& sourceName, std::ostream& errors);

    // Moves the virtual clock, letting posted work from other threads in as it goes; by at most
    // 600 seconds per call.
    void wait(double seconds);

    // The status the application ended the process with, once it has.
    std::optional<int> exitStatus() const { return m_exitStatus; }

    TouchDriver& driver() { return m_driver; }
    const DeviceShellOptions& options() const { return m_options; }

    // Writes the screen as PNG / the window tree as text into the output folder; the path
    // written, or nothing on failure.
    std::optional<std::filesystem::path> screenshot(const std::string& name);
    std::optional<std::filesystem::path> dump(const std::string& name);

    // The notes that the lines run so far left (contrast short of its ratio, when only reported),
    // taken away.
    std::vector<std::string> takeNotes();

private:
    std::optional<std::string> tapAlertAction(const std::string& title);
    // The screenshot command: writes the picture, then checks its contrast as the options say.
    std::optional<std::string> screenshotStep(const std::string& name);
    // Writes the screen and gives the picture written.
    std::optional<std::filesystem::path> screenshot(const std::string& name, UIImage& shown);
    void applyStyle();
    bool stopRequested() const;
    // Gives the web views on screen the time to draw their pages at their present size.
    void waitForWebPages();
    // Terminates the application and lets its delegate go.
    void release();
    std::filesystem::path outputPath(const std::string& name, const std::string& extension);

    DeviceShellOptions m_options;
    TouchDriver m_driver;
    bool m_launched = false;
    std::optional<int> m_exitStatus;
    std::vector<std::string> m_notes;
};
