#include "platform/ui/effects/UIVisualEffectView.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/effects/BackdropBlur.h"

#include <cstdio>

namespace {

// The effect view's layer: it draws the effect over what the drawing holds so far.
class BackdropLayer : public CALayer {
public:
    std::string className() const override { return "UIVisualEffectBackdropLayer"; }

    std::optional<UIBlurEffect> effect;
    std::optional<UIColor> foregroundColor;

protected:
    void drawInContext(CGContext& context) const override
    {
        context.saveGState();
        context.addPath(backgroundShape());
        context.clip();
        if (effect) {
            if (effect->blurRadius() > 0)
                blurBackdrop(context.cairo(), bounds(), effect->blurRadius());
            if (effect->tintColor()) {
                context.setFillColor(*effect->tintColor());
                context.fill(bounds());
            }
        }
        if (foregroundColor) {
            context.setFillColor(*foregroundColor);
            context.fill(bounds());
        }
        context.restoreGState();
    }
};

}

UIVisualEffectView::UIVisualEffectView(std::optional<UIBlurEffect> effect)
    : UIView(std::make_shared<BackdropLayer>(), CGRect {})
    , m_contentView(std::make_shared<UIView>())
{
    setEffect(std::move(effect));
}

const std::optional<UIBlurEffect>& UIVisualEffectView::effect() const
{
    return static_cast<const BackdropLayer&>(*layer()).effect;
}

void UIVisualEffectView::setEffect(std::optional<UIBlurEffect> effect)
{
    static_cast<BackdropLayer&>(*layer()).effect = std::move(effect);
    setNeedsDisplay();
}

const std::optional<UIColor>& UIVisualEffectView::qmui_foregroundColor() const
{
    return static_cast<const BackdropLayer&>(*layer()).foregroundColor;
}

void UIVisualEffectView::qmui_setForegroundColor(std::optional<UIColor> color)
{
    static_cast<BackdropLayer&>(*layer()).foregroundColor = std::move(color);
    setNeedsDisplay();
}

void UIVisualEffectView::layoutSubviews()
{
    UIView::layoutSubviews();
    // Attached here: a view can only become a superview once it is owned.
    if (m_contentView->superview().get() != this)
        insertSubview(m_contentView, 0);
    m_contentView->setFrame(bounds());
}

std::string UIVisualEffectView::dumpAttributes() const
{
    const auto& current = effect();
    if (!current)
        return "effect=none";
    char text[48];
    std::snprintf(text, sizeof text, "blur=%g", current->blurRadius());
    return text;
}
