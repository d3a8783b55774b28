#include "platform/ui/UIGestureRecognizer.h"

#include "platform/ui/UIView.h"

UIGestureRecognizer::UIGestureRecognizer(Action action)
{
    addTarget(std::move(action));
}

UIGestureRecognizer::~UIGestureRecognizer() = default;

void UIGestureRecognizer::addTarget(Action action)
{
    if (action)
        m_actions.push_back(std::move(action));
}

void UIGestureRecognizer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled
        && (m_state == UIGestureRecognizerState::began || m_state == UIGestureRecognizerState::changed))
        setState(UIGestureRecognizerState::cancelled);
}

void UIGestureRecognizer::setState(UIGestureRecognizerState state)
{
    m_state = state;
    if (state == UIGestureRecognizerState::possible || state == UIGestureRecognizerState::failed)
        return;
    // Actions may remove targets or the recogniser itself.
    auto keep = weak_from_this().lock();
    auto actions = m_actions;
    for (auto& action : actions)
        action(*this);
}

void UIGestureRecognizer::reset()
{
    m_state = UIGestureRecognizerState::possible;
    didReset();
}

CGPoint UIGestureRecognizer::location(const UIView* view) const
{
    if (!view)
        return m_locationInWindow;
    return view->convertFrom(m_locationInWindow, nullptr);
}

void UIGestureRecognizer::attach(const std::shared_ptr<UIView>& view)
{
    m_view = view;
    didMoveToView(view.get());
}
