#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Other/View/PhotoBrowser.h"
#include "app/MainController/Other/View/PhotoBrowserCell.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIGraphics.h"
#include "tests/platform/ui/GestureTestSupport.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr double frame = TouchDriver::frameInterval;

class PhotoBrowserTest : public zvtest::WindowTest {
protected:
    std::shared_ptr<PhotoBrowser> open(std::vector<PhotoBrowserEntry> entries, int selected = 0)
    {
        auto browser = PhotoBrowser::create();
        browser->setImages(std::move(entries));
        browser->setSelectedIndex(selected);
        browser->dismissBlock = [this] { ++dismissed; };
        browser->show();
        advance(PhotoBrowser::fadeDuration);
        window->layoutIfNeeded();
        return browser;
    }

    static std::shared_ptr<PhotoBrowserCell> page(PhotoBrowser& browser, int index)
    {
        return std::dynamic_pointer_cast<PhotoBrowserCell>(
            browser.collectionView()->cellForItem(IndexPath::forItem(index, 0)));
    }

    static std::vector<PhotoBrowserEntry> colours(int count, CGSize size)
    {
        std::vector<PhotoBrowserEntry> entries;
        for (int i = 0; i < count; ++i)
            entries.emplace_back(UIImage::filled(UIColor(0.2 * i, 0.5, 1 - 0.2 * i, 1), size));
        return entries;
    }

    // A finger down at `from`, moved in `steps` frames by `by`, kept down.
    void dragAndHold(CGPoint from, CGPoint by, int steps)
    {
        ASSERT_TRUE(UIEventDispatcher::shared().touchDown(window, from));
        for (int i = 1; i <= steps; ++i) {
            advance(frame);
            UIEventDispatcher::shared().touchMove({ from.x + by.x * i / steps, from.y + by.y * i / steps });
        }
    }
    void moveAndLift(CGPoint to)
    {
        CGPoint from = UIEventDispatcher::shared().currentTouch()->locationInWindow();
        for (int i = 1; i <= 10; ++i) {
            advance(frame);
            UIEventDispatcher::shared().touchMove(
                { from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10 });
        }
        UIEventDispatcher::shared().touchUp(to);
        advance(0);
    }

    int dismissed = 0;
};

TEST_F(PhotoBrowserTest, OpensOnTheSelectedPageAndTracksPagesByTheirMiddle)
{
    std::vector<int> told;
    auto browser = PhotoBrowser::create();
    browser->selectedIndexBlock = [&](int index) { told.push_back(index); };
    browser->setImages(colours(5, { 390, 300 }));
    EXPECT_EQ(browser->numLabel()->text(), "1/5") << "the counter is right before any swipe";
    browser->setSelectedIndex(2);
    browser->show();
    window->layoutIfNeeded();

    EXPECT_DOUBLE_EQ(browser->alpha(), 1.0);
    EXPECT_EQ(browser->collectionView()->contentOffset(), (CGPoint { 2 * (screenWidth() + 30), 0 }));
    EXPECT_EQ(browser->collectionView()->frame().width(), screenWidth() + 30);
    ASSERT_TRUE(page(*browser, 2));
    EXPECT_EQ(page(*browser, 2)->imageView()->image(), std::get<UIImage>(browser->images()->at(2)));
    EXPECT_EQ(browser->numLabel()->text(), "3/5");
    EXPECT_EQ(told, (std::vector<int> { 2 }));

    // A swipe to the left turns one page; a short drag that snaps back tells nothing.
    ASSERT_TRUE(driver.drag({ 300, 400 }, { 100, 400 }, 0.2));
    advance(1);
    EXPECT_EQ(browser->collectionView()->contentOffset().x, 3 * (screenWidth() + 30));
    EXPECT_EQ(browser->numLabel()->text(), "4/5");
    EXPECT_EQ(browser->pageControl()->currentPage(), 3);
    ASSERT_TRUE(driver.drag({ 300, 400 }, { 260, 400 }, 1.0));
    advance(1);
    EXPECT_EQ(told, (std::vector<int> { 2, 3 }));
    EXPECT_FALSE(browser->pageControl()->isHidden());
    EXPECT_TRUE(browser->numLabel()->isHidden());

    // One entry: no page control; the label only on request.
    browser->setImages(colours(1, { 390, 300 }));
    EXPECT_TRUE(browser->pageControl()->isHidden());
    browser->setIsNumPage(true);
    EXPECT_FALSE(browser->numLabel()->isHidden());
}

TEST_F(PhotoBrowserTest, PagesFitTheImageToTheWidth)
{
    auto browser = open({ UIImage::filled(UIColor::red(), { 780, 400 }),
        UIImage::filled(UIColor::red(), { 100, 1000 }), std::string("not a web address") });
    auto wide = page(*browser, 0);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->imageView()->frame(), (CGRect { 0, (844 - 200) / 2.0, 390, 200 }));
    EXPECT_EQ(wide->scrollView()->contentSize(), (CGSize { 390, 844 }));

    browser->collectionView()->setContentOffset({ screenWidth() + 30, 0 });
    window->layoutIfNeeded();
    auto tall = page(*browser, 1);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->imageView()->frame(), (CGRect { 0, 0, 390, 3900 }));
    EXPECT_EQ(tall->scrollView()->contentOffset(), (CGPoint { 0, (3900 - 844) / 2.0 }));

    // An address that cannot load leaves an empty page, and gestures there do nothing.
    browser->collectionView()->setContentOffset({ 2 * (screenWidth() + 30), 0 });
    window->layoutIfNeeded();
    advance(1);
    auto broken = page(*browser, 2);
    ASSERT_TRUE(broken);
    EXPECT_FALSE(broken->imageView()->image());
    driver.doubleTap({ 100, 300 });
    EXPECT_EQ(broken->scrollView()->zoomScale(), 1.0);
}

