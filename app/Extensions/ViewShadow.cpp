#include "app/Extensions/ViewShadow.h"

#include "platform/ui/CAAnimation.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIView.h"

#include <memory>

namespace {

const char* const kLayoutBlockKey = "ViewShadow.layoutBlock";

void applyShadowStyle(UIView& view, CGFloat blur, float opacity, const UIColor& color, CGSize offset)
{
    CALayer& layer = *view.layer();
    layer.setShadowColor(color);
    layer.setShadowOffset(offset);
    layer.setShadowRadius(blur * 0.5);
    layer.setShadowOpacity(opacity);
}

void setSpreadShadowPath(UIView& view, CGFloat spread)
{
    CALayer& layer = *view.layer();
    CGFloat radius = layer.cornerRadius();
    CGRect grown = view.bounds().insetBy(-spread, -spread);
    layer.setShadowPath(
        UIBezierPath::roundedRect(grown, UIRectCornerAllCorners, { radius, radius }).cgPath());
}

}

void makeShadow(UIView& view, CGFloat cornerRadius, CGFloat blur, float opacity, const UIColor& shadowColor,
    CGSize offset, CGFloat spread)
{
    if (cornerRadius > 0)
        view.layer()->setCornerRadius(cornerRadius);
    applyShadowStyle(view, blur, opacity, shadowColor, offset);
    std::weak_ptr<UIView> weakView = view.weakFromThis();
    setLayoutSubviewsBlock(view, [weakView, spread] {
        auto target = weakView.lock();
        if (!target)
            return;
        CALayer& layer = *target->layer();
        // Keep the shadow in step with a size change that is being animated.
        if (auto sizeAnimation = layer.animation("bounds.size")) {
            auto pathAnimation = CABasicAnimation::make("shadowPath");
            pathAnimation->timingFunction = sizeAnimation->timingFunction;
            pathAnimation->duration = sizeAnimation->duration;
            if (layer.shadowPath())
                pathAnimation->fromValue = *layer.shadowPath();
            pathAnimation->toValue = UIBezierPath::rect(layer.bounds()).cgPath();
            layer.add(pathAnimation, "shadowPath");
        }
        setSpreadShadowPath(*target, spread);
    });
}

void makeCornerShadow(
    UIView& view, CGFloat blur, float opacity, const UIColor& shadowColor, CGSize offset, CGFloat spread)
{
    applyShadowStyle(view, blur, opacity, shadowColor, offset);
    view.layer()->setCornerRadius(view.frame().size.height / 2);
    std::weak_ptr<UIView> weakView = view.weakFromThis();
    setLayoutSubviewsBlock(view, [weakView, spread] {
        auto target = weakView.lock();
        if (!target)
            return;
        target->layer()->setCornerRadius(target->frame().size.height / 2);
        setSpreadShadowPath(*target, spread);
    });
}

std::function<void()> layoutSubviewsBlock(const UIView& view)
{
    const auto* block = view.associatedValueAs<std::function<void()>>(kLayoutBlockKey);
    return block ? *block : std::function<void()> {};
}

void setLayoutSubviewsBlock(UIView& view, std::function<void()> block)
{
    if (!block) {
        view.setAssociatedValue(kLayoutBlockKey, {});
        return;
    }
    view.setAssociatedValue(kLayoutBlockKey, std::move(block));
}
