#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/CAAnimation.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "platform/ui/qmui/QMUITextView.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using Modal = QMUIModalPresentationViewController;

class QmuiModal : public uitest::ControllerTest {
protected:
    void TearDown() override
    {
        Modal::hideAllVisibleModalPresentationViewControllerIfCan();
        UIScreen::main().resetForTesting();
        uitest::ControllerTest::TearDown();
    }

    static std::shared_ptr<Modal> makeModal(CGSize contentSize)
    {
        auto modal = std::make_shared<Modal>();
        modal->setContentView(UIView::create(CGRect { { 0, 0 }, contentSize }));
        return modal;
    }

    static void postKeyboard(const char* name, CGRect frame)
    {
        NotificationCenter::defaultCenter().post(name, {},
            { { UIKeyboardNotification::FrameEndKey, frame },
                { UIKeyboardNotification::AnimationDurationKey, 0.25 } });
    }

    // Places the content at the bottom edge, lifted by the keyboard, as the app's sheets do.
    static void installSheetLayout(Modal& modal, std::vector<CGFloat>* keyboardHeights = nullptr)
    {
        std::weak_ptr<UIView> content = modal.contentView();
        modal.layoutBlock = [content, keyboardHeights](CGRect bounds, CGFloat keyboard, CGRect) {
            if (keyboardHeights)
                keyboardHeights->push_back(keyboard);
            if (auto view = content.lock())
                view->setFrame({ 0, bounds.height() - 300 - keyboard, bounds.width(), 300 });
        };
    }
};

}

TEST_F(QmuiModal, ShowsCentredContentInItsOwnWindowAndHidesAfterTheAnimation)
{
    auto modal = makeModal({ 200, 100 });
    int shown = 0;
    modal->showWithAnimated(true, [&](bool finished) { shown += finished; });

    ASSERT_TRUE(modal->isVisible());
    auto modalWindow = modal->presentationWindow();
    ASSERT_TRUE(modalWindow);
    EXPECT_GT(modalWindow->windowLevel(), window->windowLevel());
    EXPECT_TRUE(modalWindow->isKeyWindow());
    EXPECT_EQ(modalWindow->frame(), UIScreen::main().bounds());
    // Centred in the 390 x 844 screen less the 20-point margins.
    EXPECT_EQ(modal->contentView()->frame(), (CGRect { 95, 372, 200, 100 }));
    EXPECT_EQ(modal->dimmingView()->frame(), modalWindow->bounds());
    EXPECT_EQ(*modal->dimmingView()->backgroundColor(), UIColor(0, 0, 0, 0.35));
    // The popup grows the content and fades the dimming in: recorded, with the end values in place.
    EXPECT_TRUE(modal->contentView()->layer()->animation("transform"));
    EXPECT_TRUE(modal->dimmingView()->layer()->animation("opacity"));
    EXPECT_EQ(modal->contentView()->transform(), CGAffineTransform::identity());
    EXPECT_EQ(modal->dimmingView()->alpha(), 1);

    EXPECT_EQ(shown, 0);
    advance(Modal::animationDuration);
    EXPECT_EQ(shown, 1);

    // A second show while visible changes nothing.
    modal->showWithAnimated(false, [&](bool) { ++shown; });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(modal->presentationWindow(), modalWindow);

    int hidden = 0;
    modal->hideWithAnimated(true, [&](bool) { ++hidden; });
    EXPECT_TRUE(modal->isVisible());
    advance(Modal::animationDuration);
    EXPECT_EQ(hidden, 1);
    EXPECT_FALSE(modal->isVisible());
    EXPECT_TRUE(modalWindow->isHidden());
    EXPECT_EQ(modalWindow->rootViewController(), nullptr);
    EXPECT_TRUE(window->isKeyWindow());
    // Hiding again does nothing.
    modal->hideWithAnimated(false, [&](bool) { ++hidden; });
    EXPECT_EQ(hidden, 1);
}

