#include "platform/ui/UIResponder.h"

namespace {

std::weak_ptr<UIResponder>& firstResponderSlot()
{
    static std::weak_ptr<UIResponder> slot;
    return slot;
}

}

UIResponder::~UIResponder() = default;

bool UIResponder::becomeFirstResponder()
{
    if (!canBecomeFirstResponder())
        return false;
    auto current = firstResponderSlot().lock();
    if (current.get() == this)
        return true;
    if (current && !current->resignFirstResponder())
        return false;
    firstResponderSlot() = weak_from_this();
    return true;
}

bool UIResponder::resignFirstResponder()
{
    if (!canResignFirstResponder())
        return false;
    if (firstResponderSlot().lock().get() == this)
        firstResponderSlot().reset();
    return true;
}

bool UIResponder::isFirstResponder() const
{
    return firstResponderSlot().lock().get() == this;
}

std::shared_ptr<UIResponder> UIResponder::currentFirstResponder()
{
    return firstResponderSlot().lock();
}

void UIResponder::touchesBegan(const UITouchSet& touches, const UIEvent* event)
{
    if (auto next = nextResponder())
        next->touchesBegan(touches, event);
}

void UIResponder::touchesMoved(const UITouchSet& touches, const UIEvent* event)
{
    if (auto next = nextResponder())
        next->touchesMoved(touches, event);
}

void UIResponder::touchesEnded(const UITouchSet& touches, const UIEvent* event)
{
    if (auto next = nextResponder())
        next->touchesEnded(touches, event);
}

void UIResponder::touchesCancelled(const UITouchSet& touches, const UIEvent* event)
{
    if (auto next = nextResponder())
        next->touchesCancelled(touches, event);
}
