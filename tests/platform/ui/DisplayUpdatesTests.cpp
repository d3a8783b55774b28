// What tells a live screen that there is something new to draw: changes of layers, views and
// controls count once each; setting what is already there does not, nor does anything under a
// hidden or transparent layer; a moving marquee asks for the next frame.

#include "platform/ui/CAShapeLayer.h"
#include "platform/ui/DisplayUpdates.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "tests/platform/ui/ControllerTestSupport.h"
#include "tests/support/MainLoopTest.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

class DisplayUpdatesTest : public zvtest::MainLoopTest {
protected:
    // Whether `change` reported anything.
    static bool reports(const std::function<void()>& change)
    {
        auto before = DisplayUpdates::generation();
        change();
        return DisplayUpdates::generation() != before;
    }
};

TEST_F(DisplayUpdatesTest, ChangesCountAndRepeatsOfTheSameValueDoNot)
{
    auto layer = CALayer::make();
    auto sublayer = CALayer::make();
    auto shape = std::make_shared<CAShapeLayer>();
    layer->setBounds({ 0, 0, 10, 10 });
    layer->setBackgroundColor(UIColor::red());
    layer->setHidden(false);
    shape->setLineWidth(2);

    struct Case {
        const char* what;
        std::function<void()> change;
        bool counts;
    };
    const Case cases[] = {
        { "a new size",
            [&] {
                layer->setBounds({ 0, 0, 20, 10 });
            },
            true },
        { "the same size",
            [&] {
                layer->setBounds({ 0, 0, 20, 10 });
            },
            false },
        { "a move",
            [&] {
                layer->setPosition({ 5, 5 });
            },
            true },
        { "the same place",
            [&] {
                layer->setPosition({ 5, 5 });
            },
            false },
        { "hidden", [&] { layer->setHidden(true); }, true },
        { "hidden again", [&] { layer->setHidden(true); }, false },
        { "shown again", [&] { layer->setHidden(false); }, true },
        { "another colour", [&] { layer->setBackgroundColor(UIColor::blue()); }, true },
        { "the same colour", [&] { layer->setBackgroundColor(UIColor::blue()); }, false },
        { "less opaque", [&] { layer->setOpacity(0.5); }, true },
        { "a sublayer added", [&] { layer->addSublayer(sublayer); }, true },
        { "a sublayer removed", [&] { sublayer->removeFromSuperlayer(); }, true },
        { "new contents, even the same image",
            [&] {
                layer->setContents(UIImage::filled(UIColor::red(), { 2, 2 }));
            },
            true },
        { "a shape's line", [&] { shape->setLineWidth(3); }, true },
        { "the same line", [&] { shape->setLineWidth(3); }, false },
        { "marked stale", [&] { layer->setNeedsDisplay(); }, true },
    };
    for (const auto& c : cases)
        EXPECT_EQ(reports(c.change), c.counts) << c.what;
}

TEST_F(DisplayUpdatesTest, ViewsAndControlsReportWhatTheyDrawDifferently)
{
    auto label = std::make_shared<UILabel>(CGRect { 0, 0, 200, 30 });
    auto button = std::make_shared<UIButton>(CGRect { 0, 40, 200, 44 });
    auto view = std::make_shared<UIView>(CGRect { 0, 100, 50, 50 });
    view->layoutIfNeeded();

    EXPECT_TRUE(reports([&] { label->setText("Changed"); }));
    EXPECT_TRUE(reports([&] { button->setHighlighted(true); }));
    EXPECT_FALSE(reports([&] { button->setHighlighted(true); })) << "already highlighted";
    EXPECT_TRUE(reports([&] { view->setTintColor(UIColor::red()); }));
    EXPECT_TRUE(reports([&] { view->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark); }));
    // Layout is asked for once; asking again adds nothing until it ran.
    EXPECT_TRUE(reports([&] { view->setNeedsLayout(); }));
    EXPECT_FALSE(reports([&] { view->setNeedsLayout(); }));
}

