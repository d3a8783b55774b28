// The resend countdown on the virtual clock: its texts, its sixty ticks, and one timer per page.

#include "app/MainController/Other/Tool/ZV_CodeCountdown.h"
#include "platform/dispatch/Timer.h"
#include "platform/ui/UILabel.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

class CodeCountdownTest : public MainLoopTest {
protected:
    // Every text the label shows from the start, one advance of a second at a time.
    std::vector<std::string> run(ZV_CodeCountdown& countdown, int seconds)
    {
        std::vector<std::string> texts { label->text() };
        for (int i = 0; i < seconds; ++i) {
            advance(1.0);
            if (label->text() != texts.back())
                texts.push_back(label->text());
        }
        return texts;
    }

    std::shared_ptr<UILabel> label = std::make_shared<UILabel>();
};

}

TEST_F(CodeCountdownTest, SixtyTicksFromTheFirstTextToTheResendText)
{
    for (const char* prefix : { "", "重新发送验证码 " }) {
        ZV_CodeCountdown countdown(prefix);
        countdown.start(label);
        EXPECT_TRUE(countdown.isRunning());
        std::vector<std::string> texts = run(countdown, 61);
        ASSERT_EQ(texts.size(), 61u) << prefix;
        EXPECT_EQ(texts[0], std::string(prefix) + "60秒");
        EXPECT_EQ(texts[1], std::string(prefix) + "59s");
        EXPECT_EQ(texts[59], std::string(prefix) + "1s");
        EXPECT_EQ(texts[60], "重新发送验证码");
        EXPECT_FALSE(countdown.isRunning());
    }
}

TEST_F(CodeCountdownTest, StartingAgainStopsTheRunningCountdown)
{
    ZV_CodeCountdown countdown("");
    countdown.start(label);
    advance(10.0);
    std::shared_ptr<Timer> first = countdown.timer();
    countdown.start(label);
    EXPECT_FALSE(first->isValid());
    EXPECT_EQ(label->text(), "60秒");
    // One timer drives the label: a full minute from the second start, no earlier end.
    std::vector<std::string> texts = run(countdown, 59);
    EXPECT_EQ(texts.back(), "1s");
    EXPECT_EQ(texts.size(), 60u);
    advance(1.0);
    EXPECT_EQ(label->text(), "重新发送验证码");

    // A countdown that goes away stops its timer.
    auto gone = std::make_unique<ZV_CodeCountdown>("");
    gone->start(label);
    std::shared_ptr<Timer> timer = gone->timer();
    gone.reset();
    EXPECT_FALSE(timer->isValid());
}
