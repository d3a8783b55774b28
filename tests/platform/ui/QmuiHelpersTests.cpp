#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUIConsole.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

class QmuiHelpers : public uitest::ControllerTest {
protected:
    void TearDown() override
    {
        QMUIConsole::resetForTesting();
        QMUIConfiguration::resetForTesting();
        uitest::ControllerTest::TearDown();
    }
};

}

TEST_F(QmuiHelpers, PixelRoundingDeviceFactsAndColourMixing)
{
    // Screen scale 3.
    EXPECT_EQ(QMUIHelper::flat(0), 0);
    EXPECT_DOUBLE_EQ(QMUIHelper::flat(543.1), 543 + 1.0 / 3);
    EXPECT_EQ(QMUIHelper::flat(std::numeric_limits<double>::min()), 0);
    EXPECT_EQ(QMUIHelper::flat(-0.2), 0);
    EXPECT_EQ(QMUIHelper::statusBarHeightConstant(), 47);
    UIScreen::main().setInterfaceOrientation(UIInterfaceOrientation::landscapeLeft);
    EXPECT_EQ(QMUIHelper::statusBarHeightConstant(), 0);
    UIScreen::main().resetForTesting();

    UIColor tint(39 / 255.0, 192 / 255.0, 243 / 255.0, 1);
    EXPECT_EQ(qmui_transitionToColor(tint, UIColor::black(), 0), tint);
    UIColor::RGBA mixed = qmui_transitionToColor(UIColor::white(), UIColor(0, 0, 0, 0), 0.25).rgba();
    EXPECT_DOUBLE_EQ(mixed.red, 0.75);
    EXPECT_DOUBLE_EQ(mixed.alpha, 0.75);
    UIColor::RGBA onWhite = qmui_colorWithAlphaAddedToWhite(UIColor::black(), 0.86).rgba();
    EXPECT_NEAR(onWhite.red, 0.14, 1e-9);
    EXPECT_EQ(onWhite.alpha, 1);

    UIImage swatch = qmui_imageWithColor(UIColor::red());
    EXPECT_EQ(swatch.size(), (CGSize { 4, 4 }));
    EXPECT_EQ(swatch.scale(), 3);
}

TEST_F(QmuiHelpers, FrameIgnoringTheTransformAndScrollingToTheBottom)
{
    auto panel = UIView::create(CGRect { 0, 0, 100, 50 });
    panel->setTransform(CGAffineTransform::translation(0, 300));
    qmui_setFrameApplyTransform(*panel, { 10, 20, 200, 80 });
    EXPECT_EQ(qmui_frameApplyTransform(*panel), (CGRect { 10, 20, 200, 80 }));
    EXPECT_EQ(panel->frame(), (CGRect { 10, 320, 200, 80 }));
    panel->setTransform(CGAffineTransform::identity());
    EXPECT_EQ(panel->frame(), (CGRect { 10, 20, 200, 80 }));

    auto list = UIView::create<UIScrollView>(CGRect { 0, 0, 390, 600 });
    list->setContentInset({ 0, 0, 20, 0 });
    list->setContentSize({ 390, 2000 });
    qmui_scrollToBottom(*list, false);
    EXPECT_EQ(list->contentOffset().y, 1420);
    // Short content stays at its top.
    list->setContentSize({ 390, 100 });
    qmui_scrollToBottom(*list, false);
    EXPECT_EQ(list->contentOffset().y, 0);
}

TEST_F(QmuiHelpers, SnapshotHoldsTheViewsSubtreeOnly)
{
    // A poster card inside a screen: the picture is the card with its children, at its own
    // origin, without the screen around it.
    auto screen = UIView::create(CGRect { 0, 0, 100, 100 });
    screen->setBackgroundColor(UIColor::blue());
    auto card = UIView::create(CGRect { 40, 30, 20, 30 });
    card->setBackgroundColor(UIColor::red());
    card->setBounds({ 0, 5, 20, 30 });
    auto code = UIView::create(CGRect { 10, 20, 10, 10 });
    code->setBackgroundColor(UIColor::green());
    card->addSubview(code);
    screen->addSubview(card);
    window->addSubview(screen);

    UIImage shot = qmui_snapshotLayerImage(*card);
    EXPECT_EQ(shot.size(), (CGSize { 20, 30 }));
    EXPECT_EQ(shot.scale(), 3);
    // The child at (10, 20) in a card scrolled down by 5 shows at (10, 15).
    EXPECT_EQ(shot.pixel(3 * 15, 3 * 20), UIColor::green().rgba());
    EXPECT_EQ(shot.pixel(3 * 15, 3 * 28), UIColor::red().rgba());
    EXPECT_EQ(shot.pixel(1, 1), UIColor::red().rgba());
    EXPECT_EQ(shot.pixel(3 * 20 - 1, 3 * 30 - 1), UIColor::red().rgba());
}
