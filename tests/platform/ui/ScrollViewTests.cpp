#include "platform/ui/gestures/UIPanGestureRecognizer.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/lists/UIScrollView.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Records the delegate callbacks, compactly.
class ScrollLog : public UIScrollViewDelegate {
public:
    std::vector<std::string> events;
    std::shared_ptr<UIView> zoomView;
    std::optional<CGPoint> retarget;
    CGPoint releaseVelocity;

    void scrollViewDidScroll(UIScrollView&) override
    {
        if (events.empty() || events.back() != "scroll")
            events.push_back("scroll");
    }
    void scrollViewWillBeginDragging(UIScrollView&) override { events.push_back("willBeginDragging"); }
    void scrollViewWillEndDragging(UIScrollView&, CGPoint velocity, CGPoint& target) override
    {
        releaseVelocity = velocity;
        events.push_back("willEndDragging");
        if (retarget)
            target = *retarget;
    }
    void scrollViewDidEndDragging(UIScrollView&, bool decelerate) override
    {
        events.push_back(decelerate ? "didEndDragging(decelerate)" : "didEndDragging");
    }
    void scrollViewWillBeginDecelerating(UIScrollView&) override
    {
        events.push_back("willBeginDecelerating");
    }
    void scrollViewDidEndDecelerating(UIScrollView&) override { events.push_back("didEndDecelerating"); }
    void scrollViewDidEndScrollingAnimation(UIScrollView&) override
    {
        events.push_back("didEndScrollingAnimation");
    }
    std::shared_ptr<UIView> viewForZooming(UIScrollView&) override { return zoomView; }
    void scrollViewDidZoom(UIScrollView&) override { events.push_back("didZoom"); }
    void scrollViewDidEndZooming(UIScrollView&, UIView*, CGFloat scale) override
    {
        events.push_back("didEndZooming " + std::to_string(static_cast<int>(scale)));
    }
};

class ScrollViews : public zvtest::WindowTest {
protected:
    // A 200 x 200 scroll view at (0, 100) of the window over the given content.
    std::shared_ptr<UIScrollView> makeScrollView(CGSize content)
    {
        auto view = add<UIScrollView>({ 0, 100, 200, 200 });
        view->setContentSize(content);
        view->setDelegate(log);
        return view;
    }

    // Drags at an even pace, then holds still before lifting: no speed at the release.
    void dragAndHold(CGPoint from, CGPoint to, double seconds = 0.5)
    {
        auto& dispatcher = UIEventDispatcher::shared();
        window->layoutIfNeeded();
        ASSERT_TRUE(dispatcher.touchDown(window, from));
        const int steps = 30;
        for (int i = 1; i <= steps; ++i) {
            advance(seconds / steps);
            CGFloat t = CGFloat(i) / steps;
            dispatcher.touchMove({ from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t });
        }
        advance(0.2);
        dispatcher.touchUp(to);
    }

    std::shared_ptr<ScrollLog> log = std::make_shared<ScrollLog>();
};

TEST_F(ScrollViews, PagingVelocityDecidesThePage)
{
    auto view = makeScrollView({ 1000, 200 });
    view->setPagingEnabled(true);

    // A quick flick of 60 points turns the page ...
    ASSERT_TRUE(driver.drag({ 150, 200 }, { 90, 200 }, 0.1));
    EXPECT_EQ(view->contentOffset().x, 200);
    advance(1);
    // ... a slow drag of the same length falls back ...
    ASSERT_TRUE(driver.drag({ 150, 200 }, { 90, 200 }, 1.0));
    EXPECT_EQ(view->contentOffset().x, 200);
    advance(1);
    // ... a slow drag past half a page settles on the next one ...
    ASSERT_TRUE(driver.drag({ 180, 200 }, { 60, 200 }, 1.5));
    EXPECT_EQ(view->contentOffset().x, 400);
    advance(1);
    // ... a flick back goes back whatever the distance ...
    ASSERT_TRUE(driver.drag({ 60, 200 }, { 90, 200 }, 0.05));
    EXPECT_EQ(view->contentOffset().x, 200);
    advance(1);
    // ... and the last page holds at the end of the content.
    view->setContentOffset({ 800, 0 });
    ASSERT_TRUE(driver.drag({ 150, 200 }, { 50, 200 }, 0.1));
    EXPECT_EQ(view->contentOffset().x, 800);
    advance(1);
    EXPECT_EQ(log->events.back(), "didEndDecelerating");
}

