#pragma once

#include "platform/ui/controls/UIControl.h"

#include <optional>

// An on/off switch of the platform's fixed size. A tap flips it and sends value-changed.
class UISwitch : public UIControl {
public:
    static constexpr CGSize size { 51, 31 };

    UISwitch();
    explicit UISwitch(const CGRect& frame);

    std::string className() const override { return "UISwitch"; }

    bool isOn() const { return m_on; }
    // Sends nothing.
    void setOn(bool on, bool animated = false);
    std::optional<UIColor> onTintColor;
    std::optional<UIColor> thumbTintColor;

    CGSize intrinsicContentSize() const override { return size; }
    CGSize sizeThatFits(CGSize) const override { return size; }
    void setFrame(const CGRect& frame) override;
    void endTracking(const UITouch* touch, const UIEvent* event) override;
    void draw(CGContext& context, const CGRect& rect) override;
    std::string dumpAttributes() const override;

protected:
    bool keepsSingleTaps() const override { return true; }

private:
    bool m_on = false;
};
