#pragma once

#include <algorithm>
#include <cmath>

// The device's volume and screen brightness as the players show and set them, 0 to 1. The
// simulated device has neither loudspeaker nor backlight, so the values are only kept.
// Main thread.
class SJDeviceVolumeAndBrightnessController {
public:
    static SJDeviceVolumeAndBrightnessController& shared()
    {
        static SJDeviceVolumeAndBrightnessController controller;
        return controller;
    }

    float volume() const { return m_volume; }
    void setVolume(float volume) { m_volume = clamp(volume); }
    float brightness() const { return m_brightness; }
    void setBrightness(float brightness) { m_brightness = clamp(brightness); }

    void resetForTesting() { *this = SJDeviceVolumeAndBrightnessController(); }

private:
    static float clamp(float value) { return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f; }

    float m_volume = 0.5f;
    float m_brightness = 0.5f;
};
