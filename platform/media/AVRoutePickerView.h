#pragma once

#include "platform/ui/UIView.h"

// The picker of playback routes (a television over the air). The simulated device finds none, so
// it only shows its symbol in the tint colour; a tap opens nothing.
class AVRoutePickerView : public UIView {
public:
    AVRoutePickerView();
    explicit AVRoutePickerView(const CGRect& frame);

    std::string className() const override { return "AVRoutePickerView"; }

    bool prioritizesVideoDevices() const { return m_prioritizesVideoDevices; }
    void setPrioritizesVideoDevices(bool prioritizes) { m_prioritizesVideoDevices = prioritizes; }
    // The symbol's colour while a route plays (never, here).
    const std::optional<UIColor>& activeTintColor() const { return m_activeTintColor; }
    void setActiveTintColor(std::optional<UIColor> color) { m_activeTintColor = std::move(color); }

    CGSize intrinsicContentSize() const override { return { 24, 24 }; }
    void draw(CGContext& context, const CGRect& rect) override;
    void tintColorDidChange() override { setNeedsDisplay(); }

private:
    bool m_prioritizesVideoDevices = false;
    std::optional<UIColor> m_activeTintColor;
};
