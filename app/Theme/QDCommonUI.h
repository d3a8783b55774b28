#pragma once

#include "platform/ui/CALayer.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIViewController.h"

#include <memory>

// Global appearances that follow the theme, and a few themed factories. Main thread.
class QDCommonUI {
public:
    // Re-applies the appearances of the framework's components that take the theme (run again
    // after every theme change).
    static void renderGlobalAppearances();

    // The status-bar style of a search screen under the current theme: light content under
    // "Dark", dark content otherwise.
    static UIStatusBarStyle searchControllerStatusBarStyle();

    // One of ten fixed theme colours, picked at random.
    static UIColor randomThemeColor();

    // A plain layer in the configuration's separator colour.
    static std::shared_ptr<CALayer> generateSeparatorLayer();
};
