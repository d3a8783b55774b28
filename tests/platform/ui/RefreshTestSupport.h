#pragma once

#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/lists/UIScrollView.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <memory>

namespace refreshtest {

// A 390 x 600 list at (0, 100) of the window, and a finger that can stop half way.
class RefreshTest : public zvtest::WindowTest {
protected:
    std::shared_ptr<UIScrollView> makeList(CGFloat contentHeight)
    {
        auto list = add<UIScrollView>({ 0, 100, 390, 600 });
        list->setContentSize({ 390, contentHeight });
        return list;
    }

    void press(CGPoint at)
    {
        window->layoutIfNeeded();
        ASSERT_TRUE(UIEventDispatcher::shared().touchDown(window, at));
        m_finger = at;
    }
    // Moves the finger in even steps over a third of a second.
    void moveTo(CGPoint to)
    {
        const int steps = 20;
        CGPoint from = m_finger;
        for (int i = 1; i <= steps; ++i) {
            advance(0.3 / steps);
            CGFloat t = CGFloat(i) / steps;
            UIEventDispatcher::shared().touchMove(
                { from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t });
        }
        m_finger = to;
    }
    // Holds still, then lifts: no speed at the release.
    void lift()
    {
        advance(0.2);
        UIEventDispatcher::shared().touchUp(m_finger);
    }
    void drag(CGPoint from, CGPoint to)
    {
        press(from);
        moveTo(to);
        lift();
    }

private:
    CGPoint m_finger;
};

}
