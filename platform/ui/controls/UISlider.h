#pragma once

#include "platform/ui/UIImage.h"
#include "platform/ui/controls/UIControl.h"

#include <map>
#include <optional>

// A value between a minimum and a maximum, chosen by dragging the thumb along the track (a touch
// must start on the thumb). Dragging sends value-changed on every move when continuous, else
// once at the end.
class UISlider : public UIControl {
public:
    static constexpr CGFloat defaultThumbSize = 28;

    UISlider();
    explicit UISlider(const CGRect& frame);

    std::string className() const override { return "UISlider"; }

    float value() const { return m_value; }
    // Clamped to the range; sends nothing.
    void setValue(float value, bool animated = false);
    float minimumValue() const { return m_minimum; }
    void setMinimumValue(float minimum);
    float maximumValue() const { return m_maximum; }
    void setMaximumValue(float maximum);
    bool isContinuous = true;

    std::optional<UIColor> minimumTrackTintColor;
    std::optional<UIColor> maximumTrackTintColor;
    std::optional<UIColor> thumbTintColor;
    void setThumbImage(std::optional<UIImage> image, unsigned state = UIControlStateNormal);
    std::optional<UIImage> thumbImage(unsigned state) const;
    std::optional<UIImage> currentThumbImage() const { return thumbImage(state()); }

    virtual CGRect trackRectForBounds(const CGRect& bounds) const;
    virtual CGRect thumbRectForBounds(const CGRect& bounds, const CGRect& track, float value) const;

    CGSize intrinsicContentSize() const override;
    bool beginTracking(const UITouch& touch, const UIEvent* event) override;
    bool continueTracking(const UITouch& touch, const UIEvent* event) override;
    void endTracking(const UITouch* touch, const UIEvent* event) override;
    bool gestureRecognizerShouldBegin(const UIGestureRecognizer& recognizer) const override;
    void draw(CGContext& context, const CGRect& rect) override;
    std::string dumpAttributes() const override;

private:
    CGSize thumbSize() const;

    float m_value = 0;
    float m_minimum = 0;
    float m_maximum = 1;
    std::map<unsigned, UIImage> m_thumbImages;
    float m_startValue = 0;
    CGFloat m_startX = 0;
    bool m_changedWhileTracking = false;
};
