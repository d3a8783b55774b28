// The swipe-card stack: cards dealt from the provider, swiped away by code and by a driven pan,
// and springing back from a drag that is too short and too slow.

#include "platform/ui/swipe/ZLSwipeableView.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

namespace {

class SwipeCards : public zvtest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        stack = add<ZLSwipeableView>({ 20, 100, 350, 500 });
        stack->numberOfActiveView = 3;
        stack->nextView = [this]() -> std::shared_ptr<UIView> {
            if (dealt == deck)
                return nullptr;
            auto card = std::make_shared<UIView>(stack->bounds());
            card->setTag(dealt++);
            return card;
        };
        stack->didSwipe
            = [this](const std::shared_ptr<UIView>& card, ZLSwipeableViewDirection direction, CGVector) {
                  swiped.push_back({ card->tag(), direction });
              };
        stack->loadViews();
    }

    std::vector<int> activeTags() const
    {
        std::vector<int> tags;
        for (const auto& card : stack->activeViews())
            tags.push_back(card->tag());
        return tags;
    }

    CGPoint middle() const { return stack->convert(stack->bounds(), nullptr).center(); }

    using Swipe = std::pair<int, ZLSwipeableViewDirection>;
    std::shared_ptr<ZLSwipeableView> stack;
    int deck = 6;
    int dealt = 0;
    std::vector<Swipe> swiped;
};

}

TEST_F(SwipeCards, DealtThenSwipedLeftAndRightByCodeAndByHand)
{
    using enum ZLSwipeableViewDirection;
    // Three cards dealt, the first on top (drawn last) and resting upright in the middle.
    EXPECT_EQ(activeTags(), (std::vector<int> { 0, 1, 2 }));
    EXPECT_EQ(stack->subviews().back(), stack->topView());
    EXPECT_EQ(stack->topView()->center(), stack->bounds().center());
    EXPECT_TRUE(stack->topView()->transform().isIdentity());

    // By code: the top card leaves at once, the next is dealt behind, the card is gone once flown.
    auto first = stack->topView();
    stack->swipeTopView(left);
    EXPECT_EQ(swiped, (std::vector<Swipe> { { 0, left } }));
    EXPECT_EQ(activeTags(), (std::vector<int> { 1, 2, 3 }));
    EXPECT_LT(first->frame().maxX(), 0);
    EXPECT_EQ(first->superview(), stack);
    advance(ZLSwipeableView::swipeDuration);
    EXPECT_EQ(first->superview(), nullptr);

    // By hand: a long drag to the right.
    CGPoint from = middle();
    ASSERT_TRUE(driver.drag(from, { from.x + 200, from.y + 10 }, 0.4));
    EXPECT_EQ(swiped.back(), (Swipe { 1, right }));
    // A short, fast fling to the left counts too.
    ASSERT_TRUE(driver.drag(from, { from.x - 60, from.y }, 0.05));
    EXPECT_EQ(swiped.back(), (Swipe { 2, left }));
    EXPECT_EQ(activeTags(), (std::vector<int> { 3, 4, 5 }));

    // A short, slow drag lets the card spring back.
    ASSERT_TRUE(driver.drag(from, { from.x + 40, from.y }, 1.0));
    EXPECT_EQ(swiped.size(), 3u);
    EXPECT_EQ(stack->topView()->center(), stack->bounds().center());
    EXPECT_TRUE(stack->topView()->transform().isIdentity());

    // The provider runs dry: the stack empties card by card and then ignores swipes.
    for (int i = 0; i < 4; ++i)
        stack->swipeTopView(up);
    EXPECT_TRUE(stack->activeViews().empty());
    EXPECT_EQ(swiped.size(), 6u);
}
