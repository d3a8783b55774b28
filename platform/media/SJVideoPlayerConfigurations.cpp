#include "platform/media/SJVideoPlayerConfigurations.h"

#include "platform/foundation/NoDestructor.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIGraphics.h"

#include <cmath>
#include <functional>

namespace {

constexpr CGSize glyphSize { 22, 22 };

UIImage glyph(const std::function<void(CGContext&)>& draw)
{
    return UIGraphicsImageRenderer(glyphSize).image([&](CGContext& context) {
        context.setFillColor(UIColor::white());
        context.setStrokeColor(UIColor::white());
        context.setLineWidth(2);
        context.setLineCap(CGLineCap::round);
        context.setLineJoin(CGLineJoin::round);
        draw(context);
    });
}

CGPath polyline(std::initializer_list<CGPoint> points, bool closed)
{
    CGPath path;
    bool first = true;
    for (CGPoint p : points) {
        if (first)
            path.moveTo(p);
        else
            path.lineTo(p);
        first = false;
    }
    if (closed)
        path.closeSubpath();
    return path;
}

const UIImage& drawnPlay()
{
    static NoDestructor<UIImage> image(glyph([](CGContext& c) {
        c.addPath(polyline({ { 6, 4 }, { 18, 11 }, { 6, 18 } }, true));
        c.fillPath();
    }));
    return *image;
}

const UIImage& drawnPause()
{
    static NoDestructor<UIImage> image(glyph([](CGContext& c) {
        c.fill({ { 6, 4 }, { 3.5, 14 } });
        c.fill({ { 12.5, 4 }, { 3.5, 14 } });
    }));
    return *image;
}

const UIImage& drawnBack()
{
    static NoDestructor<UIImage> image(glyph([](CGContext& c) {
        c.addPath(polyline({ { 14, 4 }, { 7, 11 }, { 14, 18 } }, false));
        c.strokePath();
    }));
    return *image;
}

const UIImage& drawnFullscreen()
{
    static NoDestructor<UIImage> image(glyph([](CGContext& c) {
        c.addPath(polyline({ { 4, 9 }, { 4, 4 }, { 9, 4 } }, false));
        c.addPath(polyline({ { 13, 4 }, { 18, 4 }, { 18, 9 } }, false));
        c.addPath(polyline({ { 18, 13 }, { 18, 18 }, { 13, 18 } }, false));
        c.addPath(polyline({ { 9, 18 }, { 4, 18 }, { 4, 13 } }, false));
        c.strokePath();
    }));
    return *image;
}

const UIImage& drawnSmallScreen()
{
    static NoDestructor<UIImage> image(glyph([](CGContext& c) {
        c.addPath(polyline({ { 4, 9 }, { 9, 9 }, { 9, 4 } }, false));
        c.addPath(polyline({ { 13, 4 }, { 13, 9 }, { 18, 9 } }, false));
        c.addPath(polyline({ { 18, 13 }, { 13, 13 }, { 13, 18 } }, false));
        c.addPath(polyline({ { 9, 18 }, { 9, 13 }, { 4, 13 } }, false));
        c.strokePath();
    }));
    return *image;
}

const UIImage& drawnReplay()
{
    static NoDestructor<UIImage> image(glyph([](CGContext& c) {
        CGPath arc;
        arc.addArc({ 11, 11 }, 7, -M_PI / 2, M_PI, false);
        c.addPath(arc);
        c.strokePath();
        c.addPath(polyline({ { 11, 0.5 }, { 15, 4 }, { 11, 7.5 } }, true));
        c.fillPath();
    }));
    return *image;
}

}

UIImage SJVideoPlayerResources::back() const
{
    return backImage.value_or(drawnBack());
}

UIImage SJVideoPlayerResources::play() const
{
    return playImage.value_or(drawnPlay());
}

UIImage SJVideoPlayerResources::pause() const
{
    return pauseImage.value_or(drawnPause());
}

UIImage SJVideoPlayerResources::fullscreen() const
{
    return fullscreenImage.value_or(drawnFullscreen());
}

UIImage SJVideoPlayerResources::smallScreen() const
{
    return smallScreenImage.value_or(drawnSmallScreen());
}

UIImage SJVideoPlayerResources::replay() const
{
    return replayImage.value_or(drawnReplay());
}

SJVideoPlayerConfigurations& SJVideoPlayerConfigurations::shared()
{
    static NoDestructor<SJVideoPlayerConfigurations> configurations;
    return *configurations;
}
