#include "platform/ui/controls/UIKeyboard.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIKeyInput.h"

std::shared_ptr<UIView> firstResponderInWindow(const UIWindow& window)
{
    auto view = std::dynamic_pointer_cast<UIView>(UIResponder::currentFirstResponder());
    if (!view || view->window().get() != &window)
        return nullptr;
    return view;
}

namespace {

bool textInputIsFirstResponder()
{
    return dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder().get()) != nullptr;
}

}

UIKeyboard& UIKeyboard::shared()
{
    static UIKeyboard keyboard;
    return keyboard;
}

CGRect UIKeyboard::shownFrame() const
{
    const UIScreen& screen = UIScreen::main();
    CGRect bounds = screen.bounds();
    CGFloat height
        = UIInterfaceOrientationIsLandscape(screen.interfaceOrientation()) ? landscapeHeight : portraitHeight;
    return { 0, bounds.height() - height, bounds.width(), height };
}

CGRect UIKeyboard::hiddenFrame() const
{
    CGRect bounds = UIScreen::main().bounds();
    return { 0, bounds.height(), bounds.width(), 0 };
}

void UIKeyboard::post(const char* name, CGRect frame)
{
    NotificationCenter::defaultCenter().post(name, {},
        { { UIKeyboardNotification::AnimationDurationKey, std::any(animationDuration) },
            { UIKeyboardNotification::FrameEndKey, std::any(frame) } });
}

void UIKeyboard::show()
{
    m_visible = true;
    auto generation = ++m_generation;
    CGRect frame = shownFrame();
    post(UIKeyboardNotification::WillShow, frame);
    DispatchQueue::main().asyncAfter(DispatchTime::now() + animationDuration, [this, generation, frame] {
        if (generation == m_generation)
            post(UIKeyboardNotification::DidShow, frame);
    });
}

void UIKeyboard::hide()
{
    if (!m_visible)
        return;
    m_visible = false;
    auto generation = ++m_generation;
    CGRect frame = hiddenFrame();
    post(UIKeyboardNotification::WillHide, frame);
    DispatchQueue::main().asyncAfter(DispatchTime::now() + animationDuration, [this, generation, frame] {
        if (generation == m_generation)
            post(UIKeyboardNotification::DidHide, frame);
    });
}

void UIKeyboard::inputDidBecomeFirstResponder()
{
    m_hideDeferred = false;
    show();
}

void UIKeyboard::inputDidResignFirstResponder()
{
    if (m_handovers > 0) {
        m_hideDeferred = true;
        return;
    }
    if (!textInputIsFirstResponder())
        hide();
}

UIKeyboard::Handover::Handover()
{
    ++shared().m_handovers;
}

UIKeyboard::Handover::~Handover()
{
    UIKeyboard& keyboard = shared();
    if (--keyboard.m_handovers > 0 || !keyboard.m_hideDeferred)
        return;
    keyboard.m_hideDeferred = false;
    if (!textInputIsFirstResponder())
        keyboard.hide();
}

void UIKeyboard::resetForTesting()
{
    m_visible = false;
    m_handovers = 0;
    m_hideDeferred = false;
    ++m_generation;
}
