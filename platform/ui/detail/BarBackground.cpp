#include "platform/ui/detail/BarBackground.h"

#include "platform/ui/UIScreen.h"

#include <algorithm>

namespace detail {

UIColor barStyleBackgroundColor(UIBarStyle style, bool translucent)
{
    UIColor base = style == UIBarStyle::black ? UIColor::black() : UIColor::systemBackground();
    return translucent ? base.withAlphaComponent(0.94) : base;
}

UIColor barStyleHairlineColor(UIBarStyle style)
{
    return style == UIBarStyle::black ? UIColor(1, 1, 1, 0.15) : UIColor(0, 0, 0, 0.3);
}

UIColor barStyleContentColor(UIBarStyle style)
{
    return style == UIBarStyle::black ? UIColor::white() : UIColor::label();
}

BarBackground::BarBackground()
    : m_background(UIView::create<UIImageView>())
    , m_hairline(UIView::create<UIImageView>())
{
    m_background->setUserInteractionEnabled(false);
    m_hairline->setUserInteractionEnabled(false);
    update();
}

void BarBackground::setLook(Look look)
{
    m_look = std::move(look);
    update();
}

void BarBackground::attach(UIView& bar)
{
    if (m_background->superview().get() == &bar || bar.weak_from_this().expired())
        return;
    bar.insertSubview(m_background, 0);
    bar.insertSubview(m_hairline, 1);
}

void BarBackground::update()
{
    const auto& image = m_look.backgroundImage;
    m_background->setImage(image);
    m_background->setBackgroundColor(image
            ? std::optional<UIColor> {}
            : std::optional {
                m_look.barTintColor ? *m_look.barTintColor : barStyleBackgroundColor(m_look.style, true) });
    const auto& shadow = m_look.shadowImage;
    m_hairline->setImage(shadow);
    m_hairline->setBackgroundColor(
        shadow ? std::optional<UIColor> {} : std::optional { barStyleHairlineColor(m_look.style) });
    m_hairline->setHidden(shadow && shadow->isEmpty());
}

void BarBackground::layout(const CGRect& bounds)
{
    m_background->setFrame(bounds);
    CGFloat line = 1.0 / std::max<CGFloat>(1, UIScreen::main().scale());
    m_hairline->setFrame({ bounds.minX(), bounds.minY(), bounds.width(), line });
}

}
