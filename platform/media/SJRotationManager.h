#pragma once

#include "platform/ui/UIScreen.h"

class UIWindow;

// The player framework's rotation manager, as far as the application delegate asks it: which
// orientations a window may take. The app stands in portrait; a screen that turns (the
// full-screen player) widens the set while it is up and narrows it again when it goes.
// Main thread.
class SJRotationManager {
public:
    static unsigned supportedInterfaceOrientationsForWindow(const UIWindow* window);

    // Portrait unless a screen says otherwise.
    static void setSupportedInterfaceOrientations(unsigned mask);
    static void resetForTesting();
};
