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

namespace {

UIGestureArbiter*& arbiterSlot()
{
    static UIGestureArbiter* slot = nullptr;
    return slot;
}

bool isRecognition(UIGestureRecognizerState state)
{
    return state == UIGestureRecognizerState::began || state == UIGestureRecognizerState::ended;
}

}

void UIGestureRecognizer::setArbiter(UIGestureArbiter* arbiter)
{
    arbiterSlot() = arbiter;
}

UIGestureArbiter* UIGestureRecognizer::arbiter()
{
    return arbiterSlot();
}

void UIGestureRecognizer::requireToFail(const std::shared_ptr<UIGestureRecognizer>& other)
{
    if (other && other.get() != this)
        m_failureRequirements.push_back(other);
}

void UIGestureRecognizer::setState(UIGestureRecognizerState state)
{
    if (auto* arbiter = arbiterSlot();
        arbiter && m_state == UIGestureRecognizerState::possible && isRecognition(state)) {
        auto keep = weak_from_this().lock();
        state = arbiter->arbitrate(*this, state);
        if (state == UIGestureRecognizerState::possible)
            return;
    }
    forceState(state);
}

void UIGestureRecognizer::forceState(UIGestureRecognizerState state)
{
    auto previous = m_state;
    m_state = state;
    auto keep = weak_from_this().lock();
    if (state != UIGestureRecognizerState::possible && state != UIGestureRecognizerState::failed) {
        // Actions may remove targets or the recogniser itself.
        auto actions = m_actions;
        for (auto& action : actions)
            action(*this);
    }
    if (auto* arbiter = arbiterSlot(); arbiter && state != previous)
        arbiter->didChangeState(*this, previous);
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
