#include "app/Theme/QDShapeImage.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIGraphics.h"

#include <algorithm>
#include <cmath>

namespace {

CGFloat defaultLineWidth(QDImageShape shape)
{
    switch (shape) {
    case QDImageShape::navigationBack:
        return 2;
    case QDImageShape::checkmark:
    case QDImageShape::navigationClose:
        return 1.5;
    default:
        return 1;
    }
}

void drawShape(CGContext& context, QDImageShape shape, CGSize size, CGFloat line)
{
    const CGFloat w = size.width, h = size.height, half = line / 2;
    CGPath path;
    bool stroke = true;
    switch (shape) {
    case QDImageShape::triangle:
        path.moveTo({ 0, 0 });
        path.lineTo({ w, 0 });
        path.lineTo({ w / 2, h });
        path.closeSubpath();
        stroke = false;
        break;
    case QDImageShape::disclosureIndicator:
    case QDImageShape::navigationBack: {
        // A chevron; the back arrow points left, the disclosure arrow right.
        bool left = shape == QDImageShape::navigationBack;
        CGFloat tipX = left ? half : w - half, tailX = left ? w - half : half;
        path.moveTo({ tailX, half });
        path.lineTo({ tipX, h / 2 });
        path.lineTo({ tailX, h - half });
        break;
    }
    case QDImageShape::checkmark:
        path.moveTo({ half, h * 0.5 });
        path.lineTo({ w * 0.38, h - half });
        path.lineTo({ w - half, half });
        break;
    case QDImageShape::detailButton: {
        CGFloat d = std::min(w, h) - line;
        path.addEllipse({ (w - d) / 2, (h - d) / 2, d, d });
        path.moveTo({ w / 2, h * 0.42 });
        path.lineTo({ w / 2, h * 0.75 });
        path.moveTo({ w / 2, h * 0.28 });
        path.lineTo({ w / 2, h * 0.32 });
        break;
    }
    case QDImageShape::navigationClose:
        path.moveTo({ half, half });
        path.lineTo({ w - half, h - half });
        path.moveTo({ w - half, half });
        path.lineTo({ half, h - half });
        break;
    }
    context.addPath(path);
    if (stroke)
        context.strokePath();
    else
        context.fillPath();
}

}

UIImage QDShapeImage::make(QDImageShape shape, CGSize size, std::optional<UIColor> tint, CGFloat lineWidth)
{
    const UIColor color = tint.value_or(UIColor::black());
    const CGFloat line = lineWidth > 0 ? lineWidth : defaultLineWidth(shape);
    return UIGraphicsImageRenderer(size).image([&](CGContext& context) {
        context.setFillColor(color);
        context.setStrokeColor(color);
        context.setLineWidth(line);
        context.setLineCap(CGLineCap::round);
        context.setLineJoin(CGLineJoin::round);
        drawShape(context, shape, size, line);
    });
}

UIImage QDShapeImage::searchFieldBackground(const UIColor& fill)
{
    const CGSize size { 60, 28 };
    return UIGraphicsImageRenderer(size).image([&](CGContext& context) {
        context.setFillColor(fill);
        context.addPath(UIBezierPath::roundedRect({ 0, 0, size.width, size.height }, 2).cgPath());
        context.fillPath();
    });
}

UIImage QDShapeImage::searchBarBackground(const UIColor& fill, std::optional<UIColor> borderColor)
{
    const CGSize size { 4, 44 };
    return UIGraphicsImageRenderer(size).image([&](CGContext& context) {
        context.setFillColor(fill);
        context.fill({ 0, 0, size.width, size.height });
        if (!borderColor)
            return;
        context.setFillColor(*borderColor);
        context.fill({ 0, size.height - 1.0 / 3, size.width, 1.0 / 3 });
    });
}
