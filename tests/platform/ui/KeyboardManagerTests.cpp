// Keyboard avoidance: the screen holding a covered text field moves up just enough, follows the
// focus, goes back when the keyboard hides; what a sheet uncovered itself is not moved again.

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
        IQKeyboardManager::shared().setEnable(true);
        screen = add({ 0, 0, 390, 844 });
        low = add<UITextField>({ 20, 700, 350, 40 }, screen);
        high = add<UITextField>({ 20, 100, 350, 40 }, screen);
    }
    void TearDown() override
    {
        IQKeyboardManager::shared().resetForTesting();
        WindowTest::TearDown();
    }
    static CGRect onScreen(const UIView& field) { return field.convert(field.bounds(), nullptr); }

    std::shared_ptr<UIView> screen;
    std::shared_ptr<UITextField> low, high;
};

TEST_F(KeyboardManager, CoveredFieldMovesItsScreenUpAndBack)
{
    ASSERT_TRUE(low->becomeFirstResponder());
    drain();
    EXPECT_EQ(IQKeyboardManager::shared().movedView(), screen);
    EXPECT_DOUBLE_EQ(onScreen(*low).maxY(),
        844 - UIKeyboard::portraitHeight - IQKeyboardManager::keyboardDistanceFromTextField);

    ASSERT_TRUE(high->becomeFirstResponder());
    drain();
    EXPECT_DOUBLE_EQ(onScreen(*high).minY(), 100) << "a field above the keyboard needs no move";

    ASSERT_TRUE(low->becomeFirstResponder());
    drain();
    window->endEditing(true);
    advance(1);
    EXPECT_DOUBLE_EQ(onScreen(*low).minY(), 700);

    IQKeyboardManager::shared().setEnable(false);
    ASSERT_TRUE(low->becomeFirstResponder());
    drain();
    EXPECT_DOUBLE_EQ(onScreen(*low).minY(), 700);
}

TEST_F(KeyboardManager, ScreenThatMadeRoomItselfIsNotMovedAgain)
{
    // A sheet's own handling: it lifts its content when the keyboard is announced.
    auto token = NotificationCenter::defaultCenter().addObserver(
        UIKeyboardNotification::WillShow, [&](const Notification&) {
            low->setFrame({ 20, 300, 350, 40 });
        });
    ASSERT_TRUE(low->becomeFirstResponder());
    drain();
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_FALSE(IQKeyboardManager::shared().movedView());
    EXPECT_DOUBLE_EQ(onScreen(*low).minY(), 300);
}

}
