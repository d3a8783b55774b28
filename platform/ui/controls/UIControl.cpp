#include "platform/ui/controls/UIControl.h"

#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>

namespace {

std::function<bool(const UIControl&)>& controlRepeatedTouchUpRule()
{
    static std::function<bool(const UIControl&)> rule;
    return rule;
}

}

UIControl::UIControl()
    : UIControl(CGRect {})
{ }

UIControl::UIControl(const CGRect& frame)
    : UIView(frame)
{ }

void UIControl::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    if (!enabled && m_highlighted)
        m_highlighted = false;
    setNeedsDisplay();
    stateDidChange();
}

void UIControl::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    setNeedsDisplay();
    stateDidChange();
}

void UIControl::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    setNeedsDisplay();
    stateDidChange();
}

unsigned UIControl::state() const
{
    unsigned s = UIControlStateNormal;
    if (m_highlighted)
        s |= UIControlStateHighlighted;
    if (!m_enabled)
        s |= UIControlStateDisabled;
    if (m_selected)
        s |= UIControlStateSelected;
    return s;
}

// ---- Actions ----

UIControl::ActionId UIControl::addAction(unsigned events, Action action)
{
    if (!action || events == 0)
        return 0;
    ActionId id = m_nextId++;
    m_actions.push_back({ id, events, std::move(action) });
    return id;
}

void UIControl::removeAction(ActionId id)
{
    std::erase_if(m_actions, [&](const auto& r) { return r.id == id; });
}

void UIControl::removeActions(unsigned events)
{
    for (auto& registration : m_actions)
        registration.events &= ~events;
    std::erase_if(m_actions, [](const auto& r) { return r.events == 0; });
}

unsigned UIControl::allControlEvents() const
{
    unsigned events = 0;
    for (const auto& registration : m_actions)
        events |= registration.events;
    return events;
}

void UIControl::sendActions(unsigned events)
{
    // Actions may add or remove actions, or release the control.
    auto keep = weak_from_this().lock();
    std::vector<Action> due;
    for (const auto& registration : m_actions) {
        if (registration.events & events)
            due.push_back(registration.action);
    }
    for (auto& action : due)
        action(*this);
}

bool UIControl::preventsRepeatedTouchUpInsideEvent() const
{
    if (m_preventsRepeated)
        return *m_preventsRepeated;
    const auto& rule = controlRepeatedTouchUpRule();
    return rule && rule(*this);
}

void UIControl::setRepeatedTouchUpRule(std::function<bool(const UIControl&)> rule)
{
    controlRepeatedTouchUpRule() = std::move(rule);
}

bool UIControl::gestureRecognizerShouldBegin(const UIGestureRecognizer& recognizer) const
{
    if (!keepsSingleTaps() || recognizer.view().get() == this)
        return true;
    auto* tap = dynamic_cast<const UITapGestureRecognizer*>(&recognizer);
    return !(tap && tap->numberOfTapsRequired == 1 && tap->numberOfTouchesRequired == 1);
}

// ---- Tracking ----

bool UIControl::isPointInsideForTracking(CGPoint point) const
{
    return bounds().insetBy(-touchSlop, -touchSlop).contains(point);
}

bool UIControl::beginTracking(const UITouch&, const UIEvent*)
{
    return true;
}

bool UIControl::continueTracking(const UITouch&, const UIEvent*)
{
    return true;
}

void UIControl::endTracking(const UITouch*, const UIEvent*)
{ }

void UIControl::cancelTracking(const UIEvent*)
{ }

void UIControl::touchesBegan(const UITouchSet& touches, const UIEvent* event)
{
    if (touches.empty() || !m_enabled)
        return;
    auto keep = weak_from_this().lock();
    const UITouch& touch = *touches.front();
    m_touchInside = true;
    m_tracking = beginTracking(touch, event);
    setHighlighted(true);
    sendActions(UIControlEventTouchDown);
}

void UIControl::touchesMoved(const UITouchSet& touches, const UIEvent* event)
{
    if (touches.empty() || !m_enabled)
        return;
    auto keep = weak_from_this().lock();
    const UITouch& touch = *touches.front();
    m_touchInside = isPointInsideForTracking(touch.location(this));
    setHighlighted(m_touchInside);
    if (m_tracking)
        m_tracking = continueTracking(touch, event);
    sendActions(m_touchInside ? UIControlEventTouchDragInside : UIControlEventTouchDragOutside);
}

void UIControl::touchesEnded(const UITouchSet& touches, const UIEvent* event)
{
    if (touches.empty())
        return;
    auto keep = weak_from_this().lock();
    const UITouch& touch = *touches.front();
    m_touchInside = isPointInsideForTracking(touch.location(this));
    bool wasTracking = m_tracking;
    m_tracking = false;
    setHighlighted(false);
    if (!m_enabled)
        return;
    if (wasTracking)
        endTracking(&touch, event);
    if (!m_touchInside) {
        sendActions(UIControlEventTouchUpOutside);
        return;
    }
    if (touch.tapCount() > 1 && preventsRepeatedTouchUpInsideEvent())
        return;
    sendActions(UIControlEventTouchUpInside);
}

void UIControl::touchesCancelled(const UITouchSet&, const UIEvent* event)
{
    auto keep = weak_from_this().lock();
    bool wasTracking = m_tracking;
    m_tracking = false;
    m_touchInside = false;
    setHighlighted(false);
    if (wasTracking)
        cancelTracking(event);
    sendActions(UIControlEventTouchCancel);
}

std::shared_ptr<UIView> UIControl::hitTest(CGPoint point, const UIEvent* event)
{
    if (!m_enabled)
        return nullptr;
    return UIView::hitTest(point, event);
}

std::string UIControl::dumpAttributes() const
{
    std::string out;
    auto add = [&](const char* word) {
        if (!out.empty())
            out += ' ';
        out += word;
    };
    if (m_selected)
        add("selected");
    if (!m_enabled)
        add("disabled");
    if (m_highlighted)
        add("highlighted");
    return out;
}