TEST_F(ScrollViews, EdgesBounceBackOrHold)
{
    auto view = makeScrollView({ 200, 600 });
    // Pulled down beyond the top: the content follows at half the finger's pace, then returns.
    CGFloat lowest = 0;
    auto pan = view->panGestureRecognizer();
    pan->addTarget([&](UIGestureRecognizer&) { lowest = std::min(lowest, view->contentOffset().y); });
    dragAndHold({ 100, 120 }, { 100, 220 });
    EXPECT_EQ(lowest, -50);
    EXPECT_EQ(view->contentOffset().y, 0);
    EXPECT_NE(
        std::find(log->events.begin(), log->events.end(), "didEndDragging(decelerate)"), log->events.end())
        << "the bounce back is a deceleration";

    log->events.clear();
    view->setBounces(false);
    lowest = 0;
    dragAndHold({ 100, 120 }, { 100, 220 });
    EXPECT_EQ(lowest, 0) << "without bouncing the content stops at its edge";
    EXPECT_EQ(log->events.back(), "didEndDragging");

    // Content that fits does not scroll unless it always bounces.
    auto small = makeScrollView({ 200, 100 });
    EXPECT_FALSE(small->canScrollVertically());
    small->setAlwaysBounceVertical(true);
    EXPECT_TRUE(small->canScrollVertically());
}

TEST_F(ScrollViews, AnimatedOffsetsVisibleRectanglesAndTheStatusBarTap)
{
    auto view = makeScrollView({ 200, 2000 });
    view->setContentOffset({ 0, 300 }, true);
    EXPECT_EQ(view->contentOffset().y, 300);
    advance(UIScrollView::scrollAnimationDuration + 0.01);
    EXPECT_EQ(log->events.back(), "didEndScrollingAnimation");

    view->scrollRectToVisible({ 0, 900, 200, 50 }, false);
    EXPECT_EQ(view->contentOffset().y, 750) << "just enough to show the bottom of the rectangle";
    view->scrollRectToVisible({ 0, 700, 200, 50 }, false);
    EXPECT_EQ(view->contentOffset().y, 700);
    view->scrollRectToVisible({ 0, 1990, 200, 500 }, false);
    EXPECT_EQ(view->contentOffset().y, 1800) << "never past the end";

    // Insets: a list resting at its top follows a new top inset.
    view->setContentOffset({ 0, 0 });
    view->setContentInset({ 16, 0, 10, 0 });
    EXPECT_EQ(view->contentOffset().y, -16);
    EXPECT_EQ(view->maximumContentOffset().y, 2000 + 10 - 200);

    // A status bar tap goes to the top of the inset content unless turned off.
    view->setContentOffset({ 0, 500 });
    EXPECT_TRUE(view->scrollToTopFromStatusBar());
    EXPECT_EQ(view->contentOffset().y, -16);
    view->setContentOffset({ 0, 500 });
    view->setScrollsToTop(false);
    EXPECT_FALSE(view->scrollToTopFromStatusBar());
    EXPECT_EQ(view->contentOffset().y, 500);
}

TEST_F(ScrollViews, ZoomScalesTheViewAndPansWithinIt)
{
    auto view = makeScrollView({ 200, 200 });
    auto image = std::make_shared<UIView>(CGRect { 0, 0, 200, 200 });
    view->addSubview(image);
    log->zoomView = image;
    view->setMinimumZoomScale(1);
    view->setMaximumZoomScale(3);

    view->setZoomScale(2);
    EXPECT_EQ(view->zoomScale(), 2);
    EXPECT_EQ(view->contentSize(), (CGSize { 400, 400 }));
    EXPECT_EQ(image->frame(), (CGRect { 0, 0, 400, 400 }));
    EXPECT_EQ(view->contentOffset(), (CGPoint { 100, 100 })) << "the middle stays in the middle";
    EXPECT_EQ(log->events.back(), "didZoom");

    // A zoomed view pans over its enlarged content.
    dragAndHold({ 150, 250 }, { 100, 200 });
    EXPECT_EQ(view->contentOffset(), (CGPoint { 150, 150 }));

    // Zooming to a rectangle: limited to the maximum, centred on it, kept inside the content.
    view->zoomTo({ 100, 100, 20, 20 }, true);
    EXPECT_EQ(view->zoomScale(), 3);
    EXPECT_EQ(view->contentOffset(), (CGPoint { 230, 230 }));
    advance(1);
    EXPECT_EQ(log->events.back(), "didEndZooming 3");
    view->setZoomScale(0.5);
    EXPECT_EQ(view->zoomScale(), 1) << "limited to the minimum";
    EXPECT_EQ(view->contentOffset(), (CGPoint { 0, 0 }));

    // Without a view for zooming nothing zooms.
    log->zoomView.reset();
    view->setZoomScale(2);
    EXPECT_EQ(view->zoomScale(), 1);
}