// Nothing of a hidden (or fully transparent) layer shows, so nothing it or its sublayers change
// asks for a frame; hiding, showing and fading it does.
TEST_F(DisplayUpdatesTest, ChangesUnderAHiddenLayerCountForNothingUntilItShows)
{
    auto parent = CALayer::make();
    auto child = CALayer::make();
    auto grandchild = std::make_shared<CAShapeLayer>();
    parent->addSublayer(child);
    child->addSublayer(grandchild);
    auto label = std::make_shared<UILabel>(CGRect { 0, 0, 200, 30 });
    parent->addSublayer(label->layer());

    struct Case {
        const char* what;
        std::function<void()> change;
        bool counts;
    };
    const Case cases[] = {
        { "the parent hidden", [&] { parent->setHidden(true); }, true },
        { "a child's colour", [&] { child->setBackgroundColor(UIColor::red()); }, false },
        { "a child's size",
            [&] {
                child->setBounds({ 0, 0, 30, 30 });
            },
            false },
        { "a grandchild's contents",
            [&] {
                grandchild->setContents(UIImage::filled(UIColor::red(), { 2, 2 }));
            },
            false },
        { "a grandchild's line", [&] { grandchild->setLineWidth(4); }, false },
        { "a grandchild marked stale", [&] { grandchild->setNeedsDisplay(); }, false },
        { "a child hidden", [&] { child->setHidden(true); }, false },
        { "a child shown", [&] { child->setHidden(false); }, false },
        { "a child faded", [&] { child->setOpacity(0.5); }, false },
        { "a label's text", [&] { label->setText("Changed"); }, false },
        { "the parent shown", [&] { parent->setHidden(false); }, true },
        { "a child's colour, now seen", [&] { child->setBackgroundColor(UIColor::blue()); }, true },
        { "the parent transparent", [&] { parent->setOpacity(0); }, true },
        { "a grandchild's contents, unseen",
            [&] {
                grandchild->setContents(UIImage::filled(UIColor::blue(), { 2, 2 }));
            },
            false },
        { "a label marked stale, unseen", [&] { label->setNeedsDisplay(); }, false },
        { "the parent faded in", [&] { parent->setOpacity(1); }, true },
        { "a child hidden itself", [&] { child->setHidden(true); }, true },
        { "its own colour", [&] { child->setBackgroundColor(UIColor::green()); }, false },
        { "its own contents", [&] { grandchild->setContents(std::nullopt); }, false },
        { "a child shown itself", [&] { child->setHidden(false); }, true },
    };
    for (const auto& c : cases)
        EXPECT_EQ(reports(c.change), c.counts) << c.what;
}

class ScreenAnimationTest : public uitest::ControllerTest { };

// An image view's frames ask for drawing only while a window shows them: under a hidden view or
// out of every window its animation goes on, keeping its clock, and asks for nothing; back in a
// window it shows the frame it has reached.
TEST_F(ScreenAnimationTest, AnImageViewsFramesAskForFramesOnlyWhileAWindowShowsThem)
{
    const std::vector<UIImage> images = { UIImage::filled(UIColor::red(), { 4, 4 }),
        UIImage::filled(UIColor::green(), { 4, 4 }), UIImage::filled(UIColor::blue(), { 4, 4 }) };
    auto cover = UIView::create(CGRect { 0, 0, 100, 100 });
    auto frames = UIView::create<UIImageView>(CGRect { 0, 0, 4, 4 });
    frames->setAnimationImages(images);
    cover->addSubview(frames);
    window->addSubview(cover);
    frames->startAnimating();
    window->layoutIfNeeded();
    auto reportsOver = [&](double seconds) {
        auto before = DisplayUpdates::generation();
        advance(seconds);
        return DisplayUpdates::generation() != before;
    };

    EXPECT_TRUE(reportsOver(0.05)) << "shown";
    cover->setHidden(true);
    EXPECT_FALSE(reportsOver(1)) << "under a hidden view";
    EXPECT_TRUE(frames->isAnimating());
    cover->setHidden(false);
    EXPECT_TRUE(reportsOver(0.05)) << "shown again";

    cover->removeFromSuperview();
    EXPECT_FALSE(reportsOver(1)) << "in no window";
    advance(0.05);
    window->addSubview(cover);
    EXPECT_EQ(frames->layer()->contents(), images[frames->currentAnimationFrame()])
        << "the frame it has reached";
    EXPECT_TRUE(reportsOver(0.05));
}

TEST_F(DisplayUpdatesTest, AMarqueeAsksForTheNextFrameOnlyWhileItsTextMoves)
{
    auto marquee = std::make_shared<MarqueeLabel>(CGRect { 0, 0, 100, 20 });
    DisplayUpdates::takeAnimationFrameRequest();
    marquee->setText("Fits");
    Renderer::render(*marquee);
    EXPECT_FALSE(DisplayUpdates::takeAnimationFrameRequest());

    marquee->setText("本聊天室禁止发布广告，违者封禁，请文明发言，谢谢合作");
    Renderer::render(*marquee);
    EXPECT_TRUE(DisplayUpdates::takeAnimationFrameRequest());
    EXPECT_FALSE(DisplayUpdates::takeAnimationFrameRequest()) << "taken once";
    marquee->setHidden(true);
    Renderer::render(*marquee);
    EXPECT_FALSE(DisplayUpdates::takeAnimationFrameRequest()) << "hidden, it is not drawn";
}

}
