#include "app/Extensions/ViewGradient.h"

#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/UIView.h"

namespace {

const char* const kGradientLayerName = "gradientLayer";

}

void addVerticalGradient(UIView& view, std::vector<UIColor> colors)
{
    auto gradient = CAGradientLayer::make();
    gradient->setFrame(view.bounds());
    gradient->setColors(std::move(colors));
    gradient->setStartPoint({ 0, 0 });
    gradient->setEndPoint({ 0, 1 });
    gradient->setLocations(std::vector<CGFloat> { 0, 1 });
    gradient->setName(kGradientLayerName);

    CALayer& layer = *view.layer();
    std::vector<std::shared_ptr<CALayer>> stale;
    for (const auto& sublayer : layer.sublayers()) {
        if (sublayer->name() == kGradientLayerName)
            stale.push_back(sublayer);
    }
    for (const auto& old : stale)
        old->removeFromSuperlayer();
    layer.insertSublayer(std::move(gradient), 0);
}

std::shared_ptr<CAGradientLayer> makeGradientLayer(const UIView& view, const UIColor& startColor,
    const UIColor& endColor, CGPoint startPoint, CGPoint endPoint)
{
    auto gradient = CAGradientLayer::make();
    gradient->setFrame(view.bounds());
    gradient->setColors({ startColor, endColor });
    gradient->setStartPoint(startPoint);
    gradient->setEndPoint(endPoint);
    gradient->setLocations(std::vector<CGFloat> { 0, 1 });
    return gradient;
}
