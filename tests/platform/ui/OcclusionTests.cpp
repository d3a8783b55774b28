// The renderer leaves out fills that later opaque fills cover; the pictures must stay the same
// byte for byte as drawing everything.

#include "platform/ui/Renderer.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/detail/LayerOcclusion.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace {

UIColor rgb(unsigned hex, CGFloat alpha = 1)
{
    return { ((hex >> 16) & 0xFF) / 255.0, ((hex >> 8) & 0xFF) / 255.0, (hex & 0xFF) / 255.0, alpha };
}

std::shared_ptr<UIView> box(UIView& parent, CGRect frame, UIColor color)
{
    auto view = UIView::create(frame);
    view->setBackgroundColor(color);
    parent.addSubview(view);
    return view;
}

// Everything drawn, nothing left out: the layer tree straight into a bitmap.
UIImage drawEverything(UIView& view, CGFloat scale)
{
    view.layoutIfNeeded();
    UIGraphicsImageRendererFormat format;
    format.scale = scale;
    format.interfaceStyle = view.traitCollection().userInterfaceStyle;
    CGRect b = view.bounds();
    return UIGraphicsImageRenderer(b.size, format).image([&](CGContext& context) {
        context.translateBy(-b.origin.x, -b.origin.y);
        view.layer()->render(context);
    });
}

std::vector<std::uint8_t> pixelBytes(const UIImage& image)
{
    cairo_surface_t* s = image.cairoSurface();
    if (!s)
        return {};
    cairo_surface_flush(s);
    int width = cairo_image_surface_get_width(s), stride = cairo_image_surface_get_stride(s);
    bool opaque = cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24;
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < cairo_image_surface_get_height(s); ++y) {
        const std::uint8_t* row = cairo_image_surface_get_data(s) + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            std::uint32_t px;
            std::memcpy(&px, row + 4 * x, 4);
            // The unused byte of an opaque bitmap is not part of the picture.
            if (opaque)
                px |= 0xFF000000u;
            bytes.insert(bytes.end(),
                { std::uint8_t(px), std::uint8_t(px >> 8), std::uint8_t(px >> 16), std::uint8_t(px >> 24) });
        }
    }
    return bytes;
}

::testing::AssertionResult samePixels(const UIImage& a, const UIImage& b)
{
    if (a.pixelWidth() != b.pixelWidth() || a.pixelHeight() != b.pixelHeight())
        return ::testing::AssertionFailure() << "sizes differ";
    auto pa = pixelBytes(a), pb = pixelBytes(b);
    for (std::size_t i = 0; i < pa.size(); ++i) {
        if (pa[i] != pb[i]) {
            std::size_t pixel = i / 4;
            return ::testing::AssertionFailure()
                << "first difference at pixel (" << pixel % a.pixelWidth() << ", " << pixel / a.pixelWidth()
                << ") " << int(pa[4 * pixel]) << "," << int(pa[4 * pixel + 1]) << ","
                << int(pa[4 * pixel + 2]) << "," << int(pa[4 * pixel + 3]) << " vs " << int(pb[4 * pixel])
                << "," << int(pb[4 * pixel + 1]) << "," << int(pb[4 * pixel + 2]) << ","
                << int(pb[4 * pixel + 3]);
        }
    }
    return ::testing::AssertionSuccess();
}

// A picture without alpha channel (a decoded JPEG or RGB PNG is one).
UIImage opaquePicture(CGSize size)
{
    UIGraphicsImageRendererFormat format;
    format.scale = 1;
    format.opaque = true;
    return UIGraphicsImageRenderer(size, format).image([&](CGContext& c) {
        c.setFillColor(rgb(0x3366CC));
        c.fill({ 0, 0, size.width, size.height });
        c.setFillColor(rgb(0xFFCC00));
        c.fill({ size.width / 4, size.height / 3, size.width / 2, size.height / 3 });
    });
}

std::shared_ptr<UIImageView> picture(UIView& parent, CGRect frame, UIViewContentMode mode)
{
    auto view = std::make_shared<UIImageView>();
    view->setFrame(frame);
    view->setContentMode(mode);
    view->setImage(opaquePicture({ 30, 17 }));
    parent.addSubview(view);
    return view;
}

struct Scene {
    const char* name;
    std::function<void(UIView& root)> build;
};

