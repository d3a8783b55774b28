// What the renderer keeps between frames must not change what a frame shows: a picture drawn at
// several sizes in turn (its scaled copies), and a masked layer, whose offscreen groups are bounded
// by what its mask draws.

#include "platform/ui/CAShapeLayer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIImageView.h"

#include <gtest/gtest.h>

namespace {

bool near(UIColor::RGBA pixel, UIColor::RGBA expected)
{
    auto close = [](double a, double b) { return std::abs(a - b) < 0.05; };
    return close(pixel.red, expected.red) && close(pixel.green, expected.green)
        && close(pixel.blue, expected.blue) && close(pixel.alpha, expected.alpha);
}

// Left half red, right half blue, 8 x 4 pixels.
UIImage halves()
{
    UIGraphicsImageRendererFormat format;
    format.scale = 1;
    return UIGraphicsImageRenderer({ 8, 4 }, format).image([](CGContext& c) {
        c.setFillColor(UIColor::red());
        c.fill({ 0, 0, 4, 4 });
        c.setFillColor(UIColor::blue());
        c.fill({ 4, 0, 4, 4 });
    });
}

TEST(DrawingReuse, APictureDrawnAtSeveralSizesInTurnShowsRightAtEach)
{
    UIImage picture = halves();
    auto root = UIView::create(CGRect { 0, 0, 100, 40 });
    root->setBackgroundColor(UIColor::white());
    auto view = std::make_shared<UIImageView>(picture);
    view->setContentMode(UIViewContentMode::scaleToFill);
    root->addSubview(view);
    const UIColor::RGBA red { 1, 0, 0, 1 }, blue { 0, 0, 1, 1 }, white { 1, 1, 1, 1 };
    for (int round = 0; round < 2; ++round) {
        for (CGFloat width : { 16.0, 80.0, 6.0, 40.0, 24.0, 90.0 }) {
            view->setFrame({ 0, 0, width, 20 });
            UIImage frame = Renderer::render(*root, 2);
            int pixels = static_cast<int>(width * 2);
            EXPECT_TRUE(near(frame.pixel(1, 10), red)) << width;
            EXPECT_TRUE(near(frame.pixel(pixels - 2, 10), blue)) << width;
            EXPECT_TRUE(near(frame.pixel(pixels + 2, 10), white)) << width;
            EXPECT_TRUE(near(frame.pixel(2, 42), white)) << width;
        }
    }
}

TEST(DrawingReuse, AMaskShowsTheLayerWhereverItDrawsAndNowhereElse)
{
    auto root = UIView::create(CGRect { 0, 0, 100, 100 });
    root->setBackgroundColor(UIColor::white());
    auto card = UIView::create(CGRect { 20, 20, 40, 40 });
    card->setBackgroundColor(UIColor::red());
    // Hangs out of the card to the right; the mask's path reaches beyond the mask's own frame.
    auto tail = UIView::create(CGRect { 40, 10, 40, 20 });
    tail->setBackgroundColor(UIColor::blue());
    card->addSubview(tail);
    root->addSubview(card);
    auto mask = std::make_shared<CAShapeLayer>();
    mask->setFrame({ 0, 0, 40, 40 });
    mask->setPath(UIBezierPath::rect({ 0, 0, 70, 20 }).cgPath());
    card->layer()->setMask(mask);

    UIImage frame = Renderer::render(*root, 1);
    EXPECT_TRUE(near(frame.pixel(25, 25), { 1, 0, 0, 1 }));
    EXPECT_TRUE(near(frame.pixel(85, 35), { 0, 0, 1, 1 })) << "drawn by the path outside the mask's frame";
    EXPECT_TRUE(near(frame.pixel(25, 50), { 1, 1, 1, 1 })) << "outside the path";
    EXPECT_TRUE(near(frame.pixel(95, 35), { 1, 1, 1, 1 })) << "outside the tail";
}

}
