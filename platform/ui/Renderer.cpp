#include "platform/ui/Renderer.h"

#include "platform/ui/UIApplication.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"

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

UIImage Renderer::render(UIView& view, CGFloat scale)
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

UIImage Renderer::renderScreen(CGFloat scale)
{
    auto windows = UIApplication::shared().windows();
    std::stable_sort(windows.begin(), windows.end(),
        [](const auto& a, const auto& b) { return a->windowLevel() < b->windowLevel(); });
    for (auto& window : windows)
        window->layoutIfNeeded();
    UIGraphicsImageRendererFormat format;
    format.scale = scale;
    format.opaque = true;
    return UIGraphicsImageRenderer(UIScreen::main().bounds().size, format).image([&](CGContext& context) {
        context.setFillColor(UIColor::black());
        context.fill(UIScreen::main().bounds());
        for (auto& window : windows) {
            if (window->isHidden())
                continue;
            context.saveGState();
            context.setInterfaceStyle(window->traitCollection().userInterfaceStyle);
            context.concatenate(window->layer()->transformToSuperlayer());
            window->layer()->render(context);
            context.restoreGState();
        }
    });
}

bool Renderer::writePNG(const UIImage& image, const std::filesystem::path& path)
{
    auto data = image.pngData();
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
