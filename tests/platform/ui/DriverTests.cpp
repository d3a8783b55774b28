#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

namespace {

class Driver : public zvtest::WindowTest { };

TEST_F(Driver, TapsViewsFoundByTextOrIdentifier)
{
    auto back = add<UIButton>({ 20, 100, 200, 44 });
    back->setTitle("立即播放");
    auto front = add<UIButton>({ 20, 100, 200, 44 });
    front->setTitle("立即播放");
    int backTaps = 0, frontTaps = 0;
    back->addAction(UIControlEventTouchUpInside, [&](UIControl&) { ++backTaps; });
    front->addAction(UIControlEventTouchUpInside, [&](UIControl&) { ++frontTaps; });
    EXPECT_TRUE(driver.tapText("立即播放"));
    EXPECT_EQ(frontTaps, 1);
    EXPECT_EQ(backTaps, 0);

    // A label with a tap action (labels take no touches until the action turns them on).
    auto label = add<UILabel>({ 20, 300, 200, 30 });
    label->setText("重新发送验证码");
    label->setUserInteractionEnabled(true);
    int labelTaps = 0;
    label->addGestureRecognizer(
        std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++labelTaps; }));
    EXPECT_TRUE(driver.tapText("发送验证码"))
        << "a part of the text finds the view when nothing matches whole";
    EXPECT_EQ(labelTaps, 1);

    front->setAccessibilityIdentifier("play");
    EXPECT_TRUE(driver.tapIdentifier("play"));
    EXPECT_EQ(frontTaps, 2);

    // Hidden, off-screen or missing views are not tapped.
    label->setHidden(true);
    EXPECT_FALSE(driver.tapText("重新发送验证码"));
    auto away = add<UIButton>({ 1000, 100, 50, 50 });
    away->setTitle("远");
    EXPECT_FALSE(driver.tapText("远"));
    EXPECT_FALSE(driver.tapIdentifier("nothing"));
}

}
