#pragma once

#include "platform/ui/UIApplication.h"
#include "platform/ui/device/DeviceShell.h"

#include <memory>
#include <optional>
#include <string>

// The program entry of the headless device:
//   <program> [--script <file>] [--out <folder>] [--dark] [--landscape] [--stop-on-error]
//     [--real-time <seconds>] [--contrast off|report|enforce] [--contrast-allowed <file>]
// Runs the delegate in a DeviceShell, then the script (standard input without --script).
// --real-time sets the real seconds that each virtual second of waiting gives replies from other
// threads (DeviceShellOptions::realTimePerSecond, 0...10; 1 by default). --contrast checks the
// contrast of every screenshot (DeviceContrastCheck; off by default), accepting the light-style
// colours of the file that --contrast-allowed names (ContrastAllowances.h).
// Prints the output folder at the end. Returns 0 when every line ran, 1 when some failed (the
// app ending itself before the script's end, or with a status other than 0, among them), 2 for
// bad arguments.
int runDevice(int argc, char** argv, std::shared_ptr<UIApplicationDelegate> delegate);

// The device's options of a command line, as runDevice reads them.
struct DeviceArguments {
    DeviceShellOptions options;
    std::string scriptPath; // empty: none given
};
// Reads the options above; nothing (after a usage line on standard error) when one is unknown
// or lacks its value.
std::optional<DeviceArguments> parseDeviceArguments(int argc, char** argv);
