#include "platform/ui/gestures/UIEventDispatcher.h"

#include "platform/dispatch/Clock.h"
#include "platform/ui/UIView.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIControl.h"
#include "platform/ui/gestures/UIPinchGestureRecognizer.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>

namespace {

using State = UIGestureRecognizerState;

bool isTerminal(State s)
{
    return s == State::ended || s == State::cancelled || s == State::failed;
}

bool hasRecognized(State s)
{
    return s == State::began || s == State::changed || s == State::ended;
}

bool allowsSimultaneous(UIGestureRecognizer& a, UIGestureRecognizer& b)
{
    return (a.shouldRecognizeSimultaneously && a.shouldRecognizeSimultaneously(a, b))
        || (b.shouldRecognizeSimultaneously && b.shouldRecognizeSimultaneously(b, a));
}

// Whether `winner` recognising stops `other`. A tap leaves taps of more taps alone, so that a
// double tap can still follow a single tap that has no failure requirement.
bool prevents(const UIGestureRecognizer& winner, const UIGestureRecognizer& other)
{
    auto* winnerTap = dynamic_cast<const UITapGestureRecognizer*>(&winner);
    auto* otherTap = dynamic_cast<const UITapGestureRecognizer*>(&other);
    if (winnerTap && otherTap && winnerTap->numberOfTapsRequired < otherTap->numberOfTapsRequired)
        return false;
    return true;
}

bool followsSeveralFingers(const UIGestureRecognizer& recognizer)
{
    return dynamic_cast<const UIPinchGestureRecognizer*>(&recognizer) != nullptr;
}

bool dependsOn(const UIGestureRecognizer& recognizer, const UIGestureRecognizer& other)
{
    const auto& list = recognizer.failureRequirements();
    return std::any_of(
        list.begin(), list.end(), [&](const auto& weak) { return weak.lock().get() == &other; });
}

}

UIEventDispatcher::Guard::Guard(UIEventDispatcher& d)
    : dispatcher(d)
{
    ++dispatcher.m_depth;
}

UIEventDispatcher::Guard::~Guard()
{
    if (--dispatcher.m_depth == 0)
        dispatcher.resetFinished();
}

UIEventDispatcher& UIEventDispatcher::shared()
{
    static UIEventDispatcher dispatcher;
    return dispatcher;
}

UIEventDispatcher::UIEventDispatcher()
{
    UIGestureRecognizer::setArbiter(this);
}

UIEventDispatcher::Recognizers UIEventDispatcher::touchRecognizers(const UITouch& touch) const
{
    return touch.gestureRecognizers();
}

const UITouch* UIEventDispatcher::touchOf(const UIGestureRecognizer& recognizer) const
{
    auto contains = [&](const UITouch& touch) {
        return std::any_of(touch.m_recognizers.begin(), touch.m_recognizers.end(),
            [&](const auto& weak) { return weak.lock().get() == &recognizer; });
    };
    if (m_touch && contains(*m_touch))
        return m_touch.get();
    for (auto it = m_deliveries.rbegin(); it != m_deliveries.rend(); ++it) {
        if (contains(*it->touch))
            return it->touch.get();
    }
    return nullptr;
}

bool UIEventDispatcher::isParticipating(const UIGestureRecognizer& recognizer) const
{
    if (!recognizer.isEnabled() || !recognizer.view())
        return false;
    return std::any_of(
        m_active.begin(), m_active.end(), [&](const auto& weak) { return weak.lock().get() == &recognizer; });
}

bool UIEventDispatcher::claimedByControl(const UIGestureRecognizer& recognizer) const
{
    const UITouch* touch = touchOf(recognizer);
    if (!touch)
        return false;
    auto owner = recognizer.view();
    for (auto view = touch->view(); view && view != owner; view = view->superview()) {
        auto* control = dynamic_cast<UIControl*>(view.get());
        if (control && control->isEnabled() && !control->gestureRecognizerShouldBegin(recognizer))
            return true;
    }
    return false;
}

// ---- Touches ----

