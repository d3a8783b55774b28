#pragma once

#include "platform/ui/CGGeometry.h"

#include <cstdint>
#include <memory>

class UIView;

// Names and user-info keys of the keyboard notifications (posted on the default centre, main
// thread, without object).
namespace UIKeyboardNotification {
inline constexpr const char* WillShow = "UIKeyboardWillShowNotification";
inline constexpr const char* DidShow = "UIKeyboardDidShowNotification";
inline constexpr const char* WillHide = "UIKeyboardWillHideNotification";
inline constexpr const char* DidHide = "UIKeyboardDidHideNotification";
// double, seconds.
inline constexpr const char* AnimationDurationKey = "UIKeyboardAnimationDurationUserInfoKey";
// CGRect in screen space.
inline constexpr const char* FrameEndKey = "UIKeyboardFrameEndUserInfoKey";
}

// The simulated on-screen keyboard. It appears when a text input becomes first responder and goes
// when none is first responder any more: will-show at once and did-show after the animation
// duration on the run loop's clock (likewise for hiding). Moving from one text input to another
// shows it again without hiding it. Its frame sits at the bottom of the main screen; hiding
// reports a frame of no height just below the screen. When the first responder has an input view
// (UIKeyInput::inputView), the keyboard shows that view instead of keys: at the bottom of the
// responder's window, above the home indicator, on the keyboard's backdrop, with the frames
// reporting its height. Main thread only.
class UIKeyboard {
public:
    static constexpr double animationDuration = 0.25;
    static constexpr CGFloat portraitHeight = 336;
    static constexpr CGFloat landscapeHeight = 209;

    static UIKeyboard& shared();

    bool isVisible() const { return m_visible; }
    // The frame it has (shown) or would have (hidden) on the main screen now.
    CGRect shownFrame() const;
    // The view that carries the shown input view in its window (null while keys are shown).
    std::shared_ptr<UIView> inputViewHost() const;
    CGRect hiddenFrame() const;

    // For text inputs.
    void inputDidBecomeFirstResponder();
    void inputDidResignFirstResponder();
    // Held while a text input becomes first responder, so that the input it takes over from does
    // not hide the keyboard on the way.
    class Handover {
    public:
        Handover();
        ~Handover();
        Handover(const Handover&) = delete;
        Handover& operator=(const Handover&) = delete;
    };

    void resetForTesting();

private:
    UIKeyboard() = default;
    void show();
    void hide();
    void post(const char* name, CGRect frame);
    // Puts the first responder's input view up, or takes the host down when it has none.
    void updateInputView();
    void removeInputView();

    bool m_visible = false;
    int m_handovers = 0;
    bool m_hideDeferred = false;
    std::uint64_t m_generation = 0;
    std::shared_ptr<UIView> m_inputHost;
};
