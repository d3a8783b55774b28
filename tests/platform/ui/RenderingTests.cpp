#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/CAShapeLayer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "tests/platform/ui/GoldenImage.h"

#include <gtest/gtest.h>

using uitest::matchesGolden;

namespace {

UIColor hex(unsigned rgb, CGFloat alpha = 1)
{
    return { ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha };
}

class GradientView : public UIView {
public:
    GradientView()
        : UIView(CAGradientLayer::make(), {})
    { }
    std::string className() const override { return "GradientView"; }
};

// A 4 x 2 pixel picture: left half red, right half blue, top row opaque, bottom row half alpha.
UIImage sampleImage()
{
    UIGraphicsImageRendererFormat format;
    format.scale = 1;
    return UIGraphicsImageRenderer({ 40, 20 }, format).image([](CGContext& c) {
        c.setFillColor(UIColor::red());
        c.fill({ 0, 0, 20, 20 });
        c.setFillColor(UIColor::blue());
        c.fill({ 20, 0, 20, 20 });
        c.setFillColor(UIColor::yellow());
        c.fill({ 16, 6, 8, 8 });
    });
}

TEST(Rendering, RoundedCornersBorderAndClipping)
{
    auto root = UIView::create(CGRect { 0, 0, 120, 80 });
    root->setBackgroundColor(UIColor::white());
    auto card = UIView::create(CGRect { 10, 10, 100, 60 });
    card->setBackgroundColor(hex(0x03FFE1));
    card->layer()->setCornerRadius(14);
    card->layer()->setBorderWidth(3);
    card->layer()->setBorderColor(hex(0x1D1942));
    card->setClipsToBounds(true);
    root->addSubview(card);
    // Hangs over the card's top-left corner: clipped by the rounded outline.
    auto corner = UIView::create(CGRect { -10, -10, 40, 30 });
    corner->setBackgroundColor(hex(0xEF5252));
    card->addSubview(corner);
    // Not clipped: its superview does not clip.
    auto badge = UIView::create(CGRect { 100, 2, 16, 16 });
    badge->setBackgroundColor(UIColor::black());
    badge->layer()->setCornerRadius(8);
    root->addSubview(badge);
    auto hidden = UIView::create(CGRect { 40, 30, 40, 20 });
    hidden->setBackgroundColor(UIColor::black());
    hidden->setHidden(true);
    root->addSubview(hidden);

    // The golden comparison catches a wrong colour or a moved edge of any of these.
    EXPECT_TRUE(matchesGolden(Renderer::render(*root, 2), "rounded_border"));
}

TEST(Rendering, GradientLayersAndGradientBackedViews)
{
    auto root = UIView::create(CGRect { 0, 0, 120, 80 });
    root->setBackgroundColor(UIColor::white());

    auto vertical = UIView::create<GradientView>();
    vertical->setFrame({ 8, 8, 50, 64 });
    auto gradient = vertical->layerAs<CAGradientLayer>();
    ASSERT_TRUE(gradient);
    gradient->setColors({ hex(0x03FFE1), hex(0x1D1942) });
    gradient->setCornerRadius(10);
    root->addSubview(vertical);

    // A gradient sublayer inserted under the content of a plain view, diagonal, with stops.
    auto host = UIView::create(CGRect { 64, 8, 48, 64 });
    auto label = UIView::create(CGRect { 8, 24, 32, 16 });
    label->setBackgroundColor(UIColor::white().withAlphaComponent(0.8));
    host->addSubview(label);
    auto sub = CAGradientLayer::make();
    sub->setFrame(host->bounds());
    sub->setColors({ UIColor::red(), UIColor::yellow(), UIColor::blue() });
    sub->setLocations(std::vector<CGFloat> { 0, 0.25, 1 });
    sub->setStartPoint({ 0, 0 });
    sub->setEndPoint({ 1, 1 });
    host->layer()->insertSublayer(sub, 0);
    root->addSubview(host);

    EXPECT_TRUE(matchesGolden(Renderer::render(*root, 2), "gradient"));
}

TEST(Rendering, LabelsWrapTruncateAlignAndClip)
{
    auto root = UIView::create(CGRect { 0, 0, 160, 120 });
    root->setBackgroundColor(UIColor::white());

    auto single = UILabel::create<UILabel>(CGRect { 4, 4, 90, 20 });
    single->setText("跳过广告 3 and a long tail");
    single->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    single->setTextColor(hex(0x1D1942));
    root->addSubview(single);
    EXPECT_TRUE(single->isTextTruncated());

    auto wrapped = UILabel::create<UILabel>(CGRect { 4, 28, 152, 40 });
    wrapped->setNumberOfLines(2);
    wrapped->setTextAlignment(NSTextAlignment::center);
    wrapped->setFont(UIFont::systemFont(12));
    wrapped->setText("这里什么都没有... The quick brown fox jumps over the lazy dog again and again");
    wrapped->setBackgroundColor(hex(0x03FFE1, 0.3));
    root->addSubview(wrapped);
    EXPECT_TRUE(wrapped->isTextTruncated());

    // A clipping container cuts the label that hangs out of it.
    auto clip = UIView::create(CGRect { 4, 72, 70, 44 });
    clip->setClipsToBounds(true);
    clip->setBackgroundColor(hex(0x222222));
    auto inside = UILabel::create<UILabel>(CGRect { 30, 0, 120, 44 });
    inside->setText("加载失败");
    inside->setTextColor(UIColor::white());
    inside->setFont(UIFont::boldSystemFont(16));
    clip->addSubview(inside);
    root->addSubview(clip);

    StyledText styled;
    TextRun red;
    red.text = "99+";
    red.foregroundColor = UIColor::red();
    red.font = UIFont::boldSystemFont(12);
    TextRun rest;
    rest.text = " new";
    styled.runs = { red, rest };
    auto badge = UILabel::create<UILabel>(CGRect { 80, 80, 76, 24 });
    badge->setAttributedText(styled);
    badge->setTextAlignment(NSTextAlignment::right);
    root->addSubview(badge);
    EXPECT_EQ(badge->text(), "99+ new");

    EXPECT_TRUE(matchesGolden(Renderer::render(*root, 2), "labels"));
}

TEST(Rendering, ShapesShadowsImagesTransformsAndAlpha)
{
    auto root = UIView::create(CGRect { 0, 0, 160, 100 });
    root->setBackgroundColor(UIColor::white());

    auto shadowed = UIView::create(CGRect { 10, 10, 40, 30 });
    shadowed->setBackgroundColor(UIColor::white());
    shadowed->layer()->setCornerRadius(6);
    shadowed->layer()->setShadowOpacity(0.5);
    shadowed->layer()->setShadowOffset({ 0, 3 });
    shadowed->layer()->setShadowRadius(4);
    root->addSubview(shadowed);

    auto shapeHost = UIView::create(CGRect { 60, 10, 40, 30 });
    auto shape = CAShapeLayer::make();
    shape->setFrame(shapeHost->bounds());
    shape->setPath(
        UIBezierPath::roundedRect({ 2, 2, 36, 26 }, UIRectCornerTopLeft | UIRectCornerBottomRight, { 10, 10 })
            .cgPath());
    shape->setFillColor(hex(0x03FFE1));
    shape->setStrokeColor(hex(0x1D1942));
    shape->setLineWidth(2);
    shape->setLineDashPattern({ 4, 2 });
    shapeHost->layer()->addSublayer(shape);
    root->addSubview(shapeHost);

    // A mask with only the top-right and bottom-left corners rounded.
    auto masked = UIView::create(CGRect { 110, 10, 40, 30 });
    masked->setBackgroundColor(hex(0xEF5252));
    auto mask = CAShapeLayer::make();
    mask->setFrame(masked->bounds());
    mask->setPath(
        UIBezierPath::roundedRect(masked->bounds(), UIRectCornerTopRight | UIRectCornerBottomLeft, { 12, 12 })
            .cgPath());
    masked->layer()->setMask(mask);
    root->addSubview(masked);

    UIImage picture = sampleImage();
    CGFloat x = 10;
    for (UIViewContentMode mode : { UIViewContentMode::scaleToFill, UIViewContentMode::scaleAspectFit,
             UIViewContentMode::scaleAspectFill }) {
        auto imageView = UIView::create<UIImageView>(CGRect { x, 50, 30, 40 });
        imageView->setImage(picture);
        imageView->setContentMode(mode);
        imageView->setClipsToBounds(true);
        imageView->setBackgroundColor(hex(0xDDDDDD));
        root->addSubview(imageView);
        x += 36;
    }

    auto rotated = UIView::create(CGRect { 120, 55, 24, 24 });
    rotated->setBackgroundColor(hex(0x1D1942));
    rotated->setTransform(CGAffineTransform::rotation(M_PI / 4));
    rotated->setAlpha(0.5);
    root->addSubview(rotated);

    UIImage image = Renderer::render(*root, 2);
    // Half-transparent square over white: a light tint of its colour at the centre.
    auto centre = image.pixel(2 * 132, 2 * 67);
    EXPECT_NEAR(centre.red, (0x1D / 255.0 + 1) / 2, 0.03);
    EXPECT_TRUE(matchesGolden(image, "shapes_images"));
}

TEST(Rendering, DarkStyleResolvesDynamicColoursPerWindow)
{
    auto window = std::make_shared<UIWindow>(CGRect { 0, 0, 40, 20 });
    window->setBackgroundColor(UIColor::systemBackground());
    auto light = UIView::create(CGRect { 20, 0, 20, 20 });
    light->setBackgroundColor(UIColor::systemBackground());
    light->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::light);
    window->addSubview(light);
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    window->setHidden(false);

