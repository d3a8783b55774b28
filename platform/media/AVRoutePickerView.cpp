#include "platform/media/AVRoutePickerView.h"

#include "platform/ui/CGContext.h"

#include <algorithm>

AVRoutePickerView::AVRoutePickerView()
{
    setBackgroundColor(std::nullopt);
}

AVRoutePickerView::AVRoutePickerView(const CGRect& frame)
    : UIView(frame)
{
    setBackgroundColor(std::nullopt);
}

void AVRoutePickerView::draw(CGContext& context, const CGRect&)
{
    // A screen with a triangle under it, fitted into the smaller side.
    CGRect bounds = this->bounds();
    CGFloat side = std::min(bounds.size.width, bounds.size.height);
    if (side <= 0)
        return;
    CGFloat x = bounds.origin.x + (bounds.size.width - side) / 2;
    CGFloat y = bounds.origin.y + (bounds.size.height - side) / 2;
    context.setStrokeColor(tintColor());
    context.setFillColor(tintColor());
    context.setLineWidth(std::max<CGFloat>(1, side / 12));
    CGPath screen;
    screen.moveTo({ x + side * 0.3, y + side * 0.72 });
    screen.lineTo({ x + side * 0.08, y + side * 0.72 });
    screen.lineTo({ x + side * 0.08, y + side * 0.15 });
    screen.lineTo({ x + side * 0.92, y + side * 0.15 });
    screen.lineTo({ x + side * 0.92, y + side * 0.72 });
    screen.lineTo({ x + side * 0.7, y + side * 0.72 });
    context.addPath(screen);
    context.strokePath();
    CGPath triangle;
    triangle.moveTo({ x + side * 0.5, y + side * 0.58 });
    triangle.lineTo({ x + side * 0.76, y + side * 0.92 });
    triangle.lineTo({ x + side * 0.24, y + side * 0.92 });
    triangle.closeSubpath();
    context.addPath(triangle);
    context.fillPath();
}
