#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UITraitCollection.h"

#include <functional>
#include <memory>
#include <string>

class UIScrollView;
class UIView;
class UIWindow;
class WKWebView;

// The keys of the desktop that stand for something of the phone.
enum class WindowKey {
    // The back button, edge swipe or escape gesture: the keyboard goes away, else the front-most
    // view or the top controller that closes by the escape gesture closes (a prompt, a sheet),
    // else the top screen is popped or what is presented is dismissed, else full screen is left.
    back,
    // The phone is turned, portrait to landscape and back, where the screen turns with it (a
    // player on screen goes full screen and back); elsewhere nothing happens.
    rotate,
    // The light and dark styles swap (the application's own choice, when it keeps one).
    toggleStyle,
    // The keyboard's return and delete keys, for the first responder.
    returnKey,
    deleteBackward,
};

// What a person does with mouse and keyboard, turned into what the phone's screen gets: the
// mouse is a finger (press, drag, release become one touch through the event dispatcher, so
// taps, long presses, pans, swipes and paging work as on the phone); a press with the pinch
// modifier puts down two fingers mirrored about the screen's centre; the wheel scrolls the
// innermost scroll view under the pointer that can move that way (a paging one turns a page, as
// under a flick, once per turn of the wheel); typed and composed text goes
// into the first responder. Points are in screen space (windows cover the screen). Time is the
// dispatch clock's. Main thread only.
class WindowInput {
public:
    // Pointer. Touches go to the key window, else to the front-most window.
    void pointerDown(CGPoint point, bool pinch = false);
    void pointerMove(CGPoint point);
    void pointerUp(CGPoint point);
    // The window lost the pointer mid-touch (focus went elsewhere): the touch is cancelled.
    void pointerCancel();
    bool isPressed() const { return m_pressed; }
    bool isPinching() const { return m_pinching; }

    // Moves the content under the point by `delta` points (positive: towards the end of the
    // content), within its bounds; a paging view turns to its next or previous page instead, and
    // takes no more while it turns; a web page under the point gets the wheel itself. False when
    // no scroll view there can move that way.
    bool wheel(CGPoint point, CGVector delta);
    // The scroll view that wheel() would move.
    static std::shared_ptr<UIScrollView> wheelTarget(CGPoint point, CGVector delta);

    // Text committed by the keyboard or an input method; ends a composition first.
    bool text(const std::string& text);
    // An input method's composition shown in the first responder; empty text ends it.
    bool composition(const std::string& text);
    // False when the key did nothing (no text input for return, nothing to go back from...).
    bool key(WindowKey key);

    // The style the window shows: set by the style key; windows that leave it open get it.
    UIUserInterfaceStyle style() const { return m_style; }
    void setStyle(UIUserInterfaceStyle style) { m_style = style; }
    // What the style key swaps. An application that keeps its style as a choice of its own swaps
    // that choice and returns the style now chosen: what a screen shows meanwhile may be a look of
    // that screen's own (a page that is always dark, a full-screen window without a style), so
    // the key never swaps what it sees, and one press changes the style from every screen.
    // Without a chooser the key swaps the window's own style and gives it every window.
    using StyleChooser = std::function<UIUserInterfaceStyle()>;
    void setStyleChooser(StyleChooser chooser) { m_styleChooser = std::move(chooser); }
    // Gives windows without a style of their own the window's dark style (after windows come).
    void applyStyle() const;

private:
    static std::shared_ptr<WKWebView> webViewAt(CGPoint point);
    bool back();
    // The escape gesture to the view's front-most subviews first, then to the view.
    static bool escape(const std::shared_ptr<UIView>& view);
    bool rotate();
    void toggleStyle();
    static std::shared_ptr<UIWindow> targetWindow();
    static CGPoint mirrored(CGPoint point);

    bool m_pressed = false;
    bool m_pinching = false;
    UIUserInterfaceStyle m_style = UIUserInterfaceStyle::unspecified;
    StyleChooser m_styleChooser;
};
