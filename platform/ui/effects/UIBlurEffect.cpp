#include "platform/ui/effects/UIBlurEffect.h"

#include <cmath>

namespace {

constexpr CGFloat styleRadius = 15;

}

UIBlurEffect UIBlurEffect::effectWithStyle(UIBlurEffectStyle style)
{
    if (style == UIBlurEffectStyle::dark)
        return { styleRadius, UIColor(0.11, 0.11, 0.11, 0.73) };
    return { styleRadius, UIColor(1, 1, 1, 0.3) };
}

UIBlurEffect UIBlurEffect::qmui_effectWithBlurRadius(CGFloat radius)
{
    return { std::isfinite(radius) && radius > 0 ? radius : 0, std::nullopt };
}
