#pragma once

#include "platform/ui/segmented/JXSegmentedIndicatorBaseView.h"

// A bar under (or over) the selected item, in the indicator colour with rounded ends.
class JXSegmentedIndicatorLineView : public JXSegmentedIndicatorBaseView {
public:
    JXSegmentedIndicatorLineView() = default;

    std::string className() const override { return "JXSegmentedIndicatorLineView"; }

protected:
    explicit JXSegmentedIndicatorLineView(std::shared_ptr<CALayer> layer)
        : JXSegmentedIndicatorBaseView(std::move(layer))
    { }

    void applyAppearance() override;
};
