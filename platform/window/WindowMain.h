#pragma once

#include "platform/ui/UIApplication.h"
#include "platform/window/WindowInput.h"

#include <memory>

// The program entry of the device, headless or shown in a window:
//   <program> [device options]                                  headless (runDevice)
//   <program> --window [--scale <pixels per point>] [--levels <file>] [device options]
// In a window the application runs on the real clock with sound until the window is closed;
// a --script runs in the window first (standard input is not read). --levels keeps the device's
// volume and brightness in that file from one start to the next (KeptDeviceLevels). The style key
// goes through `styleChooser` when the application gives one (WindowInput::setStyleChooser).
// Returns 0 when every script line ran, 1 when some failed, 2 for bad arguments or when no window
// can open.
int runDeviceOrWindow(int argc, char** argv, std::shared_ptr<UIApplicationDelegate> delegate,
    WindowInput::StyleChooser styleChooser = {});
