#pragma once

#include "platform/ui/UIApplication.h"

#include <memory>

// The program entry of the headless device:
//   <program> [--script <file>] [--out <folder>] [--dark] [--landscape] [--stop-on-error]
// Runs the delegate in a DeviceShell, then the script (standard input without --script).
// Prints the output folder at the end. Returns 0 when every line ran, 1 when some failed,
// 2 for bad arguments.
int runDevice(int argc, char** argv, std::shared_ptr<UIApplicationDelegate> delegate);
