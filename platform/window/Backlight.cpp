#include "platform/window/Backlight.h"

#include <algorithm>
#include <cmath>

double Backlight::lightShare(double brightness)
{
    double level = std::isfinite(brightness) ? std::clamp(brightness, 0.0, 1.0) : 0.0;
    return lowestLight + (1 - lowestLight) * level;
}

std::uint8_t Backlight::channelModulation(double brightness)
{
    return static_cast<std::uint8_t>(std::lround(lightShare(brightness) * 255));
}
