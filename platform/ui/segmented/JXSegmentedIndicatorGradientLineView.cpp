#include "platform/ui/segmented/JXSegmentedIndicatorGradientLineView.h"

JXSegmentedIndicatorGradientLineView::JXSegmentedIndicatorGradientLineView()
    : JXSegmentedIndicatorLineView(CAGradientLayer::make())
{ }

void JXSegmentedIndicatorGradientLineView::applyAppearance()
{
    auto gradient = gradientLayer();
    gradient->setColors(colors);
    gradient->setLocations(locations);
    gradient->setStartPoint(startPoint);
    gradient->setEndPoint(endPoint);
    gradient->setCornerRadius(resolvedCornerRadius());
}
