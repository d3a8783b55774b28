#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIImage.h"

#include <memory>
#include <optional>

class DispatchQueue;
class UIWindow;
class UserDefaults;

// Process-wide layout constants read by nearly every screen. Each is computed on its first use,
// under its own once-guard, and never again: values first read in landscape stay landscape
// values after the device turns back.

CGRect screenBounds();
CGFloat screenWidth();
CGFloat screenHeight();
// A screen at least 812 points high (the phones with a notch).
bool isFullScreen();
// 34 on a full-screen phone, else 0.
CGFloat bottomSafeAreaHeight();
// Height of the application's status bar frame.
CGFloat statusBarHeight();
// statusBarHeight() + 44.
CGFloat navigationBarHeight();
CGFloat screenShortSide();
CGFloat screenLongSide();
// The asset "placeholder_nor": the default placeholder of network images.
const std::optional<UIImage>& placeholderImage();
UserDefaults& standardDefaults();
DispatchQueue& mainQueue();
// The first key window in the application's window list at the first use; none when none.
const std::shared_ptr<UIWindow>& cachedKeyWindow();
// Tests that start the app again in one process (a window of its own each time): the next use
// looks for the key window again.
void resetCachedKeyWindowForTesting();
