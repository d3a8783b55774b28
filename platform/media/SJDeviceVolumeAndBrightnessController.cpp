#include "platform/media/SJDeviceVolumeAndBrightnessController.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIScreen.h"

#include <algorithm>
#include <cmath>

namespace {

float level(float value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
}

}

SJDeviceVolumeAndBrightnessController& SJDeviceVolumeAndBrightnessController::shared()
{
    static SJDeviceVolumeAndBrightnessController controller;
    return controller;
}

void SJDeviceVolumeAndBrightnessController::setVolume(float volume)
{
    volume = level(volume);
    if (volume == m_volume)
        return;
    m_volume = volume;
    NotificationCenter::defaultCenter().post(SJDeviceVolumeDidChangeNotification);
}

float SJDeviceVolumeAndBrightnessController::brightness() const
{
    return static_cast<float>(UIScreen::main().brightness());
}

void SJDeviceVolumeAndBrightnessController::setBrightness(float brightness)
{
    UIScreen::main().setBrightness(level(brightness));
}

void SJDeviceVolumeAndBrightnessController::resetForTesting()
{
    setVolume(startingVolume);
    setBrightness(static_cast<float>(UIScreen::startingBrightness));
}
