#include "platform/ui/Renderer.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUIPopupContainerView.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {

class QmuiPopup : public uitest::ControllerTest {
protected:
    void SetUp() override
    {
        uitest::ControllerTest::SetUp();
        window->setBackgroundColor(UIColor::white());
        bubble = UIView::create(CGRect { 100, 400, 150, 60 });
        window->addSubview(bubble);
        popup = std::make_shared<QMUIPopupContainerView>();
        // The chat's action pop-up settings.
        popup->cornerRadius = 8;
        popup->minimumWidth = popup->maximumWidth = 120;
        popup->minimumHeight = 38;
        popup->borderColor = UIColor::clear();
        popup->contentEdgeInsets = {};
        popup->setBackgroundColor(UIColor(0, 0, 0, 0.7));
        popup->preferLayoutDirection = QMUIPopupContainerViewLayoutDirection::above;
        popup->maskViewBackgroundColor = UIColor::clear();
        popup->automaticallyHidesWhenUserTap = true;
        popup->arrowSize = { 6, 4 };
        popup->safetyMarginsOfSuperview = { 5, 5, 5, 5 };
    }
    void TearDown() override
    {
        popup->hideWithAnimated(false);
        popup.reset();
        uitest::ControllerTest::TearDown();
    }

    std::shared_ptr<UIView> bubble;
    std::shared_ptr<QMUIPopupContainerView> popup;
};

}

TEST_F(QmuiPopup, PointsAtItsSourceFromAboveOrBelowWithinTheMargins)
{
    popup->setSourceView(bubble);
    popup->showWithAnimated(true);
    ASSERT_TRUE(popup->isShowing());
    EXPECT_TRUE(popup->popupWindow()->isKeyWindow());
    EXPECT_EQ(popup->currentLayoutDirection(), QMUIPopupContainerViewLayoutDirection::above);
    EXPECT_EQ(popup->frame(), (CGRect { 115, 353, 120, 42 }));
    EXPECT_EQ(popup->arrowCenterX(), 60);
    EXPECT_EQ(popup->contentView()->frame(), (CGRect { 0, 0, 120, 38 }));

    // The bubble is drawn in its fill; outside it the screen shows.
    UIImage screen = Renderer::renderScreen(1);
    EXPECT_NEAR(screen.pixel(175, 370).red, 0.3, 0.02);
    EXPECT_EQ(screen.pixel(175, 300), UIColor::white().rgba());
    // The arrow's tip under the bubble, towards the source.
    EXPECT_LT(screen.pixel(175, 392).red, 0.5);
    popup->hideWithAnimated(false);
    EXPECT_FALSE(popup->isShowing());
    EXPECT_TRUE(window->isKeyWindow());

    // No room above a source at the top: below it. Near the right edge: kept inside the margins,
    // the arrow still under the source.
    bubble->setFrame({ 370, 10, 20, 40 });
    popup->showWithAnimated(false);
    EXPECT_EQ(popup->currentLayoutDirection(), QMUIPopupContainerViewLayoutDirection::below);
    EXPECT_EQ(popup->frame(), (CGRect { 265, 55, 120, 42 }));
    EXPECT_EQ(popup->contentView()->frame(), (CGRect { 0, 4, 120, 38 }));
    EXPECT_EQ(popup->arrowCenterX(), 109);
}

TEST_F(QmuiPopup, ATapOutsideHidesItAndButtonsInsideWork)
{
    int replies = 0;
    auto reply = UIView::create<QMUIButton>(CGRect { 10, 4, 50, 30 });
    reply->setTitle("回复");
    reply->addAction(UIControlEventTouchUpInside, [&](UIControl&) { ++replies; });
    popup->contentView()->addSubview(reply);
    popup->setSourceView(bubble);
    popup->showWithAnimated(false);

    TouchDriver touch;
    ASSERT_TRUE(touch.tapText("回复"));
    EXPECT_EQ(replies, 1);
    EXPECT_TRUE(popup->isShowing());

    ASSERT_TRUE(touch.tap({ 20, 700 }));
    EXPECT_TRUE(popup->isShowing()); // fading out
    advance(1);
    EXPECT_FALSE(popup->isShowing());
    EXPECT_EQ(popup->superview(), nullptr);
    EXPECT_EQ(popup->alpha(), 1);

    // Without the automatic hiding, taps outside reach nothing and it stays.
    popup->automaticallyHidesWhenUserTap = false;
    popup->showWithAnimated(false);
    touch.tap({ 20, 700 });
    advance(1);
    EXPECT_TRUE(popup->isShowing());
}

TEST_F(QmuiPopup, ThePopupTakesTheStyleOfTheWindowItCovers)
{
    popup->setSourceView(bubble);
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::dark, UIUserInterfaceStyle::light }) {
        window->setOverrideUserInterfaceStyle(style);
        popup->showWithAnimated(false);
        EXPECT_EQ(popup->contentView()->traitCollection().userInterfaceStyle, style);
        popup->hideWithAnimated(false);
    }
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::unspecified);
}
