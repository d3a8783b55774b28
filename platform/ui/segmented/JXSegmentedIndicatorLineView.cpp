#include "platform/ui/segmented/JXSegmentedIndicatorLineView.h"

void JXSegmentedIndicatorLineView::applyAppearance()
{
    setBackgroundColor(indicatorColor);
    layer()->setCornerRadius(resolvedCornerRadius());
}