// Opaque backgrounds over each other, and every way in which a later fill may not cover.
const std::vector<Scene> scenes = {
    { "stacked full-size backgrounds with text",
        [](UIView& root) {
            auto page = box(root, root.bounds(), rgb(0xF4F1EA));
            auto list = box(*page, page->bounds(), rgb(0xFAFAFA));
            auto label = UIView::create<UILabel>();
            label->setFrame({ 8, 8, 80, 20 });
            label->setText("标题 Title");
            list->addSubview(label);
        } },
    { "fractional frames and edges between pixels",
        [](UIView& root) {
            box(root, { 0.3, 0.7, 99.4, 50.2 }, rgb(0x2255AA));
            box(root, { 10.5, 10.25, 60.3, 30.6 }, rgb(0xAA5522));
            box(root, { 10.2, 10.1, 60.9, 31.1 }, rgb(0x22AA55));
        } },
    { "covers in part: bands above, below and beside",
        [](UIView& root) {
            auto back = box(root, { 5, 5, 100, 70 }, rgb(0x333333));
            box(*back, { 20, 15, 50, 30 }, rgb(0xEEEEEE));
            box(root, { 0, 40, 120, 20 }, rgb(0x884400));
        } },
    { "translucent colours, layer alpha and hidden views do not cover",
        [](UIView& root) {
            box(root, { 0, 0, 120, 80 }, rgb(0x3050F0));
            box(root, { 0, 0, 120, 40 }, rgb(0xF05030, 0.5));
            auto faded = box(root, { 0, 40, 60, 40 }, rgb(0x30F050));
            faded->setAlpha(0.4);
            box(*faded, faded->bounds(), rgb(0x101010));
            box(root, { 60, 40, 60, 40 }, rgb(0xFFFFFF))->setHidden(true);
        } },
    { "rounded, rotated, scaled and flattened views",
        [](UIView& root) {
            box(root, { 0, 0, 120, 80 }, rgb(0xCC2222));
            auto rounded = box(root, { 0, 0, 60, 80 }, rgb(0x22CC22));
            rounded->layer()->setCornerRadius(9);
            auto turned = box(root, { 60, 0, 60, 40 }, rgb(0x2222CC));
            turned->setTransform(CGAffineTransform::rotation(0.3));
            auto doubled = box(root, { 70, 45, 20, 15 }, rgb(0xCCCC22));
            doubled->setTransform(CGAffineTransform::scale(2, 2));
            // A singular transform, which the context refuses and so draws untransformed.
            auto flat = box(root, { 5, 5, 20, 20 }, rgb(0x22CCCC));
            flat->setTransform(CGAffineTransform::scale(0, 1));
        } },
    { "clipping superviews, square and rounded",
        [](UIView& root) {
            box(root, { 0, 0, 120, 80 }, rgb(0x555555));
            auto square = box(root, { 10.5, 10.5, 40, 60 }, rgb(0x999999));
            square->setClipsToBounds(true);
            box(*square, { -20, -20, 100, 100 }, rgb(0xDD7700));
            auto rounded = box(root, { 60, 10, 50, 60 }, rgb(0x777777));
            rounded->setClipsToBounds(true);
            rounded->layer()->setCornerRadius(12);
            box(*rounded, { -10, -10, 80, 80 }, rgb(0x0077DD));
        } },
    { "pictures without alpha over backgrounds",
        [](UIView& root) {
            box(root, { 0, 0, 120, 80 }, rgb(0x445566));
            picture(root, { 0.5, 0, 60, 80 }, UIViewContentMode::scaleToFill);
            auto filled = picture(root, { 60, 10.3, 50, 50 }, UIViewContentMode::scaleAspectFill);
            filled->setClipsToBounds(true);
            box(*filled, { 5, 5, 10, 10 }, rgb(0xEE0000));
            picture(root, { 62, 62, 50, 16 }, UIViewContentMode::scaleAspectFit)
                ->setBackgroundColor(rgb(0x00EE00));
        } },
    { "cut under clips on whole pixels and between pixels, rounded picture cells",
        [](UIView& root) {
            auto grid = box(root, { 0, 10, 120, 60 }, rgb(0xF4F1EA));
            grid->setClipsToBounds(true);
            auto panel = box(*grid, { 0, 0, 120, 60 }, rgb(0xE0E0E0));
            box(*panel, { 10.4, 5.6, 40, 20 }, rgb(0x203040));
            for (int i = 0; i < 3; ++i) {
                auto cell = picture(*panel, { 4.0 + 38 * i, 30, 34, 40 }, UIViewContentMode::scaleAspectFill);
                cell->setClipsToBounds(true);
                cell->layer()->setCornerRadius(6);
            }
            auto between = box(root, { 60.5, 0.5, 50, 30 }, rgb(0x998877));
            between->setClipsToBounds(true);
            auto inner = box(*between, { 0, 0, 50, 30 }, rgb(0x112233));
            box(*inner, { 3.3, 4.4, 20, 10 }, rgb(0x334455));
        } },
    { "masks and interface styles of subtrees",
        [](UIView& root) {
            root.setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
            box(root, { 0, 0, 120, 80 }, UIColor::systemBackground());
            auto light = box(root, { 0, 0, 60, 80 }, UIColor::systemBackground());
            light->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::light);
            // Drawn after a light subtree, in the style that its drawing left.
            box(root, { 60, 0, 60, 80 }, UIColor::systemBackground());
            auto masked = box(root, { 20, 20, 80, 40 }, rgb(0xAA00AA));
            auto mask = CALayer::make();
            mask->setFrame({ 0, 0, 40, 40 });
            mask->setBackgroundColor(UIColor::black());
            masked->layer()->setMask(mask);
            box(*masked, masked->bounds(), rgb(0x00AAAA));
        } },
};

}

