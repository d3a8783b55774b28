#include "app/MainController/Other/Tool/KeyboardNotificationTool.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIView.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIKeyboard.h"

#include <algorithm>
#include <any>
#include <cstdint>
#include <optional>

namespace {

constexpr double kDefaultDuration = 1.0;

template<class T> std::optional<double> numberAs(const std::any& value)
{
    if (const T* number = std::any_cast<T>(&value))
        return static_cast<double>(*number);
    return std::nullopt;
}

// Any numeric value counts; other types (text, flags) do not.
std::optional<double> numberValue(const std::any& value)
{
    if (auto v = numberAs<double>(value))
        return v;
    if (auto v = numberAs<float>(value))
        return v;
    if (auto v = numberAs<int>(value))
        return v;
    if (auto v = numberAs<long>(value))
        return v;
    if (auto v = numberAs<long long>(value))
        return v;
    if (auto v = numberAs<unsigned>(value))
        return v;
    if (auto v = numberAs<unsigned long>(value))
        return v;
    return numberAs<unsigned long long>(value);
}

}

KeyboardNotificationTool::KeyboardNotificationTool(std::weak_ptr<UIViewController> controller)
    : controller(std::move(controller))
{ }

KeyboardNotificationTool::~KeyboardNotificationTool()
{
    for (NotificationCenter* center : m_centers)
        center->removeObservers(this);
}

void KeyboardNotificationTool::observeKeyboard(NotificationCenter& center)
{
    // The handlers may hold `this`: the destructor removes them before the tool goes.
    center.addObserver(
        UIKeyboardNotification::WillShow, [this](const Notification& n) { keyboardWillShowWithNoti(n); },
        this);
    center.addObserver(
        UIKeyboardNotification::WillHide, [this](const Notification& n) { keyboardWillHiddenWithNoti(n); },
        this);
    if (std::find(m_centers.begin(), m_centers.end(), &center) == m_centers.end())
        m_centers.push_back(&center);
}

void KeyboardNotificationTool::keyboardWillShowWithNoti(const Notification& notification)
{
    handle(notification, keyboardWillShowBlock);
}

void KeyboardNotificationTool::keyboardWillHiddenWithNoti(const Notification& notification)
{
    handle(notification, keyboardWillHiddenBlock);
}

void KeyboardNotificationTool::handle(const Notification& notification, const Block& block) const
{
    // Only a screen that is showing moves its views.
    std::shared_ptr<UIViewController> screen = controller.lock();
    if (!screen || !screen->isViewLoaded() || !screen->viewIfLoaded()->window())
        return;

    double duration = kDefaultDuration;
    CGRect frame;
    if (auto found = notification.userInfo.find(UIKeyboardNotification::AnimationDurationKey);
        found != notification.userInfo.end()) {
        duration = numberValue(found->second).value_or(kDefaultDuration);
    }
    if (auto found = notification.userInfo.find(UIKeyboardNotification::FrameEndKey);
        found != notification.userInfo.end()) {
        if (const CGRect* rect = std::any_cast<CGRect>(&found->second))
            frame = *rect;
    }
    if (block)
        block(duration, frame);
}
