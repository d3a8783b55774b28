#pragma once

// Posted when the device's volume moved (no object): every playback engine plays at the new level.
inline constexpr const char* SJDeviceVolumeDidChangeNotification = "SJDeviceVolumeDidChangeNotification";

// The device's volume and screen brightness as the players show and set them, 0 to 1; a change
// takes effect at once. The volume is the loudness of every playback engine alive (each follows
// SJDeviceVolumeDidChangeNotification, and one made later starts at it); the brightness is the
// screen's backlight (UIScreen), which a window shows by darkening what it presents. The device
// starts at full volume and full brightness: engines play at their own full volume and the window
// shows frames as drawn until someone moves them. Out-of-range values are held to the range, one
// that is no number is 0. Main thread.
class SJDeviceVolumeAndBrightnessController {
public:
    // Where the device starts (see above).
    static constexpr float startingVolume = 1;

    static SJDeviceVolumeAndBrightnessController& shared();

    float volume() const { return m_volume; }
    void setVolume(float volume);
    float brightness() const;
    void setBrightness(float brightness);

    // The starting volume and the screen's starting brightness again, the engines told.
    void resetForTesting();

private:
    SJDeviceVolumeAndBrightnessController() = default;

    float m_volume = startingVolume;
};