TEST(Occlusion, LeftOutFillsChangeNoPixel)
{
    for (const Scene& scene : scenes) {
        for (CGFloat scale : { 1.0, 2.0, 3.0 }) {
            auto root = UIView::create(CGRect { 0, 0, 120, 80 });
            root->setBackgroundColor(UIColor::white());
            scene.build(*root);
            EXPECT_TRUE(samePixels(Renderer::render(*root, scale), drawEverything(*root, scale)))
                << scene.name << " at scale " << scale;
        }
    }
}

namespace {

class ScreenOcclusion : public uitest::ControllerTest { };

// The screen as it was drawn before anything was left out: black, then each window in turn.
UIImage drawScreenEverything(CGFloat scale)
{
    UIGraphicsImageRendererFormat format;
    format.scale = scale;
    format.opaque = true;
    return UIGraphicsImageRenderer(UIScreen::main().bounds().size, format).image([&](CGContext& context) {
        context.setFillColor(UIColor::black());
        context.fill(UIScreen::main().bounds());
        for (auto& window : UIApplication::shared().windows()) {
            window->layoutIfNeeded();
            context.saveGState();
            context.setInterfaceStyle(window->traitCollection().userInterfaceStyle);
            context.concatenate(window->layer()->transformToSuperlayer());
            window->layer()->render(context);
            context.restoreGState();
        }
    });
}

}

TEST_F(ScreenOcclusion, KeptFrameBitmapsNeverShowAnOldFrame)
{
    window->setBackgroundColor(rgb(0xF4F1EA));
    auto page = box(*window, window->bounds(), rgb(0xFAFAFA));
    UIImage first = Renderer::renderScreen(2);
    EXPECT_TRUE(samePixels(first, drawScreenEverything(2)));
    std::vector<std::uint8_t> firstBytes = pixelBytes(first);

    // An image still held is never drawn into again.
    page->setBackgroundColor(rgb(0x203040));
    UIImage second = Renderer::renderScreen(2);
    EXPECT_EQ(pixelBytes(first), firstBytes);
    EXPECT_TRUE(samePixels(second, drawScreenEverything(2)));

    // Once let go, its bitmap is drawn again, and what the windows leave uncovered is black.
    first = {};
    second = {};
    window->setFrame({ 20, 40, 300, 500 });
    window->setBackgroundColor(rgb(0x112233, 0.5));
    UIImage third = Renderer::renderScreen(2);
    EXPECT_TRUE(samePixels(third, drawScreenEverything(2)));
    EXPECT_EQ(third.pixel(2, 2), UIColor::black().rgba());
}

TEST(Occlusion, OnlyOpaqueRectanglesDrawnStraightOntoTheBitmapCover)
{
    struct Case {
        const char* name;
        std::function<void(UIView& cover)> change;
        bool coversBack;
    };
    const std::vector<Case> cases = {
        { "opaque rectangle", [](UIView&) {}, true },
        { "translucent colour", [](UIView& c) { c.setBackgroundColor(rgb(0x808080, 0.99)); }, false },
        { "translucent layer", [](UIView& c) { c.setAlpha(0.99); }, false },
        { "hidden", [](UIView& c) { c.setHidden(true); }, false },
        { "rounded", [](UIView& c) { c.layer()->setCornerRadius(2); }, false },
        { "rotated", [](UIView& c) { c.setTransform(CGAffineTransform::rotation(0.01)); }, false },
        { "a pixel short",
            [](UIView& c) {
                c.setFrame({ 0, 0, 120, 79.5 });
            },
            false },
    };
    for (const Case& c : cases) {
        auto root = UIView::create(CGRect { 0, 0, 120, 80 });
        auto back = box(*root, root->bounds(), rgb(0x102030));
        auto cover = box(*root, root->bounds(), rgb(0x808080));
        c.change(*cover);
        root->layoutIfNeeded();

        detail::LayerOcclusion occlusion(120, 80);
        cairo_matrix_t identity;
        cairo_matrix_init_identity(&identity);
        occlusion.addTree(*root->layer(), identity, UIUserInterfaceStyle::light);
        occlusion.resolve();
        const auto& parts = occlusion.backgroundParts();
        auto found = parts.find(back->layer().get());
        bool covered = found != parts.end() && found->second.empty();
        EXPECT_EQ(covered, c.coversBack) << c.name;
        EXPECT_FALSE(parts.contains(cover->layer().get())) << c.name;
    }
}
