#include "app/Theme/ZVAdaptiveIconButton.h"

#include "app/Theme/ZVAdaptiveColor.h"

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
        setImage(zvadaptive::darkStyleIcon(*m_lightImage), UIControlStateNormal);
        return;
    }
    setImage(m_lightImage, UIControlStateNormal);
}
