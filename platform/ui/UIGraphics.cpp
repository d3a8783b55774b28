#include "platform/ui/UIGraphics.h"

#include "platform/ui/UIScreen.h"

#include <cmath>
#include <vector>

namespace {

std::vector<CGContext*>& contextStack()
{
    thread_local std::vector<CGContext*> stack;
    return stack;
}

// A bitmap with its Cairo context, as the begin/end calls keep it between calls.
struct ImageContext {
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    std::unique_ptr<CGContext> context;
    CGFloat scale = 1;

    ~ImageContext()
    {
        context.reset();
        if (cr)
            cairo_destroy(cr);
        if (surface)
            cairo_surface_destroy(surface);
    }
};

std::vector<std::unique_ptr<ImageContext>>& imageContexts()
{
    thread_local std::vector<std::unique_ptr<ImageContext>> contexts;
    return contexts;
}

CGFloat effectiveScale(CGFloat scale)
{
    return scale > 0 && std::isfinite(scale) ? scale : UIScreen::main().scale();
}

std::unique_ptr<ImageContext> makeImageContext(
    CGSize size, bool opaque, CGFloat scale, UIUserInterfaceStyle style)
{
    if (!(size.width > 0) || !(size.height > 0) || !std::isfinite(size.width) || !std::isfinite(size.height))
        return nullptr;
    double w = std::ceil(size.width * scale), h = std::ceil(size.height * scale);
    if (w > UIImage::maxPixelsPerSide || h > UIImage::maxPixelsPerSide || w * h > UIImage::maxPixelCount)
        return nullptr;
    auto ctx = std::make_unique<ImageContext>();
    ctx->scale = scale;
    ctx->surface = cairo_image_surface_create(
        opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, static_cast<int>(w), static_cast<int>(h));
    if (cairo_surface_status(ctx->surface) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    ctx->cr = cairo_create(ctx->surface);
    cairo_scale(ctx->cr, scale, scale);
    ctx->context = std::make_unique<CGContext>(ctx->cr, scale, style);
    return ctx;
}

// The context's own bitmap as an image, for a context that draws no more: no copy is needed.
UIImage takeImage(std::unique_ptr<ImageContext> ctx)
{
    cairo_surface_flush(ctx->surface);
    return UIImage::fromSurface(ctx->surface, ctx->scale);
}

UIImage imageOf(const ImageContext& ctx)
{
    cairo_surface_flush(ctx.surface);
    // Copy, so later drawing into the context does not change images already taken.
    int w = cairo_image_surface_get_width(ctx.surface), h = cairo_image_surface_get_height(ctx.surface);
    cairo_surface_t* copy = cairo_image_surface_create(cairo_image_surface_get_format(ctx.surface), w, h);
    cairo_t* cr = cairo_create(copy);
    cairo_set_source_surface(cr, ctx.surface, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    UIImage image = UIImage::fromSurface(copy, ctx.scale);
    cairo_surface_destroy(copy);
    return image;
}

}

UIGraphicsImageRenderer::UIGraphicsImageRenderer(CGSize size, UIGraphicsImageRendererFormat format)
    : m_size(size)
    , m_scale(effectiveScale(format.scale))
    , m_format(format)
{ }

UIImage UIGraphicsImageRenderer::image(const std::function<void(CGContext&)>& actions) const
{
    auto ctx = makeImageContext(m_size, m_format.opaque, m_scale, m_format.interfaceStyle);
    if (!ctx)
        return {};
    UIGraphicsPushContext(ctx->context.get());
    if (actions)
        actions(*ctx->context);
    UIGraphicsPopContext();
    return takeImage(std::move(ctx));
}

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale)
{
    auto ctx = makeImageContext(size, opaque, effectiveScale(scale), UIUserInterfaceStyle::light);
    if (!ctx)
        return;
    UIGraphicsPushContext(ctx->context.get());
    imageContexts().push_back(std::move(ctx));
}

std::optional<UIImage> UIGraphicsGetImageFromCurrentImageContext()
{
    auto& contexts = imageContexts();
    if (contexts.empty() || UIGraphicsGetCurrentContext() != contexts.back()->context.get())
        return std::nullopt;
    return imageOf(*contexts.back());
}

void UIGraphicsEndImageContext()
{
    auto& contexts = imageContexts();
    if (contexts.empty())
        return;
    if (UIGraphicsGetCurrentContext() == contexts.back()->context.get())
        UIGraphicsPopContext();
    contexts.pop_back();
}

CGContext* UIGraphicsGetCurrentContext()
{
    auto& stack = contextStack();
    return stack.empty() ? nullptr : stack.back();
}

void UIGraphicsPushContext(CGContext* context)
{
    contextStack().push_back(context);
}

void UIGraphicsPopContext()
{
    auto& stack = contextStack();
    if (!stack.empty())
        stack.pop_back();
}
