#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/CGGeometry.h"

#include <functional>
#include <memory>
#include <vector>

class UIViewController;

// Turns the keyboard's will-show and will-hide notifications into two callbacks with the
// animation duration (seconds) and the keyboard's end frame (screen space), for one screen. The
// callbacks stay quiet while that screen is off screen (its view has no window) or gone. Main
// thread only; the tool leaves the notification centre when it is destroyed.
class KeyboardNotificationTool {
public:
    using Block = std::function<void(double duration, CGRect frame)>;

    explicit KeyboardNotificationTool(std::weak_ptr<UIViewController> controller);
    ~KeyboardNotificationTool();
    KeyboardNotificationTool(const KeyboardNotificationTool&) = delete;
    KeyboardNotificationTool& operator=(const KeyboardNotificationTool&) = delete;

    Block keyboardWillShowBlock;
    Block keyboardWillHiddenBlock;
    std::weak_ptr<UIViewController> controller;

    // Registers keyboardWillShowWithNoti and keyboardWillHiddenWithNoti for the keyboard's
    // will-show and will-hide notifications on the centre, which must outlive the tool.
    void observeKeyboard(NotificationCenter& center = NotificationCenter::defaultCenter());

    void keyboardWillShowWithNoti(const Notification& notification);
    void keyboardWillHiddenWithNoti(const Notification& notification);

private:
    void handle(const Notification& notification, const Block& block) const;

    // Centres this tool was registered with; it removes itself from each when destroyed.
    std::vector<NotificationCenter*> m_centers;
};