bool UIEventDispatcher::touchDown(const std::shared_ptr<UIWindow>& window, CGPoint point)
{
    Guard guard(*this);
    if (m_touch)
        touchCancel();
    // Whatever an earlier touch still held back for its view is delivered now.
    std::vector<std::shared_ptr<UITouch>> owed;
    for (auto& delivery : m_deliveries) {
        if (delivery.done)
            continue;
        if (delivery.beganDelivered && !delivery.cancelled)
            owed.push_back(delivery.touch);
        delivery.endPending = delivery.beganPending = false;
        delivery.done = true;
    }
    for (const auto& touch : owed) {
        if (auto view = touch->view()) {
            UIEvent event({ touch }, touch->timestamp());
            view->touchesEnded({ touch }, &event);
        }
    }
    if (!window)
        return false;
    auto hit = window->hitTest(point);
    if (!hit)
        return false;

    auto touch = std::make_shared<UITouch>();
    double now = Clock::now();
    touch->m_timestamp = now;
    touch->m_location = touch->m_previousLocation = point;
    touch->m_view = hit;
    touch->m_window = window;
    bool repeat = now - m_lastUpTime <= multiTapInterval
        && std::hypot(point.x - m_lastUpPoint.x, point.y - m_lastUpPoint.y) <= multiTapDistance;
    touch->m_tapCount = repeat ? m_lastTapCount + 1 : 1;

    for (auto view = hit; view; view = view->superview()) {
        for (const auto& recognizer : view->gestureRecognizers()) {
            if (!recognizer->isEnabled() || isTerminal(recognizer->state()))
                continue;
            if (recognizer->shouldReceiveTouch && !recognizer->shouldReceiveTouch(*recognizer, *touch))
                continue;
            touch->m_recognizers.push_back(recognizer);
            if (!isParticipating(*recognizer))
                m_active.push_back(recognizer);
        }
    }
    m_touch = touch;
    m_deliveries.push_back({ touch });

    deliver({ touch }, &UIGestureRecognizer::touchesBegan);

    auto it = std::find_if(
        m_deliveries.begin(), m_deliveries.end(), [&](const auto& d) { return d.touch == touch; });
    if (it == m_deliveries.end() || it->cancelled)
        return true;
    auto recognizers = touchRecognizers(*touch);
    bool held = std::any_of(recognizers.begin(), recognizers.end(), [](const auto& r) {
        return r->isEnabled() && r->delaysTouchesBegan && r->state() == State::possible;
    });
    if (held) {
        it->beganPending = true;
        return true;
    }
    it->beganDelivered = true;
    UIEvent event({ touch }, now);
    hit->touchesBegan({ touch }, &event);
    return true;
}

void UIEventDispatcher::touchMove(CGPoint point)
{
    if (!m_touch)
        return;
    Guard guard(*this);
    auto touch = m_touch;
    touch->m_previousLocation = touch->m_location;
    touch->m_location = point;
    touch->m_timestamp = Clock::now();
    touch->m_phase = UITouchPhase::moved;
    deliver({ touch }, &UIGestureRecognizer::touchesMoved, m_second != nullptr);
    auto it = std::find_if(
        m_deliveries.begin(), m_deliveries.end(), [&](const auto& d) { return d.touch == touch; });
    if (it == m_deliveries.end() || it->cancelled || !it->beganDelivered)
        return;
    if (auto view = touch->view()) {
        UIEvent event({ touch }, touch->timestamp());
        view->touchesMoved({ touch }, &event);
    }
}

void UIEventDispatcher::touchUp(CGPoint point)
{
    if (!m_touch)
        return;
    Guard guard(*this);
    endSecondTouch(false);
    auto touch = m_touch;
    touch->m_previousLocation = touch->m_location;
    touch->m_location = point;
    touch->m_timestamp = Clock::now();
    touch->m_phase = UITouchPhase::ended;
    m_lastUpTime = touch->m_timestamp;
    m_lastUpPoint = point;
    m_lastTapCount = touch->m_tapCount;
    deliver({ touch }, &UIGestureRecognizer::touchesEnded);
    finishTouch(false);
}

void UIEventDispatcher::touchCancel()
{
    if (!m_touch)
        return;
    Guard guard(*this);
    endSecondTouch(true);
    auto touch = m_touch;
    touch->m_timestamp = Clock::now();
    touch->m_phase = UITouchPhase::cancelled;
    deliver({ touch }, &UIGestureRecognizer::touchesCancelled);
    finishTouch(true);
}

bool UIEventDispatcher::secondTouchDown(CGPoint point)
{
    if (!m_touch || m_second)
        return false;
    Guard guard(*this);
    auto touch = std::make_shared<UITouch>();
    touch->m_timestamp = Clock::now();
    touch->m_location = touch->m_previousLocation = point;
    touch->m_view = m_touch->m_view;
    touch->m_window = m_touch->m_window;
    for (const auto& recognizer : m_touch->gestureRecognizers()) {
        if (followsSeveralFingers(*recognizer))
            touch->m_recognizers.push_back(recognizer);
    }
    m_second = touch;
    deliver({ touch }, &UIGestureRecognizer::touchesBegan);
    return true;
}

void UIEventDispatcher::secondTouchMove(CGPoint point)
{
    if (!m_second)
        return;
    Guard guard(*this);
    auto touch = m_second;
    touch->m_previousLocation = touch->m_location;
    touch->m_location = point;
    touch->m_timestamp = Clock::now();
    touch->m_phase = UITouchPhase::moved;
    deliver({ touch }, &UIGestureRecognizer::touchesMoved);
}