    UIImage image = Renderer::render(*window, 1);
    EXPECT_NEAR(image.pixel(5, 10).red, 0, 0.01);
    EXPECT_NEAR(image.pixel(30, 10).red, 1, 0.01);
}

TEST(Rendering, SnapshotAndImageContexts)
{
    auto view = UIView::create(CGRect { 0, 0, 10, 10 });
    view->setBackgroundColor(UIColor::red());
    UIImage snapshot = view->snapshotImage();
    EXPECT_EQ(snapshot.scale(), 3);
    EXPECT_EQ(snapshot.pixelWidth(), 30);
    EXPECT_NEAR(snapshot.pixel(15, 15).red, 1, 0.01);

    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    UIGraphicsBeginImageContextWithOptions({ 2, 2 }, false, 1);
    ASSERT_NE(UIGraphicsGetCurrentContext(), nullptr);
    view->layer()->render(*UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (CGSize { 2, 2 }));
    EXPECT_NEAR(image->pixel(1, 1).red, 1, 0.01);

    // No area, no context, no image.
    UIGraphicsBeginImageContextWithOptions({ 0, 10 }, false, 1);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    EXPECT_FALSE(UIGraphicsGetImageFromCurrentImageContext());
    UIGraphicsEndImageContext();
    EXPECT_TRUE(UIGraphicsImageRenderer({ 10, 0 }).image([](CGContext&) { FAIL(); }).isEmpty());
}

}

