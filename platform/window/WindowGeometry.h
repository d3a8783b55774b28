#pragma once

#include "platform/ui/CGGeometry.h"

// How the device's screen sits in a window of the desktop: its size in points times one scale,
// the same along both axes, so that pixels map back to points exactly.
namespace WindowGeometry {

// Scales go in quarter steps from the device's own pixel density down to a quarter.
inline constexpr double largestScale = 3;
inline constexpr double smallestScale = 0.25;
// What the desktop's frame around a window takes (title bar, borders), kept free of the screen.
inline constexpr double decorationPixels = 64;

// The largest scale at which a screen of `points` fits within `availablePixels` (the display's
// usable area) with room for the window's frame; the smallest scale when nothing fits.
double fittingScale(CGSize points, CGSize availablePixels);
// Whether a scale asked for by hand can be used: finite and within the bounds above.
bool isUsableScale(double scale);

// The window's size in pixels for the screen at the scale, rounded up as the renderer rounds.
struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};
PixelSize pixelSize(CGSize points, double scale);

// The point under a pixel of the window (its centre).
CGPoint pointAt(double pixelX, double pixelY, double scale);

}