void UIEventDispatcher::touchesMove(CGPoint first, CGPoint second)
{
    if (m_second) {
        m_second->m_previousLocation = m_second->m_location;
        m_second->m_location = second;
        m_second->m_timestamp = Clock::now();
        m_second->m_phase = UITouchPhase::moved;
    }
    touchMove(first);
}

void UIEventDispatcher::secondTouchUp(CGPoint point)
{
    if (!m_second)
        return;
    Guard guard(*this);
    m_second->m_previousLocation = m_second->m_location;
    m_second->m_location = point;
    endSecondTouch(false);
}

void UIEventDispatcher::endSecondTouch(bool cancelled)
{
    if (!m_second)
        return;
    auto touch = m_second;
    m_second.reset();
    touch->m_timestamp = Clock::now();
    touch->m_phase = cancelled ? UITouchPhase::cancelled : UITouchPhase::ended;
    deliver(
        { touch }, cancelled ? &UIGestureRecognizer::touchesCancelled : &UIGestureRecognizer::touchesEnded);
}

void UIEventDispatcher::finishTouch(bool cancelled)
{
    auto touch = m_touch;
    m_touch.reset();
    auto it = std::find_if(
        m_deliveries.begin(), m_deliveries.end(), [&](const auto& d) { return d.touch == touch; });
    if (it == m_deliveries.end() || it->done)
        return;
    if (it->cancelled) {
        it->done = true;
        return;
    }
    if (cancelled) {
        it->done = true;
        it->beganPending = false;
        if (it->beganDelivered) {
            if (auto view = touch->view()) {
                UIEvent event({ touch }, touch->timestamp());
                view->touchesCancelled({ touch }, &event);
            }
        }
        return;
    }
    it->endPending = true;
    flushViewDeliveries();
}

void UIEventDispatcher::deliver(UITouchSet touches,
    void (UIGestureRecognizer::*method)(const UITouchSet&, const UIEvent*), bool severalFingersOnly)
{
    const auto& touch = touches.front();
    UIEvent event(touches, touch->timestamp());
    for (const auto& recognizer : touchRecognizers(*touch)) {
        if (!recognizer->isEnabled() || isTerminal(recognizer->state()) || !recognizer->view())
            continue;
        if (severalFingersOnly && !followsSeveralFingers(*recognizer))
            continue;
        recognizer->setLocationInWindow(touch->m_location);
        ((*recognizer).*method)(touches, &event);
    }
}

// ---- The view's side ----

void UIEventDispatcher::flushViewDeliveries()
{
    auto blocking = [](const UITouch& touch, bool began) {
        auto recognizers = touch.gestureRecognizers();
        return std::any_of(recognizers.begin(), recognizers.end(), [&](const auto& r) {
            return r->isEnabled() && r->state() == State::possible
                && (began ? r->delaysTouchesBegan : r->delaysTouchesEnded);
        });
    };
    // Each pass delivers at most one thing, then starts over: the view may start new touches.
    for (bool progress = true; progress;) {
        progress = false;
        for (auto& delivery : m_deliveries) {
            if (delivery.done)
                continue;
            auto touch = delivery.touch;
            auto view = touch->view();
            UIEvent event({ touch }, touch->timestamp());
            if (delivery.beganPending && !blocking(*touch, true)) {
                delivery.beganPending = false;
                if (!delivery.cancelled && view) {
                    delivery.beganDelivered = true;
                    progress = true;
                    view->touchesBegan({ touch }, &event);
                    break;
                }
            }
            if (!delivery.beganPending && delivery.endPending && !blocking(*touch, false)) {
                delivery.endPending = false;
                delivery.done = true;
                if (!delivery.cancelled && delivery.beganDelivered && view) {
                    progress = true;
                    view->touchesEnded({ touch }, &event);
                    break;
                }
            }
        }
    }
}

void UIEventDispatcher::cancelViewTouches(UIGestureRecognizer& recognizer)
{
    for (std::size_t i = 0; i < m_deliveries.size(); ++i) {
        auto& delivery = m_deliveries[i];
        if (delivery.done || delivery.cancelled)
            continue;
        auto touch = delivery.touch;
        auto recognizers = touch->gestureRecognizers();
        if (std::none_of(recognizers.begin(), recognizers.end(),
                [&](const auto& r) { return r.get() == &recognizer; }))
            continue;
        delivery.cancelled = true;
        delivery.beganPending = false;
        delivery.endPending = false;
        bool wasDelivered = delivery.beganDelivered;
        if (touch != m_touch)
            delivery.done = true;
        if (wasDelivered) {
            if (auto view = touch->view()) {
                UIEvent event({ touch }, touch->timestamp());
                view->touchesCancelled({ touch }, &event);
            }
        }
    }
}

