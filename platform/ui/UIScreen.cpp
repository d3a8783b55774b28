#include "platform/ui/UIScreen.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/DisplayUpdates.h"
#include "platform/ui/UIApplication.h"

#include <algorithm>
#include <cmath>

bool UIInterfaceOrientationIsLandscape(UIInterfaceOrientation o)
{
    return o == UIInterfaceOrientation::landscapeLeft || o == UIInterfaceOrientation::landscapeRight;
}

UIScreen& UIScreen::main()
{
    static UIScreen screen;
    return screen;
}

CGRect UIScreen::bounds() const
{
    CGSize s = m_profile.portraitSize;
    if (UIInterfaceOrientationIsLandscape(m_orientation))
        return { 0, 0, s.height, s.width };
    return { 0, 0, s.width, s.height };
}

CGRect UIScreen::nativeBounds() const
{
    return { 0, 0, m_profile.portraitSize.width * m_profile.scale,
        m_profile.portraitSize.height * m_profile.scale };
}

UITraitCollection UIScreen::traitCollection() const
{
    UITraitCollection traits;
    traits.userInterfaceStyle = UIUserInterfaceStyle::light;
    traits.displayScale = m_profile.scale;
    return traits;
}

void UIScreen::setInterfaceOrientation(UIInterfaceOrientation orientation)
{
    if (orientation == UIInterfaceOrientation::unknown || orientation == m_orientation)
        return;
    CGRect old = bounds();
    m_orientation = orientation;
    DisplayUpdates::setNeedsDisplay();
    CGRect now = bounds();
    if (old != now)
        UIApplication::shared().screenBoundsDidChange(old, now);
}

UIEdgeInsets UIScreen::safeAreaInsets() const
{
    const CGFloat top = m_profile.statusBarHeight;
    const bool homeIndicator = m_profile.bottomInset > 0;
    switch (m_orientation) {
    case UIInterfaceOrientation::landscapeLeft:
    case UIInterfaceOrientation::landscapeRight:
        // The notch is at one side; the phone keeps both sides clear.
        return { 0, top, homeIndicator ? m_profile.landscapeBottomInset : 0, top };
    case UIInterfaceOrientation::portraitUpsideDown:
        return { m_profile.bottomInset, 0, top, 0 };
    default:
        return { top, 0, m_profile.bottomInset, 0 };
    }
}

CGRect UIScreen::statusBarFrame() const
{
    if (UIInterfaceOrientationIsLandscape(m_orientation))
        return CGRect::zero();
    return { 0, 0, bounds().size.width, m_profile.statusBarHeight };
}

void UIScreen::setBrightness(CGFloat brightness)
{
    brightness = std::isfinite(brightness) ? std::clamp(brightness, CGFloat(0), CGFloat(1)) : 0;
    if (brightness == m_brightness)
        return;
    m_brightness = brightness;
    // A live screen presents its frame anew at the new level.
    DisplayUpdates::setNeedsDisplay();
    NotificationCenter::defaultCenter().post(UIScreenBrightnessDidChangeNotification, std::any(this));
}

void UIScreen::setProfile(UIDeviceProfile profile)
{
    CGRect old = bounds();
    m_profile = std::move(profile);
    if (!(m_profile.scale > 0))
        m_profile.scale = 1;
    m_orientation = UIInterfaceOrientation::portrait;
    if (old != bounds())
        UIApplication::shared().screenBoundsDidChange(old, bounds());
}

void UIScreen::resetForTesting()
{
    m_profile = UIDeviceProfile {};
    m_orientation = UIInterfaceOrientation::portrait;
    setBrightness(startingBrightness);
}
