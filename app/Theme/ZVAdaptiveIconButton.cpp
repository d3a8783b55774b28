#include "app/Theme/ZVAdaptiveIconButton.h"

void ZVAdaptiveIconButton::setAdaptiveImage(std::optional<UIImage> light)
{
    m_lightImage = std::move(light);
    applyImage();
}

void ZVAdaptiveIconButton::traitCollectionDidChange(const UITraitCollection& previous)
{
    UIButton::traitCollectionDidChange(previous);
    applyImage();
}

void ZVAdaptiveIconButton::applyImage()
{
    if (m_lightImage && traitCollection().userInterfaceStyle == UIUserInterfaceStyle::dark) {
        setImage(m_lightImage->withTintColor(UIColor::white(1, 0.85)), UIControlStateNormal);
        return;
    }
    setImage(m_lightImage, UIControlStateNormal);
}
