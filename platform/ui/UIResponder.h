#pragma once

#include <memory>
#include <vector>

class UITouch;
class UIEvent;
using UITouchSet = std::vector<std::shared_ptr<UITouch>>;

// Base of views, controllers and the application delegate: the responder chain and the first
// responder (one per process, held weakly). Objects must be owned by a shared_ptr.
class UIResponder : public std::enable_shared_from_this<UIResponder> {
public:
    virtual ~UIResponder();

    virtual std::shared_ptr<UIResponder> nextResponder() const { return nullptr; }

    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    // Asks the current first responder to resign first; false when it refuses or this cannot.
    virtual bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;
    static std::shared_ptr<UIResponder> currentFirstResponder();

    // The escape gesture, a person's "go back" (the desktop's Esc key): closes what the
    // responder shows on top (a prompt, a sheet) as its own close control would, and answers
    // whether it did. Nothing by default.
    virtual bool accessibilityPerformEscape() { return false; }

    // Touch delivery; the default passes the touches on to the next responder.
    virtual void touchesBegan(const UITouchSet& touches, const UIEvent* event);
    virtual void touchesMoved(const UITouchSet& touches, const UIEvent* event);
    virtual void touchesEnded(const UITouchSet& touches, const UIEvent* event);
    virtual void touchesCancelled(const UITouchSet& touches, const UIEvent* event);
};
