#pragma once

#include "platform/ui/UIView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

class UITouch;

// Bit set of a control's state.
enum UIControlState : unsigned {
    UIControlStateNormal = 0,
    UIControlStateHighlighted = 1 << 0,
    UIControlStateDisabled = 1 << 1,
    UIControlStateSelected = 1 << 2,
};

// Bit set of the events a control sends to its actions.
enum UIControlEvents : unsigned {
    UIControlEventTouchDown = 1 << 0,
    UIControlEventTouchDragInside = 1 << 2,
    UIControlEventTouchDragOutside = 1 << 3,
    UIControlEventTouchUpInside = 1 << 6,
    UIControlEventTouchUpOutside = 1 << 7,
    UIControlEventTouchCancel = 1 << 8,
    UIControlEventValueChanged = 1 << 12,
    UIControlEventEditingDidBegin = 1 << 16,
    UIControlEventEditingChanged = 1 << 17,
    UIControlEventEditingDidEnd = 1 << 18,
    UIControlEventEditingDidEndOnExit = 1 << 19,
    UIControlEventAllTouchEvents = 0x00000FFF,
    UIControlEventAllEditingEvents = 0x000F0000,
    UIControlEventAllEvents = 0xFFFFFFFF,
};

// A view that turns touches into events (touch down, touch up inside or outside, value and
// editing changes) and runs the actions registered for them, in the order they were added.
// Tracking: a touch that comes down on the control highlights it; it stays "inside" while the
// finger is within the bounds grown by `touchSlop`; lifting sends touch-up-inside or -outside.
// A disabled control takes no touches (they go to the view below).
class UIControl : public UIView {
public:
    using Action = std::function<void(UIControl&)>;
    using ActionId = std::uint64_t;
    static constexpr CGFloat touchSlop = 70;

    UIControl();
    explicit UIControl(const CGRect& frame);

    std::string className() const override { return "UIControl"; }

    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted);
    // Highlighted, disabled and selected bits.
    unsigned state() const;
    bool isTracking() const { return m_tracking; }
    bool isTouchInside() const { return m_touchInside; }

    // ---- Actions ----
    ActionId addAction(unsigned events, Action action);
    // Holds the target weakly: nothing runs once it is gone.
    template<typename T>
    ActionId addTarget(std::weak_ptr<T> target, void (T::*method)(UIControl&), unsigned events)
    {
        return addAction(events, [target = std::move(target), method](UIControl& sender) {
            if (auto strong = target.lock())
                ((*strong).*method)(sender);
        });
    }
    template<typename T>
    ActionId addTarget(std::type_identity_t<std::weak_ptr<T>> target, void (T::*method)(), unsigned events)
    {
        return addAction(events, [target = std::move(target), method](UIControl&) {
            if (auto strong = target.lock())
                ((*strong).*method)();
        });
    }
    void removeAction(ActionId id);
    // Removes the given events from every action; actions left without events go.
    void removeActions(unsigned events);
    // The union of the events that have actions.
    unsigned allControlEvents() const;
    // Runs the actions registered for any of the events.
    void sendActions(unsigned events);

    // When on, the touch-up-inside of a repeated tap (a touch that comes down within the
    // multi-tap interval of the previous one, tap count above 1) runs no action. Unless set on the
    // control, the answer comes from the process-wide rule (an app-wide helper installs one to
    // turn it on for kinds of buttons), else it is off.
    bool preventsRepeatedTouchUpInsideEvent() const;
    void setPreventsRepeatedTouchUpInsideEvent(bool prevents) { m_preventsRepeated = prevents; }
    static void setRepeatedTouchUpRule(std::function<bool(const UIControl&)> rule);

    // Asked for a recogniser of an ancestor when a touch on this control would start it; no keeps
    // the touch for the control. Buttons and similar controls keep single one-finger taps.
    virtual bool gestureRecognizerShouldBegin(const UIGestureRecognizer& recognizer) const;

    // ---- Tracking, for subclasses ----
    // Return false from beginTracking / continueTracking to stop tracking the touch.
    virtual bool beginTracking(const UITouch& touch, const UIEvent* event);
    virtual bool continueTracking(const UITouch& touch, const UIEvent* event);
    virtual void endTracking(const UITouch* touch, const UIEvent* event);
    virtual void cancelTracking(const UIEvent* event);

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

    std::shared_ptr<UIView> hitTest(CGPoint point, const UIEvent* event = nullptr) override;
    std::string dumpAttributes() const override;

protected:
    // The highlighted, selected or enabled state changed: refresh the look.
    virtual void stateDidChange() { }
    // Whether single one-finger taps on this control belong to it rather than to recognisers of
    // its ancestors (buttons, switches, segments, page dots).
    virtual bool keepsSingleTaps() const { return false; }
    bool isPointInsideForTracking(CGPoint point) const;

private:
    struct Registration {
        ActionId id;
        unsigned events;
        Action action;
    };

    std::vector<Registration> m_actions;
    ActionId m_nextId = 1;
    bool m_enabled = true;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_tracking = false;
    bool m_touchInside = false;
    std::optional<bool> m_preventsRepeated;
};
