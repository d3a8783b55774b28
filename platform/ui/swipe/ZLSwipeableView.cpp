#include "platform/ui/swipe/ZLSwipeableView.h"

#include "platform/ui/gestures/UIPanGestureRecognizer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The turn of a card at its full sideways drag, and of the cards resting behind the top one.
constexpr CGFloat maximumDragTurn = std::numbers::pi / 10;
constexpr CGFloat restTurn = std::numbers::pi / 90;

CGVector unitVector(ZLSwipeableViewDirection direction)
{
    switch (direction) {
    case ZLSwipeableViewDirection::left:
        return { -1, 0 };
    case ZLSwipeableViewDirection::right:
        return { 1, 0 };
    case ZLSwipeableViewDirection::up:
        return { 0, -1 };
    case ZLSwipeableViewDirection::down:
        break;
    }
    return { 0, 1 };
}

}

ZLSwipeableView::ZLSwipeableView()
    : ZLSwipeableView(CGRect {})
{ }

ZLSwipeableView::ZLSwipeableView(const CGRect& frame)
    : UIView(frame)
{ }

std::shared_ptr<UIView> ZLSwipeableView::topView() const
{
    return m_active.empty() ? nullptr : m_active.front();
}

void ZLSwipeableView::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    if (m_pan)
        return;
    std::weak_ptr<UIView> weakSelf = weakFromThis();
    m_pan = std::make_shared<UIPanGestureRecognizer>([weakSelf](UIGestureRecognizer& recognizer) {
        if (auto self = std::static_pointer_cast<ZLSwipeableView>(weakSelf.lock()))
            self->handlePan(static_cast<UIPanGestureRecognizer&>(recognizer));
    });
    addGestureRecognizer(m_pan);
}

void ZLSwipeableView::loadViews()
{
    bool added = false;
    while (m_active.size() < numberOfActiveView && nextView) {
        auto view = nextView();
        // A card already in play, or the stack's own ancestry, cannot be dealt (again).
        if (!view || view.get() == this || isDescendant(view.get())
            || std::find(m_active.begin(), m_active.end(), view) != m_active.end())
            break;
        m_active.push_back(view);
        // Behind every card already in the stack.
        insertSubview(view, 0);
        view->setCenter(bounds().center());
        added = true;
    }
    if (added)
        placeCards(false);
}

void ZLSwipeableView::placeCards(bool animated)
{
    auto dragged = m_dragged.lock();
    auto place = [this, dragged] {
        CGPoint center = bounds().center();
        for (std::size_t i = 0; i < m_active.size(); ++i) {
            const auto& view = m_active[i];
            if (view == dragged)
                continue;
            view->setCenter(center);
            // Alternately one way and the other, a little more the deeper the card lies.
            CGFloat turn = i == 0 ? 0 : restTurn * ((i + 1) / 2) * (i % 2 ? 1 : -1);
            view->setTransform(CGAffineTransform::rotation(turn));
        }
    };
    if (animated)
        UIView::animate(restDuration, place);
    else
        place();
}

void ZLSwipeableView::layoutSubviews()
{
    UIView::layoutSubviews();
    placeCards(false);
}

void ZLSwipeableView::swipeTopView(ZLSwipeableViewDirection direction)
{
    if (auto top = topView())
        swipe(top, direction, unitVector(direction));
}

void ZLSwipeableView::swipe(
    const std::shared_ptr<UIView>& view, ZLSwipeableViewDirection direction, CGVector vector)
{
    m_active.erase(std::remove(m_active.begin(), m_active.end(), view), m_active.end());
    if (m_dragged.lock() == view)
        m_dragged.reset();
    // Far enough along the direction that the card has left the stack's bounds entirely.
    CGVector unit = unitVector(direction);
    CGRect b = bounds();
    CGFloat travel
        = std::hypot(b.width(), b.height()) + std::hypot(view->bounds().width(), view->bounds().height());
    CGPoint from = view->center();
    CGPoint to { from.x + unit.dx * travel, from.y + unit.dy * travel };
    std::weak_ptr<UIView> weakView = view;
    std::weak_ptr<UIView> weakSelf = weakFromThis();
    UIView::animate(
        swipeDuration, [&] { view->setCenter(to); },
        [weakView, weakSelf](bool) {
            auto card = weakView.lock();
            auto self = std::static_pointer_cast<ZLSwipeableView>(weakSelf.lock());
            if (!card || !self || card->superview() != self)
                return;
            // A card dealt again in the meantime stays.
            if (std::find(self->m_active.begin(), self->m_active.end(), card) == self->m_active.end())
                card->removeFromSuperview();
        });
    auto keep = sharedFromThis();
    if (didSwipe)
        didSwipe(view, direction, vector);
    loadViews();
    placeCards(true);
}

void ZLSwipeableView::handlePan(UIPanGestureRecognizer& pan)
{
    CGRect b = bounds();
    switch (pan.state()) {
    case UIGestureRecognizerState::began: {
        auto top = topView();
        m_dragged = top;
        if (top)
            m_dragStart = top->center();
        break;
    }
    case UIGestureRecognizerState::changed: {
        auto card = m_dragged.lock();
        if (!card)
            break;
        CGPoint t = pan.translation(this);
        card->setCenter({ m_dragStart.x + t.x, m_dragStart.y + t.y });
        CGFloat share = b.width() > 0 ? std::clamp<CGFloat>(t.x / b.width(), -1, 1) : 0;
        card->setTransform(CGAffineTransform::rotation(share * maximumDragTurn));
        break;
    }
    case UIGestureRecognizerState::ended:
    case UIGestureRecognizerState::cancelled: {
        auto card = m_dragged.lock();
        m_dragged.reset();
        if (!card || std::find(m_active.begin(), m_active.end(), card) == m_active.end())
            break;
        CGPoint t = pan.translation(this);
        CGPoint v = pan.velocity(this);
        bool ended = pan.state() == UIGestureRecognizerState::ended;
        bool farEnough = std::abs(t.x) > minTranslationInPercent * b.width();
        // A fling counts when it goes the way the card was dragged (or the card barely moved).
        bool fastEnough = std::abs(v.x) > minVelocityInPointPerSecond && (t.x == 0 || (t.x > 0) == (v.x > 0));
        if (ended && (farEnough || fastEnough)) {
            CGFloat side = farEnough ? t.x : v.x;
            swipe(card, side < 0 ? ZLSwipeableViewDirection::left : ZLSwipeableViewDirection::right,
                { v.x, v.y });
        } else {
            placeCards(true);
        }
        break;
    }
    default:
        break;
    }
}
