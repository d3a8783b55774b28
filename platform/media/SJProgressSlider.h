#pragma once

#include "platform/ui/controls/UIControl.h"

// The progress bar of a player's controls: track, played part and thumb in the colours of the
// shared resources. Dragging moves the thumb and sends value-changed when the finger lifts.
class SJProgressSlider : public UIControl {
public:
    std::string className() const override { return "SJProgressSlider"; }

    // 0 to 1; ignored while the viewer drags.
    double value() const { return m_value; }
    void setValue(double value);
    bool isDragging() const { return m_dragging; }

    CGSize intrinsicContentSize() const override { return { noIntrinsicMetric, 30 }; }
    bool beginTracking(const UITouch& touch, const UIEvent* event) override;
    bool continueTracking(const UITouch& touch, const UIEvent* event) override;
    void endTracking(const UITouch* touch, const UIEvent* event) override;
    void cancelTracking(const UIEvent* event) override;
    void draw(CGContext& context, const CGRect& rect) override;

protected:
    bool keepsSingleTaps() const override { return true; }

private:
    void moveTo(const UITouch& touch);

    double m_value = 0;
    bool m_dragging = false;
};
