#pragma once

#include <string>

enum class UIDeviceOrientation {
    unknown,
    portrait,
    portraitUpsideDown,
    landscapeLeft,
    landscapeRight,
    faceUp,
    faceDown,
};

enum class UIUserInterfaceIdiom { unspecified, phone, pad };

inline constexpr const char* UIDeviceOrientationDidChangeNotification
    = "UIDeviceOrientationDidChangeNotification";

// The simulated phone.
class UIDevice {
public:
    static UIDevice& current();

    std::string systemName() const { return "iOS"; }
    // From the information keys (see DeviceInfo).
    std::string systemVersion() const;
    std::string model() const;
    std::string name() const;
    UIUserInterfaceIdiom userInterfaceIdiom() const { return UIUserInterfaceIdiom::phone; }

    UIDeviceOrientation orientation() const { return m_orientation; }
    // The phone was turned: posts the orientation notification when the value changes.
    void setOrientation(UIDeviceOrientation orientation);

    void resetForTesting() { m_orientation = UIDeviceOrientation::portrait; }

private:
    UIDevice() = default;
    UIDeviceOrientation m_orientation = UIDeviceOrientation::portrait;
};
