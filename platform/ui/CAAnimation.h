#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIColor.h"

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

// Animations are records: nothing interpolates. A layer keeps the animations added to it until
// they are removed, or until their duration has passed on the main run loop's clock when they are
// removed on completion. Model values never change because of an animation.

using CAAnimationValue
    = std::variant<std::monostate, CGFloat, CGPoint, CGSize, CGRect, CGAffineTransform, UIColor, CGPath>;

enum class CAMediaTimingFunctionName { defaultTiming, linear, easeIn, easeOut, easeInEaseOut };
enum class CAFillMode { removed, forwards, backwards, both };

class CAAnimation {
public:
    virtual ~CAAnimation() = default;

    // Seconds; 0 means the default of 0.25 s.
    double duration = 0;
    double beginTime = 0;
    // Number of repetitions; infinity repeats for ever (such animations are never auto-removed).
    float repeatCount = 0;
    bool autoreverses = false;
    bool isRemovedOnCompletion = true;
    CAFillMode fillMode = CAFillMode::removed;
    CAMediaTimingFunctionName timingFunction = CAMediaTimingFunctionName::defaultTiming;
    // Called with true when the animation ran its course, false when it was removed early.
    std::function<void(bool finished)> didStop;

    double effectiveDuration() const { return duration > 0 ? duration : 0.25; }
    // Active time including repeats and autoreverse; infinity for endless animations.
    double totalDuration() const;
};

class CAPropertyAnimation : public CAAnimation {
public:
    std::string keyPath;
};

class CABasicAnimation : public CAPropertyAnimation {
public:
    static std::shared_ptr<CABasicAnimation> make(std::string keyPath);

    CAAnimationValue fromValue;
    CAAnimationValue toValue;
    CAAnimationValue byValue;
};
