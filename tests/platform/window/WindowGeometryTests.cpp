// Where the screen sits in a window and when the window draws: pure rules, no display.

#include "platform/window/FramePacer.h"
#include "platform/window/WindowGeometry.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(WindowGeometry, ScaleIsTheLargestQuarterStepThatFitsTheDisplay)
{
    struct Case {
        CGSize points;
        CGSize display;
        double scale;
    };
    const CGSize portrait { 390, 844 };
    const Case cases[] = {
        { portrait, { 1280, 1024 }, 1.0 }, // (1024 - 64) / 844 = 1.14
        { portrait, { 1920, 1080 }, 1.0 },
        { portrait, { 2560, 1440 }, 1.5 }, // 1.63
        { portrait, { 3840, 2160 }, 2.25 }, // 2.48
        { portrait, { 7680, 4320 }, 3.0 }, // never past the device's own density
        { portrait, { 1366, 768 }, 0.75 }, // 0.83
        { portrait, { 100, 100 }, 0.25 }, // nothing fits: the smallest
        { portrait, { 0, 0 }, 0.25 },
        { { 844, 390 }, { 1280, 1024 }, 1.25 }, // landscape: the width decides, 1.44
        { { 0, 844 }, { 1280, 1024 }, 0.25 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowGeometry::fittingScale(c.points, c.display), c.scale)
            << c.points.width << "x" << c.points.height << " on " << c.display.width << "x"
            << c.display.height;
}

TEST(WindowGeometry, PixelsAndPointsMapBothWays)
{
    EXPECT_EQ(WindowGeometry::pixelSize({ 390, 844 }, 1), (WindowGeometry::PixelSize { 390, 844 }));
    EXPECT_EQ(WindowGeometry::pixelSize({ 390, 844 }, 1.25), (WindowGeometry::PixelSize { 488, 1055 }));
    EXPECT_EQ(WindowGeometry::pixelSize({ 844, 390 }, 0.5), (WindowGeometry::PixelSize { 422, 195 }));

    // A pixel stands for the point at its centre.
    EXPECT_EQ(WindowGeometry::pointAt(0, 0, 1), (CGPoint { 0.5, 0.5 }));
    EXPECT_EQ(WindowGeometry::pointAt(125, 783, 1), (CGPoint { 125.5, 783.5 }));
    EXPECT_EQ(WindowGeometry::pointAt(251, 99, 2), (CGPoint { 125.75, 49.75 }));

    for (double scale : { 0.25, 1.0, 2.75, 3.0 })
        EXPECT_TRUE(WindowGeometry::isUsableScale(scale)) << scale;
    for (double scale : { 0.0, -1.0, 0.2, 3.5, double(NAN), double(INFINITY) })
        EXPECT_FALSE(WindowGeometry::isUsableScale(scale)) << scale;
}

TEST(FramePacer, DrawsOnlyWhatChangedAndAtMostOncePerDisplayFrame)
{
    const double frame = 1.0 / 60;
    FramePacer pacer(frame);
    // Nothing drawn yet: the first frame is due at once.
    pacer.update(0, false);
    EXPECT_TRUE(pacer.shouldDraw(10));
    pacer.didDraw(10, 0);
    EXPECT_EQ(pacer.framesDrawn(), 1);

    struct Step {
        double now;
        std::uint64_t generation;
        bool requested;
        bool draws;
        const char* what;
    };
    const Step steps[] = {
        { 10.1, 0, false, false, "nothing changed: no frame, ever" },
        { 30.0, 0, false, false, "still nothing" },
        { 30.001, 1, false, true, "a change after a long quiet time: drawn at once" },
        { 30.005, 2, false, false, "another change within the frame: waits for the next one" },
        { 30.001 + frame, 2, false, true, "one frame on: drawn" },
        { 30.05, 2, true, true, "a drawing asked for the next frame: drawn although nothing changed" },
        { 30.06, 2, false, false, "the request was taken" },
    };
    for (const auto& step : steps) {
        pacer.update(step.generation, step.requested);
        EXPECT_EQ(pacer.shouldDraw(step.now), step.draws) << step.what;
        if (step.draws) {
            pacer.didDraw(step.now, step.generation);
        } else if (!pacer.wantsFrame()) {
            EXPECT_FALSE(pacer.nextFrameTime()) << step.what << ": the loop may sleep without limit";
        }
    }
    // While a frame waits, the loop wakes for it exactly one frame after the last.
    pacer.update(3, false);
    ASSERT_TRUE(pacer.nextFrameTime());
    EXPECT_DOUBLE_EQ(*pacer.nextFrameTime(), 30.05 + frame);
    // A late frame counts from its own time: frames never bunch up to catch up.
    pacer.didDraw(31, 3);
    pacer.invalidate();
    EXPECT_FALSE(pacer.shouldDraw(31 + frame / 2));
    EXPECT_TRUE(pacer.shouldDraw(31 + frame));
}

TEST(FramePacer, RateComesFromTheDisplayWithinPlausibleBounds)
{
    EXPECT_DOUBLE_EQ(FramePacer::frameIntervalForRate(60), 1.0 / 60);
    EXPECT_DOUBLE_EQ(FramePacer::frameIntervalForRate(120), 1.0 / 120);
    EXPECT_DOUBLE_EQ(FramePacer::frameIntervalForRate(24), 1.0 / 24);
    for (int unknown : { 0, -1, 23, 501, 100000 })
        EXPECT_DOUBLE_EQ(FramePacer::frameIntervalForRate(unknown), 1.0 / 60) << unknown;
    EXPECT_DOUBLE_EQ(FramePacer(0).frameInterval(), 1.0 / 60);
    EXPECT_DOUBLE_EQ(FramePacer(NAN).frameInterval(), 1.0 / 60);
}

}