TEST_F(QmuiModal, SlideAndFadeStylesAnimateTheContentWithoutMovingItsFinalFrame)
{
    auto sheet = makeModal({ 390, 300 });
    sheet->animationStyle = QMUIModalPresentationAnimationStyle::slide;
    installSheetLayout(*sheet);
    sheet->showWithAnimated(true);
    const auto& content = sheet->contentView();
    EXPECT_EQ(content->frame(), (CGRect { 0, 544, 390, 300 }));
    auto move = std::dynamic_pointer_cast<CABasicAnimation>(content->layer()->animation("transform"));
    ASSERT_TRUE(move);
    // From below the screen: moved down by the distance from its top to the bottom edge.
    EXPECT_EQ(std::get<CGAffineTransform>(move->fromValue), CGAffineTransform::translation(0, 300));
    EXPECT_FALSE(content->layer()->animation("opacity"));
    advance(1);

    auto faded = makeModal({ 100, 100 });
    faded->animationStyle = QMUIModalPresentationAnimationStyle::fade;
    faded->showWithAnimated(true);
    EXPECT_TRUE(faded->contentView()->layer()->animation("opacity"));
    EXPECT_FALSE(faded->contentView()->layer()->animation("transform"));
    faded->hideWithAnimated(true);
    EXPECT_EQ(faded->contentView()->alpha(), 0);
    advance(1);
    // Back to the resting look for a later show.
    EXPECT_EQ(faded->contentView()->alpha(), 1);
}

TEST_F(QmuiModal, TapOnTheDimmingHidesUnlessModal)
{
    auto modal = makeModal({ 200, 100 });
    modal->setModal(true);
    modal->showWithAnimated(false);
    TouchDriver touch;
    // Outside the content: the dimming view.
    ASSERT_TRUE(touch.tap({ 20, 100 }));
    advance(1);
    EXPECT_TRUE(modal->isVisible());

    modal->setModal(false);
    // On the content: nothing.
    ASSERT_TRUE(touch.tap({ 195, 420 }));
    advance(1);
    EXPECT_TRUE(modal->isVisible());

    ASSERT_TRUE(touch.tap({ 20, 100 }));
    EXPECT_TRUE(modal->isVisible()); // the hide animates
    advance(1);
    EXPECT_FALSE(modal->isVisible());

    // A replaced dimming view takes the taps; none leaves the content alone on the window.
    auto custom = UIView::create();
    custom->setBackgroundColor(UIColor::white(1, 0.5));
    modal->setDimmingView(custom);
    modal->showWithAnimated(false);
    EXPECT_EQ(custom->frame(), UIScreen::main().bounds());
    ASSERT_TRUE(touch.tap({ 20, 100 }));
    advance(1);
    EXPECT_FALSE(modal->isVisible());
}

TEST_F(QmuiModal, KeyboardNotificationsLayOutAgainWithTheKeyboardHeight)
{
    std::vector<CGFloat> heights;
    auto sheet = makeModal({ 390, 300 });
    installSheetLayout(*sheet, &heights);

    // Notifications before the show are not heard.
    postKeyboard(UIKeyboardNotification::WillShow, { 0, 508, 390, 336 });
    sheet->showWithAnimated(false);
    ASSERT_FALSE(heights.empty());
    EXPECT_EQ(heights.back(), 0);
    EXPECT_EQ(sheet->contentView()->frame().minY(), 544);

    postKeyboard(UIKeyboardNotification::WillShow, { 0, 508, 390, 336 });
    EXPECT_EQ(heights.back(), 336);
    EXPECT_EQ(sheet->keyboardHeight(), 336);
    EXPECT_EQ(sheet->contentView()->frame().minY(), 208);
    // The move follows the keyboard's animation.
    EXPECT_TRUE(sheet->contentView()->layer()->animation("position"));

    // Only the part over the view counts; a notification without a frame counts as none.
    postKeyboard(UIKeyboardNotification::WillShow, { 0, 744, 390, 336 });
    EXPECT_EQ(heights.back(), 100);
    NotificationCenter::defaultCenter().post(UIKeyboardNotification::WillShow);
    EXPECT_EQ(sheet->keyboardHeight(), 0);

    postKeyboard(UIKeyboardNotification::WillShow, { 0, 508, 390, 336 });
    postKeyboard(UIKeyboardNotification::WillHide, { 0, 844, 390, 0 });
    EXPECT_EQ(heights.back(), 0);
    EXPECT_EQ(sheet->contentView()->frame().minY(), 544);

    // Without a layout block the default frame avoids the keyboard too.
    auto centred = makeModal({ 200, 100 });
    centred->showWithAnimated(false);
    postKeyboard(UIKeyboardNotification::WillShow, { 0, 508, 390, 336 });
    EXPECT_EQ(centred->contentView()->frame(), (CGRect { 95, 204, 200, 100 }));

    // The keyboard of a text view in the sheet lifts it the same way.
    auto field = UIView::create<QMUITextView>(CGRect { 20, 20, 300, 100 });
    sheet->contentView()->addSubview(field);
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_EQ(heights.back(), UIKeyboard::portraitHeight);
    field->resignFirstResponder();
    EXPECT_EQ(heights.back(), 0);

    // After the hide the presenter no longer listens.
    sheet->hideWithAnimated(false);
    std::size_t count = heights.size();
    postKeyboard(UIKeyboardNotification::WillHide, { 0, 844, 390, 0 });
    EXPECT_EQ(heights.size(), count);
}

