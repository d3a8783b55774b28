#pragma once

#include "platform/ui/UIApplication.h"

#include <memory>

// The program entry of the headless device:
//   <program> [--script <file>] [--out <folder>] [--dark] [--landscape] [--stop-on-error]
//     [--real-time <seconds>]
// Runs the delegate in a DeviceShell, then the script (standard input without --script).
// --real-time sets the real seconds that each virtual second of waiting gives replies from other
// threads (DeviceShellOptions::realTimePerSecond, 0...10; 1 by default).
// Prints the output folder at the end. Returns 0 when every line ran, 1 when some failed (the
// app ending itself before the script's end, or with a status other than 0, among them), 2 for
// bad arguments.
int runDevice(int argc, char** argv, std::shared_ptr<UIApplicationDelegate> delegate);
