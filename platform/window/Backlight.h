#pragma once

#include <cstdint>

// The screen's backlight as a window shows it (UIScreen::brightness): the drawn frame is presented
// darkened by the level, as a phone's backlight dims what its screen shows, down to a lowest light
// that still shows the screen, dim rather than dark. What is drawn stays as it is.
namespace Backlight {

// The share of the drawn light that the dimmest backlight still gives.
inline constexpr double lowestLight = 0.25;

// The share of each drawn channel that the window shows at this brightness (0 to 1, held to it):
// lowestLight at 0, all of it at 1, in proportion between.
double lightShare(double brightness);

// The same as a multiplier of 0 to 255 over each colour channel (SDL's colour modulation).
std::uint8_t channelModulation(double brightness);

}
