// The visual-effect view over a backdrop half black, half white: the blur mixes the halves near
// their border inside the panel only, and the tint and foreground colour lie over it.

#include "platform/ui/UIGraphics.h"
#include "platform/ui/effects/UIVisualEffectView.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

constexpr CGRect panelFrame { 40, 20, 120, 80 };

// Grey level of a point (in points) of the picture of a 200 x 120 backdrop, black left of x = 100
// and white right of it, with an effect view over panelFrame.
struct Backdrop {
    UIImage image;
    CGFloat scale;
    CGFloat grey(CGFloat x, CGFloat y) const
    {
        return image.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale)).red;
    }
};

// Opaque: as the device shell draws the screen.
Backdrop render(
    std::optional<UIBlurEffect> effect, std::optional<UIColor> foreground, CGFloat scale, bool opaque = false)
{
    auto root = UIView::create(CGRect { 0, 0, 200, 120 });
    auto left = UIView::create(CGRect { 0, 0, 100, 120 });
    left->setBackgroundColor(UIColor::black());
    auto right = UIView::create(CGRect { 100, 0, 100, 120 });
    right->setBackgroundColor(UIColor::white());
    root->addSubview(left);
    root->addSubview(right);
    auto panel = UIView::create<UIVisualEffectView>(std::move(effect));
    panel->setFrame(panelFrame);
    panel->qmui_setForegroundColor(std::move(foreground));
    root->addSubview(panel);
    root->layoutIfNeeded();
    UIGraphicsImageRendererFormat format;
    format.scale = scale;
    format.opaque = opaque;
    UIImage image = UIGraphicsImageRenderer(root->bounds().size, format).image([&](CGContext& context) {
        root->layer()->render(context);
    });
    return { image, scale };
}

}

TEST(VisualEffect, BlurMixesTheBackdropUnderThePanelOnly)
{
    for (auto [scale, opaque] : { std::pair { 1.0, false }, { 2.0, false }, { 2.0, true } }) {
        SCOPED_TRACE(testing::Message() << "scale " << scale << (opaque ? ", opaque" : ""));
        Backdrop plain = render(std::nullopt, std::nullopt, scale, opaque);
        Backdrop blurred = render(UIBlurEffect::qmui_effectWithBlurRadius(10), std::nullopt, scale, opaque);
        // Unblurred, the border is sharp.
        EXPECT_EQ(plain.grey(92, 60), 0);
        EXPECT_EQ(plain.grey(108, 60), 1);
        // Blurred, each side takes in some of the other near the border, half and half on it...
        EXPECT_NEAR(blurred.grey(100, 60), 0.5, 0.1);
        EXPECT_GT(blurred.grey(92, 60), 0.1);
        EXPECT_LT(blurred.grey(92, 60), 0.45);
        EXPECT_GT(blurred.grey(108, 60), 0.55);
        EXPECT_LT(blurred.grey(108, 60), 0.9);
        // ...while far from it, and anywhere outside the panel, nothing changes.
        EXPECT_NEAR(blurred.grey(45, 60), 0, 0.02);
        EXPECT_NEAR(blurred.grey(155, 60), 1, 0.02);
        EXPECT_EQ(blurred.grey(92, 10), 0);
        EXPECT_EQ(blurred.grey(108, 110), 1);
    }
}
