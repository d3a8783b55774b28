#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UITraitCollection.h"

#include <string>

enum class UIInterfaceOrientation {
    unknown,
    portrait,
    portraitUpsideDown,
    landscapeLeft,
    landscapeRight,
};

// Bit set of allowed orientations.
enum UIInterfaceOrientationMask : unsigned {
    UIInterfaceOrientationMaskPortrait = 1 << 1,
    UIInterfaceOrientationMaskPortraitUpsideDown = 1 << 2,
    UIInterfaceOrientationMaskLandscapeRight = 1 << 3,
    UIInterfaceOrientationMaskLandscapeLeft = 1 << 4,
    UIInterfaceOrientationMaskLandscape = (1 << 3) | (1 << 4),
    UIInterfaceOrientationMaskAll = (1 << 1) | (1 << 2) | (1 << 3) | (1 << 4),
    UIInterfaceOrientationMaskAllButUpsideDown = (1 << 1) | (1 << 3) | (1 << 4),
};

bool UIInterfaceOrientationIsLandscape(UIInterfaceOrientation orientation);

// Posted when the screen's brightness moved (the screen as object).
inline constexpr const char* UIScreenBrightnessDidChangeNotification = "UIScreenBrightnessDidChangeNotification";

// The simulated device: its portrait size in points, its scale, and the heights of the status
// bar and of the home indicator area in portrait.
struct UIDeviceProfile {
    std::string name = "iPhone 14";
    CGSize portraitSize { 390, 844 };
    CGFloat scale = 3;
    CGFloat statusBarHeight = 47;
    CGFloat bottomInset = 34;
    // Bottom inset in landscape, where the status bar is hidden and the notch sits at a side.
    CGFloat landscapeBottomInset = 21;

    bool operator==(const UIDeviceProfile&) const = default;
};

// The main screen of the simulated device.
class UIScreen {
public:
    // A first start's backlight: full, frames shown as drawn.
    static constexpr CGFloat startingBrightness = 1;

    static UIScreen& main();

    CGRect bounds() const;
    CGFloat scale() const { return m_profile.scale; }
    // Size in pixels, portrait.
    CGRect nativeBounds() const;
    const UIDeviceProfile& profile() const { return m_profile; }
    UITraitCollection traitCollection() const;

    UIInterfaceOrientation interfaceOrientation() const { return m_orientation; }
    // Rotates the interface: landscape swaps the bounds; application windows that covered the
    // screen are resized to cover it again.
    void setInterfaceOrientation(UIInterfaceOrientation orientation);

    // Insets of the status bar / notch and the home indicator for the current orientation.
    UIEdgeInsets safeAreaInsets() const;
    // The status bar's frame; empty in landscape, where the phone hides it.
    CGRect statusBarFrame() const;

    // The backlight, 0 (its dimmest, still lit) to 1 (full); full when the device starts. What is
    // drawn (screenshots) stays as it is: a screen shown live darkens what it presents by it.
    // Out-of-range values are held to the range, one that is no number is 0.
    CGFloat brightness() const { return m_brightness; }
    void setBrightness(CGFloat brightness);

    // Tests and the device shell: a different device, portrait.
    void setProfile(UIDeviceProfile profile);
    void resetForTesting();

private:
    UIScreen() = default;

    UIDeviceProfile m_profile;
    UIInterfaceOrientation m_orientation = UIInterfaceOrientation::portrait;
    CGFloat m_brightness = startingBrightness;
};
