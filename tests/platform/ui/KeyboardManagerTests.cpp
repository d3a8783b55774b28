// Keyboard avoidance: the screen holding a covered text field moves up just enough, follows the
// focus to another field, and goes back when the keyboard hides; sheets that made room
// themselves are not moved again.

#include "platform/ui/controls/UITextField.h"
#include "platform/ui/keyboard/IQKeyboardManager.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

namespace {

class KeyboardManager : public zvtest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        IQKeyboardManager::shared().resetForTesting();
        IQKeyboardManager::shared().setEnable(true);
        screen = add({ 0, 0, 390, 844 });
    }
    void TearDown() override
    {
        IQKeyboardManager::shared().resetForTesting();
        WindowTest::TearDown();
    }
    // Where the field is on the screen now.
    static CGRect onScreen(const UIView& field) { return field.convert(field.bounds(), nullptr); }

    std::shared_ptr<UIView> screen;
};

TEST_F(KeyboardManager, CoveredFieldMovesItsScreenUpAndBack)
{
    auto low = add<UITextField>({ 20, 700, 350, 40 }, screen);
    auto high = add<UITextField>({ 20, 100, 350, 40 }, screen);
    const CGFloat keyboardTop = 844 - UIKeyboard::portraitHeight;

    ASSERT_TRUE(low->becomeFirstResponder());
    drain();
    EXPECT_EQ(IQKeyboardManager::shared().movedView(), screen);
    EXPECT_DOUBLE_EQ(onScreen(*low).maxY(), keyboardTop - IQKeyboardManager::keyboardDistanceFromTextField);
    EXPECT_EQ(screen->frame(), (CGRect { 0, 0, 390, 844 })) << "the screen's frame stays";

    // A field above the keyboard needs no move: the screen goes back.
    ASSERT_TRUE(high->becomeFirstResponder());
    drain();
    EXPECT_DOUBLE_EQ(onScreen(*high).minY(), 100);
    EXPECT_FALSE(IQKeyboardManager::shared().movedView());

    ASSERT_TRUE(low->becomeFirstResponder());
    drain();
    EXPECT_LT(onScreen(*low).maxY(), keyboardTop);
    window->endEditing(true);
    advance(1);
    EXPECT_DOUBLE_EQ(onScreen(*low).minY(), 700);

    // Off: nothing moves.
    IQKeyboardManager::shared().setEnable(false);
    ASSERT_TRUE(low->becomeFirstResponder());
    drain();
    EXPECT_DOUBLE_EQ(onScreen(*low).minY(), 700);
}

TEST_F(KeyboardManager, ScreenThatMadeRoomItselfIsNotMovedAgain)
{
    auto field = add<UITextField>({ 20, 700, 350, 40 }, screen);
    // A sheet's own handling: it lifts its content when the keyboard is announced.
    auto token = NotificationCenter::defaultCenter().addObserver(
        UIKeyboardNotification::WillShow, [&](const Notification&) {
            field->setFrame({ 20, 300, 350, 40 });
        });
    ASSERT_TRUE(field->becomeFirstResponder());
    drain();
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_FALSE(IQKeyboardManager::shared().movedView());
    EXPECT_DOUBLE_EQ(onScreen(*field).minY(), 300);
}

}
