// What tells a live screen that there is something new to draw: changes of layers, views and
// controls count once each; setting what is already there does not; a moving marquee asks for
// the next frame.

#include "platform/ui/CAShapeLayer.h"
#include "platform/ui/DisplayUpdates.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
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
