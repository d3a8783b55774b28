#pragma once

#include "platform/ui/CGGeometry.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class UIView;
class UIWindow;

// Drives the interface as fingers and a keyboard would, for tests and the device shell. Touches
// go to the application's key window (or the window of a view found by text) through the event
// dispatcher: hit testing, gesture recognisers, controls. Time passes on the main run loop
// (virtual clock in tests and the shell): a tap holds the finger down `tapDuration`, a drag moves
// in steps of `frameInterval`, so velocities come out as in real use. The window is laid out
// before each gesture so that frames are current.
class TouchDriver {
public:
    static constexpr double tapDuration = 0.05;
    static constexpr double doubleTapGap = 0.1;
    static constexpr double frameInterval = 1.0 / 60;

    // `advance` moves time (default: RunLoop::main().advance).
    explicit TouchDriver(std::function<void(double seconds)> advance = {});

    // Each returns false when there is no window or the touch-down hit no view.
    bool tap(CGPoint point);
    bool doubleTap(CGPoint point);
    bool longPress(CGPoint point, double seconds);
    // Down at the first point, along the polyline at even speed over `seconds`, up at the last.
    bool drag(const std::vector<CGPoint>& path, double seconds);
    bool drag(CGPoint from, CGPoint to, double seconds)
    {
        return drag(std::vector<CGPoint> { from, to }, seconds);
    }

    // Two fingers on a horizontal line through `center`, `fromDistance` apart, moving evenly to
    // `toDistance` over `seconds`; the second finger lifts first.
    bool pinch(CGPoint center, CGFloat fromDistance, CGFloat toDistance, double seconds);

    // Taps the middle of the view's visible part; false when it is not on screen.
    bool tapView(const UIView& view);
    // Taps the front-most visible view showing the text (label text, button title, text field
    // text or placeholder, text view text, accessibility label), or with the identifier.
    bool tapText(const std::string& text);
    bool tapIdentifier(const std::string& identifier);

    // Types into the first responder (each "\n" presses return); false without a text input.
    bool type(const std::string& text);
    bool pressReturn();
    bool deleteBackward(int count = 1);

    // Lookups over the visible windows, front-most first. Exact matches win over substring ones.
    static std::shared_ptr<UIView> findText(const std::string& text);
    static std::shared_ptr<UIView> findIdentifier(const std::string& identifier);
    // The visible windows, front-most (highest level, key window first among equals) first.
    static std::vector<std::shared_ptr<UIWindow>> windowsFrontToBack();
    // The text a view shows, as findText compares it (empty for views without text).
    static std::string visibleText(const UIView& view);

private:
    bool touchDown(const std::shared_ptr<UIWindow>& window, CGPoint point);
    void wait(double seconds);
    std::shared_ptr<UIWindow> targetWindow() const;

    std::function<void(double)> m_advance;
    std::shared_ptr<UIWindow> m_window; // set while tapping a found view
};
