#pragma once

#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/segmented/JXSegmentedIndicatorLineView.h"

#include <vector>

// A line indicator filled with a gradient (left to right by default) instead of one colour.
class JXSegmentedIndicatorGradientLineView : public JXSegmentedIndicatorLineView {
public:
    JXSegmentedIndicatorGradientLineView();

    std::string className() const override { return "JXSegmentedIndicatorGradientLineView"; }

    std::vector<UIColor> colors;
    // Unset spreads the colours evenly.
    std::optional<std::vector<CGFloat>> locations;
    CGPoint startPoint { 0, 0.5 };
    CGPoint endPoint { 1, 0.5 };

    std::shared_ptr<CAGradientLayer> gradientLayer() const { return layerAs<CAGradientLayer>(); }

protected:
    void applyAppearance() override;
};
