#include "platform/ui/gestures/UITouch.h"

#include "platform/ui/UIView.h"

std::vector<std::shared_ptr<UIGestureRecognizer>> UITouch::gestureRecognizers() const
{
    std::vector<std::shared_ptr<UIGestureRecognizer>> list;
    for (const auto& weak : m_recognizers) {
        if (auto recognizer = weak.lock())
            list.push_back(std::move(recognizer));
    }
    return list;
}

CGPoint UITouch::location(const UIView* view) const
{
    return view ? view->convertFrom(m_location, nullptr) : m_location;
}

CGPoint UITouch::previousLocation(const UIView* view) const
{
    return view ? view->convertFrom(m_previousLocation, nullptr) : m_previousLocation;
}