// Translucent and masked layers are drawn through a group kept to their bounds when nothing of
// theirs can lie outside; whatever does lie outside is still drawn.
TEST(Rendering, TranslucentLayersKeepWhatTheyDrawBeyondTheirBounds)
{
    auto canvas = CALayer::make();
    canvas->setBounds({ 0, 0, 100, 100 });
    canvas->setBackgroundColor(UIColor::white());
    auto add = [&](std::shared_ptr<CALayer> layer, CGRect frame) {
        layer->setFrame(frame);
        layer->setOpacity(0.5);
        canvas->addSublayer(layer);
        return layer;
    };
    // A sublayer beyond its parent, a shape's path beyond its layer, a picture wider than its
    // layer at its own size, a shadow, and a plain square whose group is clipped.
    auto parent = add(CALayer::make(), { 0, 0, 10, 10 });
    auto outside = CALayer::make();
    outside->setFrame({ 20, 0, 10, 10 });
    outside->setBackgroundColor(UIColor::red());
    parent->addSublayer(outside);
    auto shape = std::make_shared<CAShapeLayer>();
    add(shape, { 0, 40, 10, 10 });
    CGPath path;
    path.addRect({ 20, 0, 10, 10 });
    shape->setPath(path);
    shape->setFillColor(UIColor::blue());
    auto picture = add(CALayer::make(), { 60, 5, 10, 10 });
    picture->setContents(UIImage::filled(UIColor::green(), { 30, 10 }));
    picture->setContentsGravity(CALayerContentsGravity::center);
    auto shadowed = add(CALayer::make(), { 60, 60, 10, 10 });
    shadowed->setBackgroundColor(UIColor::black());
    shadowed->setShadowOpacity(1);
    shadowed->setShadowOffset({ 15, 0 });
    shadowed->setShadowRadius(0);
    auto square = add(CALayer::make(), { 10.5, 80.5, 10, 10 });
    square->setBackgroundColor(UIColor::black());

    UIGraphicsImageRendererFormat format;
    format.scale = 2;
    UIImage image
        = UIGraphicsImageRenderer({ 100, 100 }, format).image([&](CGContext& c) { canvas->render(c); });
    auto at = [&](CGFloat x, CGFloat y) { return image.pixel(int(x * 2), int(y * 2)); };
    auto white = at(95, 30);
    EXPECT_NE(at(25, 5), white) << "the sublayer beyond its parent";
    EXPECT_NE(at(25, 45), white) << "the path beyond its layer";
    EXPECT_NE(at(55, 10), white) << "the picture beyond its layer";
    EXPECT_NE(at(80, 65), white) << "the shadow";
    EXPECT_NE(at(15, 85), white) << "the square itself";
    EXPECT_EQ(at(25, 85), white) << "nothing beside it";
}

