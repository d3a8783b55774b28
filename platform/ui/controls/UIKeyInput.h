#pragma once

#include <memory>
#include <string>

class UIView;
class UIWindow;

// What the keyboard types into: the text field and the text view implement it. The touch driver
// and the device shell type into the first responder through it.
class UIKeyInput {
public:
    virtual ~UIKeyInput() = default;
    virtual bool hasText() const = 0;
    // Each "\n" presses the return key.
    virtual void insertText(const std::string& text) = 0;
    // Removes the character before the end of the text.
    virtual void deleteBackward() = 0;
    // Shown by the keyboard in its place while this input is first responder (none: the keys).
    virtual std::shared_ptr<UIView> inputView() const { return nullptr; }
};

// The first responder when it is a view of `window` (the window's first responder), else null.
std::shared_ptr<UIView> firstResponderInWindow(const UIWindow& window);
