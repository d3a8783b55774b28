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

TEST_F(QmuiHelpers, ConsoleStaysHiddenOnceTurnedOff)
{
    auto before = window->subviews().size();
    QMUIConsole::setCanShow(false);
    EXPECT_FALSE(QMUIConsole::show());
    EXPECT_FALSE(QMUIConsole::isShowing());
    QMUIConsole::setCanShow(true);
    EXPECT_TRUE(QMUIConsole::show());
    QMUIConsole::setCanShow(false);
    EXPECT_FALSE(QMUIConsole::isShowing());
    EXPECT_EQ(window->subviews().size(), before);
    EXPECT_EQ(UIApplication::shared().windows().size(), 1u);
}