// The group of a translucent layer is clipped on whole device pixels: an edge that falls within a
// pixel is antialiased once, by the layer's own fill, whether it clips to its bounds or not.
TEST(Rendering, TranslucentLayerEdgesWithinAPixelAreCoveredOnce)
{
    auto canvas = CALayer::make();
    canvas->setBounds({ 0, 0, 40, 20 });
    canvas->setBackgroundColor(UIColor::white());
    for (bool clips : { false, true }) {
        auto square = CALayer::make();
        square->setFrame({ clips ? 20.5 : 0.5, 5.5, 10, 10 });
        square->setBackgroundColor(UIColor::black());
        square->setOpacity(0.5);
        square->setMasksToBounds(clips);
        canvas->addSublayer(square);
    }
    UIGraphicsImageRendererFormat format;
    format.scale = 1;
    UIImage image
        = UIGraphicsImageRenderer({ 40, 20 }, format).image([&](CGContext& c) { canvas->render(c); });
    // Half the pixel covered at half opacity: a quarter of the way to black.
    for (int x : { 0, 20 }) {
        EXPECT_NEAR(image.pixel(x, 10).red, 0.75, 0.04) << "left edge at " << x;
        EXPECT_NEAR(image.pixel(x + 10, 10).red, 0.75, 0.04) << "right edge at " << x + 10;
        EXPECT_NEAR(image.pixel(x + 5, 10).red, 0.5, 0.04) << "inside at " << x + 5;
    }
}
