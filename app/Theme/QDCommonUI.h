#pragma once

#include "platform/ui/CALayer.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIViewController.h"

#include <functional>
#include <memory>

// The places of the appearance customisers within renderGlobalAppearances, in running order.
enum class QDAppearanceSlot {
    moreOperation,
    alertController,
    dialog,
    imagePicker,
    emotionView,
    popup,
    searchBar,
    label,
    navigationTitleView,
};

// Global appearances that follow the theme, and a few themed factories. Main thread.
class QDCommonUI {
public:
    // Re-applies the appearances of the framework's components that take the theme (run again
    // after every theme change): the customiser of each slot in order.
    static void renderGlobalAppearances();

    // Installs (or, with an empty function, removes) the customiser of a slot. The alert, pop-up
    // (container and menu) and label slots have theirs from the start. The others wait for
    // framework components the platform does not have yet, which install theirs here when they
    // are built: the more-operation sheet, the dialog controller, the framework's multi-pick image
    // picker (its check-box cells and preview bar; the system picker takes no theme), the emotion
    // input view, a search bar with a centred placeholder, and the navigation title view.
    static void setAppearanceCustomiser(QDAppearanceSlot slot, std::function<void()> customiser);

    // The status-bar style of a search screen under the current theme: light content under
    // "Dark", dark content otherwise.
    static UIStatusBarStyle searchControllerStatusBarStyle();

    // One of ten fixed theme colours, picked at random.
    static UIColor randomThemeColor();

    // A plain layer in the configuration's separator colour.
    static std::shared_ptr<CALayer> generateSeparatorLayer();
};
