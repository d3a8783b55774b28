#include "app/Extensions/ViewCorners.h"

#include "platform/ui/CAShapeLayer.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIView.h"

void makeCorner(UIView& view, CGFloat radius)
{
    view.setClipsToBounds(true);
    view.layer()->setCornerRadius(radius);
}

void makeCorner(UIView& view)
{
    makeCorner(view, view.frame().size.height / 2);
}

void makeCornerByRoundingCorners(UIView& view, unsigned corners, CGFloat radius)
{
    CGRect bounds = view.bounds();
    auto mask = CAShapeLayer::make();
    mask->setFrame(bounds);
    mask->setPath(UIBezierPath::roundedRect(bounds, corners, { radius, radius }).cgPath());
    view.layer()->setMask(std::move(mask));
}

void makeCornerByRoundingCorners(UIView& view, unsigned corners)
{
    makeCornerByRoundingCorners(view, corners, view.frame().size.height / 2);
}

void setCornerRadius(UIView& view, CGFloat radius)
{
    view.layer()->setCornerRadius(radius);
    view.layer()->setMasksToBounds(true);
}

void roundCornersKeepingBackdrop(UIView& view, unsigned corners, CGFloat radius)
{
    // UIRectCorner's bits name the same corners as the layer's corner mask.
    view.layer()->setCornerRadius(radius);
    view.layer()->setMaskedCorners(corners);
    view.setClipsToBounds(true);
}
