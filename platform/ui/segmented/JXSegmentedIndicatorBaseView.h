#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/segmented/JXSegmentedTypes.h"

// Where the selection of a tab bar is, for its indicators. Frames are in the bar's content
// coordinates (indicators scroll with the items).
struct JXSegmentedIndicatorSelectedParams {
    int currentSelectedIndex = 0;
    CGRect currentSelectedItemFrame;
    // Width of what the selected item shows (title, image).
    CGFloat currentItemContentWidth = 0;
    JXSegmentedViewItemSelectedType selectedType = JXSegmentedViewItemSelectedType::unknown;
};

// Base of the views that mark the selected item of a tab bar. The bar adds its indicators over
// the items and places them at every reload, layout and selection. The settings are read at each
// placement; sizes left automatic follow the selected item.
class JXSegmentedIndicatorBaseView : public UIView {
public:
    static constexpr double selectionAnimationDuration = 0.25;

    JXSegmentedIndicatorBaseView();

    std::string className() const override { return "JXSegmentedIndicatorBaseView"; }

    // Automatic: the selected item's content width.
    CGFloat indicatorWidth = JXSegmentedViewAutomaticDimension;
    // Added to the width (also to a fixed one).
    CGFloat indicatorWidthIncrement = 0;
    // Automatic: defaultIndicatorHeight().
    CGFloat indicatorHeight = JXSegmentedViewAutomaticDimension;
    // Automatic: half the height (a capsule).
    CGFloat indicatorCornerRadius = JXSegmentedViewAutomaticDimension;
    UIColor indicatorColor = UIColor::red();
    JXSegmentedIndicatorPosition indicatorPosition = JXSegmentedIndicatorPosition::bottom;
    // Distance from the edge of the position (bottom: up from the bottom; top: down from the top).
    CGFloat verticalOffset = 0;
    // Whether a tap or code selection moves the indicator with an animation.
    bool isScrollEnabled = true;

    // Puts the indicator at the selected item at once (reloads, layout, page swipes).
    virtual void refreshIndicatorState(const JXSegmentedIndicatorSelectedParams& params);
    // The selection moved to another item.
    virtual void selectItem(const JXSegmentedIndicatorSelectedParams& params);

    // The frame the settings give for the selected item.
    CGRect indicatorFrame(const JXSegmentedIndicatorSelectedParams& params) const;
    CGFloat resolvedHeight() const;
    CGFloat resolvedCornerRadius() const;

protected:
    explicit JXSegmentedIndicatorBaseView(std::shared_ptr<CALayer> layer);

    virtual CGFloat defaultIndicatorHeight() const { return 3; }
    // Applies colour and corners before the frame is set.
    virtual void applyAppearance() { }
};