TEST_F(PhotoBrowserTest, DoubleTapAndPinchZoomWithinOneToThree)
{
    auto browser = open(colours(2, { 390, 844 }));
    auto cell = page(*browser, 0);
    auto scroll = cell->scrollView();

    // Around the touched point: it ends in the middle of the screen.
    ASSERT_TRUE(driver.doubleTap({ 100, 300 }));
    EXPECT_EQ(scroll->zoomScale(), 3.0);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint { 100 * 3 - 195, 300 * 3 - 422 }));
    advance(0.5);
    ASSERT_TRUE(driver.doubleTap({ 100, 300 }));
    EXPECT_EQ(scroll->zoomScale(), 1.0);
    advance(0.5);

    // Two fingers twice as far apart double the scale, keeping the point between them in place.
    ASSERT_TRUE(driver.pinch({ 195, 422 }, 100, 200, 0.3));
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 2.0);
    EXPECT_NEAR(scroll->contentOffset().x, 195, 1e-6);
    EXPECT_NEAR(scroll->contentOffset().y, 422, 1e-6);
    EXPECT_EQ(browser->collectionView()->contentOffset().x, 0) << "a pinch does not page";
    ASSERT_TRUE(driver.pinch({ 195, 422 }, 100, 400, 0.3));
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 3.0);
    ASSERT_TRUE(driver.pinch({ 195, 422 }, 300, 20, 0.3));
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 1.0);
    EXPECT_EQ(dismissed, 0);
}

TEST_F(PhotoBrowserTest, DraggingDownShrinksAndFadesThenClosesOrSnapsBack)
{
    auto browser = open(colours(2, { 390, 844 }));
    auto cell = page(*browser, 0);
    auto image = cell->imageView();
    ASSERT_EQ(image->frame(), (CGRect { 0, 0, 390, 844 }));

    // Half the page's height down: half size, the finger's point kept under it, alpha 0.25.
    dragAndHold({ 100, 200 }, { 0, 422 }, 20);
    EXPECT_NEAR(image->frame().width(), 195, 1e-9);
    EXPECT_NEAR(image->frame().height(), 422, 1e-9);
    EXPECT_NEAR(image->frame().minX(), 100 - 195 * (100.0 / 390), 1e-9);
    EXPECT_NEAR(browser->alpha(), 0.25, 1e-9);
    // Released moving up: back in place at full size, opaque again.
    moveAndLift({ 100, 600 });
    EXPECT_EQ(image->frame(), (CGRect { 0, 0, 390, 844 }));
    EXPECT_DOUBLE_EQ(browser->alpha(), 1.0);
    EXPECT_EQ(dismissed, 0);

    // Released moving down: fade out, then gone.
    advance(1);
    ASSERT_TRUE(driver.drag({ 200, 200 }, { 200, 500 }, 0.3));
    EXPECT_DOUBLE_EQ(browser->alpha(), 0.0);
    EXPECT_TRUE(browser->superview());
    advance(PhotoBrowser::fadeDuration);
    EXPECT_FALSE(browser->superview());
    EXPECT_EQ(dismissed, 1);
}

TEST_F(PhotoBrowserTest, OnlyADownwardDragFromTheTopCloses)
{
    auto browser = open(
        { UIImage::filled(UIColor::red(), { 390, 300 }), UIImage::filled(UIColor::blue(), { 100, 1000 }) });
    auto image = page(*browser, 0)->imageView();
    CGRect rest = image->frame();

    ASSERT_TRUE(driver.drag({ 200, 600 }, { 200, 300 }, 0.3)); // upwards
    ASSERT_TRUE(driver.drag({ 300, 400 }, { 100, 440 }, 0.2)); // mostly sideways: a page
    advance(1);
    EXPECT_EQ(image->frame(), rest);
    EXPECT_EQ(browser->selectedIndex(), 1);

    // The tall page opens scrolled to its middle: a drag down scrolls it instead of closing.
    auto tall = page(*browser, 1);
    CGFloat middle = tall->scrollView()->contentOffset().y;
    ASSERT_GT(middle, 0);
    ASSERT_TRUE(driver.drag({ 200, 300 }, { 200, 500 }, 0.3));
    advance(1);
    EXPECT_LT(tall->scrollView()->contentOffset().y, middle);
    EXPECT_EQ(tall->imageView()->frame().width(), 390);
    EXPECT_DOUBLE_EQ(browser->alpha(), 1.0);

    // A single tap closes, once the double-tap window has passed.
    ASSERT_TRUE(driver.tap({ 200, 400 }));
    advance(1);
    EXPECT_EQ(dismissed, 1);
}

TEST_F(PhotoBrowserTest, TheEscapeGestureClosesItAsATapDoes)
{
    auto browser = open(colours(2, { 390, 844 }));
    EXPECT_TRUE(browser->accessibilityPerformEscape());
    advance(PhotoBrowser::fadeDuration);
    EXPECT_FALSE(browser->superview());
    EXPECT_EQ(dismissed, 1);
    EXPECT_FALSE(browser->accessibilityPerformEscape()) << "gone already";
}

}
