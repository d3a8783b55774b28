#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIResponder.h"

#include <memory>
#include <vector>

class UIGestureRecognizer;
class UIView;
class UIWindow;

enum class UITouchPhase { began, moved, stationary, ended, cancelled };

// One finger on the screen during one touch sequence. Locations are kept in window space;
// timestamps are on the dispatch clock (virtual in tests and the device shell).
class UITouch {
public:
    UITouchPhase phase() const { return m_phase; }
    double timestamp() const { return m_timestamp; }
    // Taps in a row at about the same place, this one included (1 for a first tap).
    int tapCount() const { return m_tapCount; }

    // The view hit at touch-down and its window; they keep the touch for the whole sequence.
    std::shared_ptr<UIView> view() const { return m_view.lock(); }
    std::shared_ptr<UIWindow> window() const { return m_window.lock(); }
    // Recognisers that receive this touch, deepest view first.
    std::vector<std::shared_ptr<UIGestureRecognizer>> gestureRecognizers() const;

    // In the view's space; nullptr: window space.
    CGPoint location(const UIView* view) const;
    CGPoint previousLocation(const UIView* view) const;
    CGPoint locationInWindow() const { return m_location; }

private:
    friend class UIEventDispatcher;

    UITouchPhase m_phase = UITouchPhase::began;
    double m_timestamp = 0;
    int m_tapCount = 1;
    std::weak_ptr<UIView> m_view;
    std::weak_ptr<UIWindow> m_window;
    std::vector<std::weak_ptr<UIGestureRecognizer>> m_recognizers;
    CGPoint m_location;
    CGPoint m_previousLocation;
};

// The touches of one delivery step.
class UIEvent {
public:
    explicit UIEvent(UITouchSet touches, double timestamp)
        : m_touches(std::move(touches))
        , m_timestamp(timestamp)
    { }

    const UITouchSet& allTouches() const { return m_touches; }
    double timestamp() const { return m_timestamp; }

private:
    UITouchSet m_touches;
    double m_timestamp;
};
