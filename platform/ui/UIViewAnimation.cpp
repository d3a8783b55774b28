#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/UIView.h"

#include <cmath>
#include <vector>

// UIView animation blocks: the new values apply at once; each changed animatable property is
// recorded on the view's layer as a basic animation, and the completion runs on the main queue
// once delay + duration have passed.

namespace {

struct AnimationBlock {
    double duration;
    double delay;
    unsigned options;
};

std::vector<AnimationBlock>& blockStack()
{
    static std::vector<AnimationBlock> stack;
    return stack;
}

bool& animationsEnabledFlag()
{
    static bool enabled = true;
    return enabled;
}

CAMediaTimingFunctionName curveOf(unsigned options)
{
    switch ((options >> 16) & 0xF) {
    case 1:
        return CAMediaTimingFunctionName::easeIn;
    case 2:
        return CAMediaTimingFunctionName::easeOut;
    case 3:
        return CAMediaTimingFunctionName::linear;
    default:
        return CAMediaTimingFunctionName::easeInEaseOut;
    }
}

double nonNegative(double v)
{
    return std::isfinite(v) && v > 0 ? v : 0;
}

}

void UIView::animate(double duration, const std::function<void()>& animations, Completion completion)
{
    animate(duration, 0, UIViewAnimationOptionNone, animations, std::move(completion));
}

void UIView::animate(double duration, double delay, unsigned options, const std::function<void()>& animations,
    Completion completion)
{
    duration = nonNegative(duration);
    delay = nonNegative(delay);
    blockStack().push_back({ duration, delay, options });
    if (animations)
        animations();
    blockStack().pop_back();
    if (!completion)
        return;
    DispatchQueue::main().asyncAfter(
        DispatchTime::now() + delay + duration, [completion = std::move(completion)] { completion(true); });
}

void UIView::animate(double duration, double delay, CGFloat, CGFloat, unsigned options,
    const std::function<void()>& animations, Completion completion)
{
    animate(duration, delay, options, animations, std::move(completion));
}

void UIView::performWithoutAnimation(const std::function<void()>& actions)
{
    bool wasEnabled = animationsEnabledFlag();
    animationsEnabledFlag() = false;
    if (actions)
        actions();
    animationsEnabledFlag() = wasEnabled;
}

bool UIView::areAnimationsEnabled()
{
    return animationsEnabledFlag();
}
void UIView::setAnimationsEnabled(bool enabled)
{
    animationsEnabledFlag() = enabled;
}

std::optional<double> UIView::currentAnimationDuration()
{
    if (blockStack().empty() || !animationsEnabledFlag())
        return std::nullopt;
    return blockStack().back().duration;
}

void UIView::recordAnimation(const std::string& key, CAAnimationValue from, CAAnimationValue to)
{
    if (!animationsEnabledFlag() || blockStack().empty() || from == to)
        return;
    const AnimationBlock& block = blockStack().back();
    if (block.duration <= 0)
        return;
    auto animation = CABasicAnimation::make(key);
    animation->fromValue = std::move(from);
    animation->toValue = std::move(to);
    animation->duration = block.duration;
    animation->beginTime = block.delay;
    animation->timingFunction = curveOf(block.options);
    if (block.options & UIViewAnimationOptionRepeat)
        animation->repeatCount = INFINITY;
    animation->autoreverses = (block.options & UIViewAnimationOptionAutoreverse) != 0;
    m_layer->add(animation, key);
}
