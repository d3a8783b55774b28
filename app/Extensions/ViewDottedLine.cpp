#include "app/Extensions/ViewDottedLine.h"

#include "platform/ui/CAShapeLayer.h"
#include "platform/ui/UIView.h"

#include <algorithm>
#include <vector>

void makeDottedLine(UIView& view, const UIColor& lineColor, CGFloat, CGFloat lineLength, CGFloat lineSpacing)
{
    CALayer& layer = *view.layer();
    std::vector<std::shared_ptr<CALayer>> decorations;
    for (const auto& sublayer : layer.sublayers()) {
        bool ownsSubview = std::any_of(view.subviews().begin(), view.subviews().end(),
            [&](const auto& subview) { return subview->layer() == sublayer; });
        if (!ownsSubview)
            decorations.push_back(sublayer);
    }
    for (const auto& decoration : decorations)
        decoration->removeFromSuperlayer();

    CGRect bounds = view.bounds();
    auto line = CAShapeLayer::make();
    line->setBounds({ 0, 0, bounds.width(), bounds.height() });
    line->setPosition({ bounds.midX(), bounds.midY() });
    // The dash lengths pass through single precision, as the pattern stores them.
    line->setLineDashPattern({ static_cast<float>(lineLength), static_cast<float>(lineSpacing) });
    line->setLineWidth(1);
    line->setFillColor(UIColor::clear());
    line->setStrokeColor(lineColor);
    CGPath path;
    path.moveTo({ 0, 0 });
    path.lineTo({ bounds.width(), 0 });
    line->setPath(path);
    layer.addSublayer(std::move(line));
}
