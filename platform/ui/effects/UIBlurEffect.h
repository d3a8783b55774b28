#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"

#include <optional>

enum class UIBlurEffectStyle { light, dark };

// How a visual-effect view treats what lies under it: a blur of a radius (in points, about the
// Gaussian's sigma) and a tint laid over the blurred backdrop.
class UIBlurEffect {
public:
    // The platform's looks: a strong blur under a whitish or a dark veil.
    static UIBlurEffect effectWithStyle(UIBlurEffectStyle style);
    // The component framework's plain blur of a given radius, without a veil. Negative or
    // non-finite radii count as 0 (no blur).
    static UIBlurEffect qmui_effectWithBlurRadius(CGFloat radius);

    CGFloat blurRadius() const { return m_radius; }
    const std::optional<UIColor>& tintColor() const { return m_tint; }

    bool operator==(const UIBlurEffect&) const = default;

private:
    UIBlurEffect(CGFloat radius, std::optional<UIColor> tint)
        : m_radius(radius)
        , m_tint(std::move(tint))
    { }

    CGFloat m_radius = 0;
    std::optional<UIColor> m_tint;
};
