#include "platform/window/WindowGeometry.h"

#include <algorithm>
#include <cmath>

namespace WindowGeometry {

double fittingScale(CGSize points, CGSize availablePixels)
{
    if (!(points.width > 0) || !(points.height > 0))
        return smallestScale;
    double width = availablePixels.width - decorationPixels;
    double height = availablePixels.height - decorationPixels;
    double fit = std::min(width / points.width, height / points.height);
    if (!std::isfinite(fit))
        return smallestScale;
    double stepped = std::floor(fit * 4) / 4;
    return std::clamp(stepped, smallestScale, largestScale);
}

bool isUsableScale(double scale)
{
    return std::isfinite(scale) && scale >= smallestScale && scale <= largestScale;
}

PixelSize pixelSize(CGSize points, double scale)
{
    return { static_cast<int>(std::ceil(points.width * scale)),
        static_cast<int>(std::ceil(points.height * scale)) };
}

CGPoint pointAt(double pixelX, double pixelY, double scale)
{
    if (!(scale > 0))
        return {};
    return { (pixelX + 0.5) / scale, (pixelY + 0.5) / scale };
}

}
