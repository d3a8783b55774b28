#pragma once

#include "platform/ui/CGGeometry.h"

// Device and screen facts and the pixel rounding that the framework's layout code uses.
class QMUIHelper {
public:
    // Whether the device is an iPad (the simulated device is a phone).
    static bool isIPad();
    // The status bar's height on this device even while it is hidden: the portrait height of the
    // profile in portrait, 0 in landscape (where a notched phone shows none).
    static CGFloat statusBarHeightConstant();
    // Whether global appearances may be re-rendered now: not while the configuration's initial
    // templates are being applied (the components are not set up yet).
    static bool canUpdateAppearance();
    // Rounds up to the screen's pixel grid: ceil(v * scale) / scale; the smallest positive normal
    // double counts as 0.
    static CGFloat flat(CGFloat value);
};
