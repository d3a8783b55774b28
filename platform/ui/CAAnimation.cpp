#include "platform/ui/CAAnimation.h"

#include <cmath>
#include <limits>

double CAAnimation::totalDuration() const
{
    if (std::isinf(repeatCount))
        return std::numeric_limits<double>::infinity();
    double repeats = repeatCount > 0 ? repeatCount : 1;
    return effectiveDuration() * repeats * (autoreverses ? 2 : 1);
}

std::shared_ptr<CABasicAnimation> CABasicAnimation::make(std::string keyPath)
{
    auto animation = std::make_shared<CABasicAnimation>();
    animation->keyPath = std::move(keyPath);
    return animation;
}