TEST_F(QmuiModal, HideAllHidesEveryVisiblePresentationAndTheKeyGoesBackInOrder)
{
    auto first = makeModal({ 100, 100 });
    auto second = makeModal({ 100, 100 });
    second->setModal(true); // modal only stops dimming taps
    first->showWithAnimated(true);
    second->showWithAnimated(false);
    EXPECT_EQ(Modal::visibleModalPresentationViewControllers(),
        (std::vector<std::shared_ptr<Modal>> { first, second }));
    EXPECT_TRUE(second->presentationWindow()->isKeyWindow());

    EXPECT_TRUE(Modal::hideAllVisibleModalPresentationViewControllerIfCan());
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_TRUE(Modal::visibleModalPresentationViewControllers().empty());
    EXPECT_EQ(UIApplication::shared().windows(), (std::vector<std::shared_ptr<UIWindow>> { window }));
    EXPECT_TRUE(window->isKeyWindow());
    // Nothing left to hide is a success too.
    EXPECT_TRUE(Modal::hideAllVisibleModalPresentationViewControllerIfCan());

    // An earlier one ending under a later one leaves the later its key; once that one goes
    // too, the key returns to the app's window.
    first->showWithAnimated(false);
    second->showWithAnimated(false);
    first->hideWithAnimated(true);
    advance(1.0);
    EXPECT_TRUE(second->presentationWindow()->isKeyWindow());
    second->hideWithAnimated(false);
    EXPECT_TRUE(window->isKeyWindow());

    // A hide still animating is finished at once; its completion runs once, not again when the
    // animation would have ended.
    int hidden = 0;
    first->showWithAnimated(false);
    first->hideWithAnimated(true, [&](bool) { ++hidden; });
    EXPECT_TRUE(Modal::hideAllVisibleModalPresentationViewControllerIfCan());
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(hidden, 1);
    first->showWithAnimated(false);
    advance(1.0);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(hidden, 1);
}

TEST_F(QmuiModal, TheWindowKeepsAShownPresenterAliveAndReleasesItAfterTheHide)
{
    std::weak_ptr<Modal> weak;
    std::weak_ptr<UIWindow> weakWindow;
    std::weak_ptr<UIView> weakContent;
    {
        auto modal = makeModal({ 100, 100 });
        modal->showWithAnimated(true);
        weak = modal;
        weakWindow = modal->presentationWindow();
        weakContent = modal->contentView();
    }
    advance(1);
    ASSERT_FALSE(weak.expired());
    weak.lock()->hideWithAnimated(true);
    // Still alive during the hide animation.
    EXPECT_FALSE(weak.expired());
    advance(1);
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(weakWindow.expired());
    EXPECT_TRUE(weakContent.expired());

    // A presenter that is never shown goes with its owner as well.
    std::weak_ptr<Modal> idle;
    {
        auto modal = makeModal({ 10, 10 });
        modal->loadViewIfNeeded();
        idle = modal;
    }
    EXPECT_TRUE(idle.expired());
}

TEST_F(QmuiModal, APresentationTakesTheStyleOfTheWindowItCovers)
{
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::dark, UIUserInterfaceStyle::light }) {
        window->setOverrideUserInterfaceStyle(style);
        auto modal = makeModal({ 200, 100 });
        modal->showWithAnimated(false);
        ASSERT_TRUE(modal->presentationWindow());
        EXPECT_EQ(modal->contentView()->traitCollection().userInterfaceStyle, style);
        modal->hideWithAnimated(false);
    }
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::unspecified);
}
