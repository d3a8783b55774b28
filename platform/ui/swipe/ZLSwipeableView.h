#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <vector>

class UIPanGestureRecognizer;

enum class ZLSwipeableViewDirection { left, right, up, down };

// A stack of cards that are swiped away one at a time. The stack asks `nextView` for cards until
// it holds `numberOfActiveView` (or gets none); new cards go to the back, and the cards rest
// centred, those behind the top one turned a little either way. A pan drags the top card (turning
// it as it goes sideways); let go past `minTranslationInPercent` of the width, or flung faster than
// `minVelocityInPointPerSecond`, it flies off left or right, else it springs back. swipeTopView
// sends it off in any direction. A swiped card leaves the active cards at once, `didSwipe` hears of
// it, the stack fills up again, and the card is removed once it has flown out (after
// `swipeDuration` on the run loop's clock).
class ZLSwipeableView : public UIView {
public:
    using NextViewHandler = std::function<std::shared_ptr<UIView>()>;
    using DidSwipeHandler = std::function<void(
        const std::shared_ptr<UIView>& view, ZLSwipeableViewDirection direction, CGVector vector)>;

    static constexpr double swipeDuration = 0.3;
    static constexpr double restDuration = 0.25;

    ZLSwipeableView();
    explicit ZLSwipeableView(const CGRect& frame);

    std::string className() const override { return "ZLSwipeableView"; }

    unsigned numberOfActiveView = 4;
    NextViewHandler nextView;
    // `vector` is the release velocity (points per second) of a pan, or the unit vector of the
    // direction for a swipe made in code.
    DidSwipeHandler didSwipe;
    CGFloat minTranslationInPercent = 0.25;
    CGFloat minVelocityInPointPerSecond = 750;

    // Fills the stack up to numberOfActiveView cards.
    void loadViews();
    // The cards in play, top first (cards flying out are no longer among them).
    const std::vector<std::shared_ptr<UIView>>& activeViews() const { return m_active; }
    std::shared_ptr<UIView> topView() const;
    // Nothing without cards.
    void swipeTopView(ZLSwipeableViewDirection direction);

    void didMoveToSuperview() override;
    void layoutSubviews() override;

private:
    void handlePan(UIPanGestureRecognizer& pan);
    void swipe(const std::shared_ptr<UIView>& view, ZLSwipeableViewDirection direction, CGVector vector);
    // Puts the active cards (but a dragged one) where they rest.
    void placeCards(bool animated);

    std::vector<std::shared_ptr<UIView>> m_active;
    std::shared_ptr<UIPanGestureRecognizer> m_pan;
    std::weak_ptr<UIView> m_dragged;
    CGPoint m_dragStart;
};
