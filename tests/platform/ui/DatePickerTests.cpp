// The date picker as the input view of a text field: it comes up in the keyboard's place, its
// wheels turn under a finger, and the field's end of editing reads the picked value.

#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/controls/UIDatePicker.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/controls/UITextField.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using DatePickerInput = zvtest::WindowTest;

TEST_F(DatePickerInput, WheelsTurnedUnderAFingerGiveTheFieldItsValue)
{
    DateFormatter hoursAndMinutes("HH:mm");
    auto field = add<UITextField>({ 20, 100, 200, 40 });
    auto picker = std::make_shared<UIDatePicker>();
    picker->locale = "zh_GB";
    picker->preferredDatePickerStyle = UIDatePickerStyle::wheels;
    picker->setDate(*hoursAndMinutes.dateFromString("23:30"));
    field->setInputView(picker);
    int changes = 0;
    picker->addAction(UIControlEventValueChanged, [&](UIControl&) { ++changes; });
    std::vector<std::string> picked;
    field->addAction(UIControlEventEditingDidEnd,
        [&](UIControl&) { picked.push_back(hoursAndMinutes.stringFromDate(picker->date())); });
    std::optional<CGRect> announced;
    auto token = NotificationCenter::defaultCenter().addObserver(
        UIKeyboardNotification::WillShow, [&](const Notification& n) {
            announced = std::any_cast<CGRect>(n.userInfo.at(UIKeyboardNotification::FrameEndKey));
        });

    ASSERT_TRUE(field->becomeFirstResponder());
    // In the keyboard's place: at the bottom of the field's window, above the home indicator.
    ASSERT_EQ(picker->window(), window);
    CGRect shown = picker->convert(picker->bounds(), nullptr);
    CGFloat bottom = window->safeAreaInsets().bottom;
    EXPECT_EQ(shown.height(), UIDatePicker::defaultHeight);
    EXPECT_EQ(shown.maxY(), window->bounds().height() - bottom);
    ASSERT_TRUE(announced);
    EXPECT_EQ(announced->height(), UIDatePicker::defaultHeight + bottom);

    // The hour wheel two rows up (past midnight), the minute wheel three rows down.
    CGFloat hourX = shown.midX() - 36, minuteX = shown.midX() + 36, middle = shown.midY();
    ASSERT_TRUE(driver.drag({ hourX, middle }, { hourX, middle - 2 * UIDatePicker::rowHeight }, 0.3));
    ASSERT_TRUE(driver.drag({ minuteX, middle }, { minuteX, middle + 3 * UIDatePicker::rowHeight }, 0.3));
    EXPECT_EQ(hoursAndMinutes.stringFromDate(picker->date()), "01:27");
    EXPECT_EQ(changes, 2);
    // A drag of less than half a row settles back on the same value and tells nothing.
    ASSERT_TRUE(driver.drag({ minuteX, middle }, { minuteX, middle + 10 }, 0.3));
    EXPECT_EQ(changes, 2);

    ASSERT_TRUE(field->resignFirstResponder());
    EXPECT_EQ(picked, std::vector<std::string> { "01:27" });
    EXPECT_EQ(picker->superview(), nullptr);
    EXPECT_EQ(UIKeyboard::shared().inputViewHost(), nullptr);
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST(DatePicker, CountDownKeepsWholeMinutesWithinADay)
{
    struct Case {
        double set;
        double kept;
    };
    const Case cases[]
        = { { 0, 60 }, { 59, 60 }, { 150, 120 }, { 5400, 5400 }, { 1e9, 86340 }, { NAN, 86340 } };
    UIDatePicker picker;
    picker.setDatePickerMode(UIDatePickerMode::countDownTimer);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        picker.setCountDownDuration(c.set);
        EXPECT_EQ(picker.countDownDuration(), c.kept);
    }
    picker.setCountDownDuration(5400);
    EXPECT_EQ(picker.selectedRow(0), 1);
    EXPECT_EQ(picker.selectedRow(1), 30);
}
