// The marquee's text position as the run loop's virtual clock moves.

#include "platform/ui/MarqueeLabel.h"
#include "tests/support/MainLoopTest.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

const std::string notice = "本聊天室禁止发布广告，违者封禁，请文明发言，谢谢合作";

class MarqueeTest : public zvtest::MainLoopTest { };

}

TEST_F(MarqueeTest, PositionFollowsTheClockFromTheLastRestart)
{
    const CGFloat buffer = 20;
    const CGFloat distance = TextLayout::measure(notice, UIFont::systemFont(12)).width + buffer;
    struct Case {
        const char* name;
        std::function<void(MarqueeLabel&)> configure;
        double elapsed;
        CGFloat expected;
    };
    auto rate30 = [](MarqueeLabel& label) {
        label.speed = MarqueeLabel::SpeedLimit::rate(30);
        label.animationCurve = UIViewAnimationCurve::linear;
        label.animationDelay = 0;
    };
    const Case cases[] = {
        { "at the restart", rate30, 0, 0 },
        { "30 points a second", rate30, 2, -60 },
        { "round again after a whole pass", rate30, distance / 30 + 0.5, -15 },
        { "a pause at home first",
            [&](MarqueeLabel& label) {
                rate30(label);
                label.animationDelay = 1;
            },
            0.5, 0 },
        { "then moving",
            [&](MarqueeLabel& label) {
                rate30(label);
                label.animationDelay = 1;
            },
            1.5, -15 },
        { "halfway through an eased pass of a given duration",
            [](MarqueeLabel& label) {
                label.speed = MarqueeLabel::SpeedLimit::duration(4);
                label.animationDelay = 0;
            },
            2, -distance / 2 },
        { "the other way",
            [&](MarqueeLabel& label) {
                rate30(label);
                label.type = MarqueeLabel::MarqueeType::continuousReverse;
            },
            1, 30 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MarqueeLabel label(CGRect { 0, 0, 120, 20 });
        label.setFont(UIFont::systemFont(12));
        label.setText(notice);
        label.trailingBuffer = buffer;
        c.configure(label);
        label.restartLabel();
        advance(c.elapsed);
        EXPECT_NEAR(label.scrollOffset(), c.expected, 0.01);
    }
}
