#pragma once

// The framework's on-screen log console. This platform has no console panel: the console only
// keeps whether it may show (the app turns that off at start) and whether it was asked to show.
// It never adds a view or a window. Main thread.
class QMUIConsole {
public:
    // On until the app turns it off.
    static bool canShow();
    // Turning it off also hides the console.
    static void setCanShow(bool canShow);

    // Asks the console to show; refused (false) while it cannot show.
    static bool show();
    static void hide();
    static bool isShowing();

    static void resetForTesting();
};
