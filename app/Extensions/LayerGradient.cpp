#include "app/Extensions/LayerGradient.h"

#include "platform/ui/CAGradientLayer.h"

std::shared_ptr<CAGradientLayer> addGradientLayer(CALayer& layer, const std::vector<UIColor>& colors)
{
    auto gradient = std::make_shared<CAGradientLayer>();
    gradient->setFrame(layer.bounds());
    gradient->setColors(colors);
    gradient->setLocations(std::vector<CGFloat> { 0, 1 });
    gradient->setStartPoint({ 0, 0 });
    gradient->setEndPoint({ 1, 0 });
    layer.setMasksToBounds(true);
    layer.insertSublayer(gradient, 0);
    return gradient;
}
