#pragma once

#include "platform/ui/CGGeometry.h"

#include <memory>

class UIApplication;
class UIViewController;
class UIWindow;

// Windows and screens as the app's helpers see them. Main thread only.

// The key window while the application is in the foreground and active; otherwise, or when no
// visible window is key, the application delegate's window (which may be none).
std::shared_ptr<UIWindow> activeKeyWindow(const UIApplication& application);
std::shared_ptr<UIWindow> activeKeyWindow();

// The screen on top, where the app presents and pushes. It starts from the delegate's window
// when that has the normal level, else from the first visible window of normal level, else from
// the delegate's window whatever its level; none without a window.
std::shared_ptr<UIViewController> topViewController();
// Walks from the controller to what it presents, to the selection of a tab bar controller and to
// the visible controller of a navigation controller. A missing controller writes a console line
// and gives none; a tab bar controller without a selection gives none silently.
std::shared_ptr<UIViewController> topViewController(std::shared_ptr<UIViewController> from);

// Ends editing in the controller's view (forced), which hides the keyboard.
void dismissKeyboard(UIViewController& controller);

// The safe-area insets of the application delegate's window; zero without one.
UIEdgeInsets keyWindowSafeAreaInsets();