// ---- Arbitration ----

UIGestureRecognizerState UIEventDispatcher::decide(UIGestureRecognizer& recognizer, State requested)
{
    if (!recognizer.isEnabled() || claimedByControl(recognizer))
        return State::failed;
    if (const UITouch* touch = touchOf(recognizer)) {
        for (const auto& other : touch->gestureRecognizers()) {
            if (other.get() == &recognizer || !hasRecognized(other->state()))
                continue;
            if (prevents(*other, recognizer) && !allowsSimultaneous(recognizer, *other))
                return State::failed;
        }
    }
    if (recognizer.shouldBegin && !recognizer.shouldBegin(recognizer))
        return State::failed;
    return requested;
}

UIGestureRecognizerState UIEventDispatcher::arbitrate(UIGestureRecognizer& recognizer, State requested)
{
    Guard guard(*this);
    bool wait = false;
    for (const auto& weak : recognizer.failureRequirements()) {
        auto required = weak.lock();
        if (!required)
            continue;
        if (hasRecognized(required->state()))
            return State::failed;
        if (required->state() == State::possible && isParticipating(*required))
            wait = true;
    }
    if (wait) {
        m_held[&recognizer] = requested;
        return State::possible;
    }
    return decide(recognizer, requested);
}

void UIEventDispatcher::didChangeState(UIGestureRecognizer& recognizer, State previous)
{
    Guard guard(*this);
    auto keep = recognizer.shared_from_this();
    State state = recognizer.state();
    if (previous == State::possible && (state == State::began || state == State::ended)) {
        m_held.erase(&recognizer);
        recognized(recognizer);
    } else if (state == State::failed || state == State::cancelled) {
        m_held.erase(&recognizer);
        settleDependents(recognizer);
    }
    flushViewDeliveries();
}

void UIEventDispatcher::recognized(UIGestureRecognizer& recognizer)
{
    if (const UITouch* touch = touchOf(recognizer)) {
        for (const auto& other : touch->gestureRecognizers()) {
            if (other.get() == &recognizer || other->state() != State::possible)
                continue;
            if (prevents(recognizer, *other) && !allowsSimultaneous(recognizer, *other)) {
                m_held.erase(other.get());
                other->forceState(State::failed);
            }
        }
    }
    if (recognizer.cancelsTouchesInView)
        cancelViewTouches(recognizer);
    settleDependents(recognizer);
}

void UIEventDispatcher::settleDependents(UIGestureRecognizer& recognizer)
{
    std::vector<std::shared_ptr<UIGestureRecognizer>> dependents;
    for (const auto& weak : m_active) {
        auto candidate = weak.lock();
        if (candidate && m_held.count(candidate.get()) && dependsOn(*candidate, recognizer))
            dependents.push_back(candidate);
    }
    for (const auto& dependent : dependents) {
        auto held = m_held.find(dependent.get());
        if (held == m_held.end() || dependent->state() != State::possible)
            continue;
        State requested = held->second;
        if (hasRecognized(recognizer.state())) {
            m_held.erase(held);
            dependent->forceState(State::failed);
            continue;
        }
        bool wait = false;
        bool blocked = false;
        for (const auto& weak : dependent->failureRequirements()) {
            auto required = weak.lock();
            if (!required)
                continue;
            blocked = blocked || hasRecognized(required->state());
            wait = wait || (required->state() == State::possible && isParticipating(*required));
        }
        if (wait && !blocked)
            continue;
        m_held.erase(held);
        dependent->forceState(blocked ? State::failed : decide(*dependent, requested));
    }
}

void UIEventDispatcher::resetFinished()
{
    ++m_depth; // resets below must not come back here
    std::erase_if(m_deliveries, [](const auto& d) { return d.done; });
    auto active = m_active;
    for (const auto& weak : active) {
        auto recognizer = weak.lock();
        if (!recognizer || !isTerminal(recognizer->state()))
            continue;
        if (m_touch && touchOf(*recognizer) == m_touch.get())
            continue;
        recognizer->reset();
        std::erase_if(m_active, [&](const auto& w) {
            auto r = w.lock();
            return !r || r == recognizer;
        });
    }
    std::erase_if(m_active, [](const auto& w) { return w.expired(); });
    --m_depth;
}

void UIEventDispatcher::resetForTesting()
{
    m_touch.reset();
    m_second.reset();
    m_deliveries.clear();
    m_held.clear();
    for (const auto& weak : m_active) {
        if (auto recognizer = weak.lock())
            recognizer->reset();
    }
    m_active.clear();
    m_lastUpTime = -1e9;
    m_lastTapCount = 0;
}
