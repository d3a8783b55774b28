#include "platform/ui/Renderer.h"

#include "platform/ui/UIApplication.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/detail/LayerOcclusion.h"
#include "platform/ui/detail/PngEncoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

std::string number(CGFloat v)
{
    if (!std::isfinite(v))
        return "nan";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

void dump(const UIView& view, int depth, std::string& out)
{
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    CGRect f = view.frame();
    out += view.className() + " frame=(" + number(f.origin.x) + "," + number(f.origin.y) + ","
        + number(f.size.width) + "," + number(f.size.height) + ")";
    if (view.isHidden())
        out += " hidden";
    if (view.alpha() != 1)
        out += " alpha=" + number(view.alpha());
    if (!view.accessibilityIdentifier().empty())
        out += " id=\"" + view.accessibilityIdentifier() + "\"";
    std::string extra = view.dumpAttributes();
    if (!extra.empty())
        out += " " + extra;
    out += "\n";
    for (const auto& sub : view.subviews())
        dump(*sub, depth + 1, out);
}

}

namespace {

// The bitmap of the last screen frame, kept so that the next frame draws into memory that is
// already mapped instead of a fresh allocation. It is drawn into again only once no image holds
// it any more; otherwise the frame gets a new one.
cairo_surface_t* frameSurface(int width, int height)
{
    struct Kept {
        cairo_surface_t* surface = nullptr;
        ~Kept()
        {
            if (surface)
                cairo_surface_destroy(surface);
        }
    };
    thread_local Kept kept;
    bool reusable = kept.surface && cairo_surface_get_reference_count(kept.surface) == 1
        && cairo_image_surface_get_width(kept.surface) == width
        && cairo_image_surface_get_height(kept.surface) == height;
    if (!reusable) {
        if (kept.surface)
            cairo_surface_destroy(kept.surface);
        kept.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        if (cairo_surface_status(kept.surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(kept.surface);
            kept.surface = nullptr;
            return nullptr;
        }
    }
    return cairo_surface_reference(kept.surface);
}

// Works out which parts of the background fills of the trees drawn from here on are covered,
// and tells the context to leave them out.
void leaveOutCoveredFills(detail::LayerOcclusion& occlusion, CGContext& context)
{
    occlusion.resolve();
    context.setBackgroundParts(&occlusion.backgroundParts());
}

}

UIImage Renderer::render(UIView& view, CGFloat scale)
{
    view.layoutIfNeeded();
    UIGraphicsImageRendererFormat format;
    format.scale = scale;
    format.interfaceStyle = view.traitCollection().userInterfaceStyle;
    CGRect b = view.bounds();
    return UIGraphicsImageRenderer(b.size, format).image([&](CGContext& context) {
        context.translateBy(-b.origin.x, -b.origin.y);
        cairo_surface_t* target = cairo_get_target(context.cairo());
        detail::LayerOcclusion occlusion(
            cairo_image_surface_get_width(target), cairo_image_surface_get_height(target));
        cairo_matrix_t ctm;
        cairo_get_matrix(context.cairo(), &ctm);
        occlusion.addTree(*view.layer(), ctm, context.interfaceStyle());
        leaveOutCoveredFills(occlusion, context);
        view.layer()->render(context);
        context.setBackgroundParts(nullptr);
    });
}

UIImage Renderer::renderScreen(CGFloat scale)
{
    return renderWindows(scale, nullptr);
}

UIImage Renderer::renderScreenBehind(const CGContext::LayerSet& leftOut, CGFloat scale)
{
    return renderWindows(scale, &leftOut);
}

UIImage Renderer::renderWindows(CGFloat scale, const CGContext::LayerSet* leftOut)
{
    auto windows = UIApplication::shared().windows();
    std::stable_sort(windows.begin(), windows.end(),
        [](const auto& a, const auto& b) { return a->windowLevel() < b->windowLevel(); });
    for (auto& window : windows)
        window->layoutIfNeeded();
    std::erase_if(windows, [](const auto& window) { return window->isHidden(); });

    if (!(scale > 0) || !std::isfinite(scale))
        scale = UIScreen::main().scale();
    CGRect screen = UIScreen::main().bounds();
    double w = std::ceil(screen.width() * scale), h = std::ceil(screen.height() * scale);
    if (!(w > 0) || !(h > 0) || w > UIImage::maxPixelsPerSide || h > UIImage::maxPixelsPerSide
        || w * h > UIImage::maxPixelCount)
        return {};
    cairo_surface_t* surface = frameSurface(static_cast<int>(w), static_cast<int>(h));
    if (!surface)
        return {};
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    {
        CGContext context(cr, scale, UIUserInterfaceStyle::light);
        cairo_matrix_t base;
        cairo_get_matrix(cr, &base);
        detail::LayerOcclusion occlusion(static_cast<int>(w), static_cast<int>(h));
        std::size_t black = occlusion.addFill(screen, base);
        // Drawn the same way with the foreground left out, so that every other pixel stays as it
        // was; only the pictures left out no longer cover what lies under them.
        occlusion.setContentsLeftOut(leftOut);
        for (auto& window : windows) {
            cairo_matrix_t ctm;
            detail::concatenatedTransform(base, window->layer()->transformToSuperlayer(), ctm);
            occlusion.addTree(*window->layer(), ctm, window->traitCollection().userInterfaceStyle);
        }
        leaveOutCoveredFills(occlusion, context);
        context.setForegroundLeftOut(leftOut);

        UIGraphicsPushContext(&context);
        // A frame drawn into a kept bitmap starts from the last one's pixels: whatever the
        // windows leave uncovered is black.
        context.setFillColor(UIColor::black());
        if (const auto& blackParts = occlusion.visibleParts(black))
            context.fillDeviceRects(*blackParts);
        else
            context.fill(screen);
        for (auto& window : windows) {
            context.saveGState();
            context.setInterfaceStyle(window->traitCollection().userInterfaceStyle);
            context.concatenate(window->layer()->transformToSuperlayer());
            window->layer()->render(context);
            context.restoreGState();
        }
        UIGraphicsPopContext();
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    UIImage image = UIImage::fromSurface(surface, scale);
    cairo_surface_destroy(surface);
    return image;
}

bool Renderer::writePNG(const UIImage& image, const std::filesystem::path& path)
{
    // Written for looking at: fast compression rather than the smallest file.
    auto data = detail::encodePngFast(image.cairoSurface());
    if (!data)
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(data->data()), static_cast<std::streamsize>(data->size()));
    return static_cast<bool>(out);
}

bool Renderer::writePNG(UIView& view, const std::filesystem::path& path, CGFloat scale)
{
    return writePNG(render(view, scale), path);
}

std::string Renderer::dumpViewTree(const UIView& root)
{
    std::string out;
    dump(root, 0, out);
    return out;
}
