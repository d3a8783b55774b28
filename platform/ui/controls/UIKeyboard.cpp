#include "platform/ui/controls/UIKeyboard.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIKeyInput.h"

#include <vector>

std::shared_ptr<UIView> firstResponderInWindow(const UIWindow& window)
{
    auto view = std::dynamic_pointer_cast<UIView>(UIResponder::currentFirstResponder());
    if (!view || view->window().get() != &window)
        return nullptr;
    return view;
}

namespace {

// Carries an input view in the responder's window, as the keyboard's own window would.
class InputHostView : public UIView {
public:
    std::string className() const override { return "UIInputSetHostView"; }
};

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
    if (m_inputHost && m_inputHost->superview())
        return { 0, bounds.height() - m_inputHost->bounds().height(), bounds.width(),
            m_inputHost->bounds().height() };
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

std::shared_ptr<UIView> UIKeyboard::inputViewHost() const
{
    return m_inputHost && m_inputHost->superview() ? m_inputHost : nullptr;
}

void UIKeyboard::updateInputView()
{
    auto responder = UIResponder::currentFirstResponder();
    auto* input = dynamic_cast<UIKeyInput*>(responder.get());
    auto view = input ? input->inputView() : nullptr;
    auto responderView = std::dynamic_pointer_cast<UIView>(responder);
    auto window = responderView ? responderView->window() : nullptr;
    if (!view || !window) {
        removeInputView();
        return;
    }
    if (!m_inputHost) {
        m_inputHost = std::make_shared<InputHostView>();
        m_inputHost->setBackgroundColor(
            UIColor::dynamic(UIColor(0.82, 0.84, 0.86, 1), UIColor(0.17, 0.17, 0.18, 1)));
    }
    for (const auto& shown : std::vector(m_inputHost->subviews())) {
        if (shown != view)
            shown->removeFromSuperview();
    }
    CGFloat height = view->intrinsicContentSize().height;
    if (height <= 0)
        height = view->frame().height();
    if (height <= 0)
        height = portraitHeight;
    CGRect bounds = window->bounds();
    CGFloat bottom = window->safeAreaInsets().bottom;
    // Added again so that it is in front of everything the window holds.
    window->addSubview(m_inputHost);
    m_inputHost->setFrame({ 0, bounds.height() - height - bottom, bounds.width(), height + bottom });
    if (view->superview() != m_inputHost)
        m_inputHost->addSubview(view);
    view->setFrame({ 0, 0, bounds.width(), height });
}

void UIKeyboard::removeInputView()
{
    if (!m_inputHost)
        return;
    for (const auto& shown : std::vector(m_inputHost->subviews()))
        shown->removeFromSuperview();
    m_inputHost->removeFromSuperview();
}

void UIKeyboard::show()
{
    updateInputView();
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
    removeInputView();
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
    removeInputView();
    m_visible = false;
    m_handovers = 0;
    m_hideDeferred = false;
    ++m_generation;
}
