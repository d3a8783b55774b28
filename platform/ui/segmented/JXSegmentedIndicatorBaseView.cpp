#include "platform/ui/segmented/JXSegmentedIndicatorBaseView.h"

JXSegmentedIndicatorBaseView::JXSegmentedIndicatorBaseView()
{
    setUserInteractionEnabled(false);
}

JXSegmentedIndicatorBaseView::JXSegmentedIndicatorBaseView(std::shared_ptr<CALayer> layer)
    : UIView(std::move(layer), CGRect {})
{
    setUserInteractionEnabled(false);
}

CGFloat JXSegmentedIndicatorBaseView::resolvedHeight() const
{
    return indicatorHeight == JXSegmentedViewAutomaticDimension ? defaultIndicatorHeight() : indicatorHeight;
}

CGFloat JXSegmentedIndicatorBaseView::resolvedCornerRadius() const
{
    return indicatorCornerRadius == JXSegmentedViewAutomaticDimension ? resolvedHeight() / 2
                                                                      : indicatorCornerRadius;
}

CGRect JXSegmentedIndicatorBaseView::indicatorFrame(const JXSegmentedIndicatorSelectedParams& params) const
{
    const CGRect& item = params.currentSelectedItemFrame;
    CGFloat width = indicatorWidth == JXSegmentedViewAutomaticDimension ? params.currentItemContentWidth
                                                                        : indicatorWidth;
    width += indicatorWidthIncrement;
    CGFloat height = resolvedHeight();
    CGFloat y = 0;
    switch (indicatorPosition) {
    case JXSegmentedIndicatorPosition::top:
        y = item.origin.y + verticalOffset;
        break;
    case JXSegmentedIndicatorPosition::bottom:
        y = item.maxY() - height - verticalOffset;
        break;
    case JXSegmentedIndicatorPosition::center:
        y = item.midY() - height / 2 + verticalOffset;
        break;
    }
    return { { item.midX() - width / 2, y }, { width, height } };
}

void JXSegmentedIndicatorBaseView::refreshIndicatorState(const JXSegmentedIndicatorSelectedParams& params)
{
    applyAppearance();
    setFrame(indicatorFrame(params));
}

void JXSegmentedIndicatorBaseView::selectItem(const JXSegmentedIndicatorSelectedParams& params)
{
    bool animated = isScrollEnabled
        && (params.selectedType == JXSegmentedViewItemSelectedType::click
            || params.selectedType == JXSegmentedViewItemSelectedType::code);
    if (!animated) {
        refreshIndicatorState(params);
        return;
    }
    applyAppearance();
    CGRect target = indicatorFrame(params);
    UIView::animate(selectionAnimationDuration, [this, target] { setFrame(target); });
}