TEST_F(ScrollViews, DoubleTapZoomsThroughARecogniserWhileDragsStillScroll)
{
    auto view = makeScrollView({ 200, 200 });
    auto image = std::make_shared<UIView>(CGRect { 0, 0, 200, 200 });
    view->addSubview(image);
    log->zoomView = image;
    view->setMaximumZoomScale(3);
    auto doubleTap = std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer& r) {
        CGPoint p = r.location(image.get());
        CGFloat f = view->zoomScale() > 1 ? 1 : 3;
        CGSize size { view->bounds().width() / f, view->bounds().height() / f };
        view->zoomTo({ p.x - size.width / 2, p.y - size.height / 2, size.width, size.height }, true);
    });
    doubleTap->numberOfTapsRequired = 2;
    view->addGestureRecognizer(doubleTap);

    ASSERT_TRUE(driver.doubleTap({ 100, 200 }));
    EXPECT_EQ(view->zoomScale(), 3);
    EXPECT_EQ(view->contentOffset(), (CGPoint { 200, 200 }));
    advance(1);
    ASSERT_TRUE(driver.doubleTap({ 100, 200 }));
    EXPECT_EQ(view->zoomScale(), 1);
}

TEST_F(ScrollViews, NestedScrollViewsShareDragsByAxis)
{
    // A horizontally paging outer list of pages, each page a vertical list.
    auto outer = add<UIScrollView>({ 0, 100, 200, 300 });
    outer->setContentSize({ 600, 300 });
    outer->setPagingEnabled(true);
    auto inner = std::make_shared<UIScrollView>(CGRect { 0, 0, 200, 300 });
    inner->setContentSize({ 200, 1000 });
    outer->addSubview(inner);

    ASSERT_TRUE(driver.drag({ 150, 250 }, { 40, 250 }, 0.2));
    EXPECT_EQ(outer->contentOffset().x, 200) << "sideways drags page the outer list";
    EXPECT_EQ(inner->contentOffset().y, 0);
    advance(1);

    outer->setContentOffset({ 0, 0 });
    dragAndHold({ 100, 350 }, { 100, 250 });
    EXPECT_EQ(inner->contentOffset().y, 100) << "vertical drags scroll the inner list";
    EXPECT_EQ(outer->contentOffset().x, 0);
}

TEST_F(ScrollViews, DragWaitsForARecogniserItMustLetFailFirst)
{
    // A pan asked after the scroll view's own, as a page that closes on a downward drag adds it.
    auto view = makeScrollView({ 200, 1000 });
    bool otherMayBegin = false;
    int otherBegan = 0;
    auto other = std::make_shared<UIPanGestureRecognizer>(
        [&](UIGestureRecognizer& r) { otherBegan += r.state() == UIGestureRecognizerState::began; });
    other->shouldBegin = [&](UIGestureRecognizer&) { return otherMayBegin; };
    view->addGestureRecognizer(other);
    view->panGestureRecognizer()->requireToFail(other);

    dragAndHold({ 100, 250 }, { 100, 150 });
    EXPECT_EQ(otherBegan, 0);
    EXPECT_EQ(view->contentOffset().y, 100) << "the other failed: the whole drag scrolls";
    advance(1);

    otherMayBegin = true;
    CGFloat before = view->contentOffset().y;
    dragAndHold({ 100, 250 }, { 100, 150 });
    EXPECT_EQ(otherBegan, 1);
    EXPECT_EQ(view->contentOffset().y, before) << "the other recognised: no scrolling";
}

class Responder : public UIView {
public:
    bool canBecomeFirstResponder() const override { return true; }
};

TEST_F(ScrollViews, ObserversSeeTheOffsetAndTheDragStateAsAPullToRefreshNeeds)
{
    auto view = makeScrollView({ 200, 2000 });
    bool refreshing = false;
    int offsets = 0;
    auto id = view->addObserver([&](UIScrollView& v, UIScrollViewChange change) {
        if (change == UIScrollViewChange::contentOffset)
            ++offsets;
        // Released while pulled past the header's height: keep the header showing.
        if (change == UIScrollViewChange::panState
            && v.panGestureRecognizer()->state() == UIGestureRecognizerState::ended
            && v.contentOffset().y < -60 && !refreshing) {
            refreshing = true;
            v.setContentInset({ 60, 0, 0, 0 });
        }
    });
    dragAndHold({ 100, 120 }, { 100, 270 });
    EXPECT_TRUE(refreshing);
    EXPECT_EQ(view->contentOffset().y, -60) << "the content rests below the header";
    EXPECT_GT(offsets, 5);

    view->removeObserver(id);
    int before = offsets;
    view->setContentOffset({ 0, 10 });
    EXPECT_EQ(offsets, before);
}

}
