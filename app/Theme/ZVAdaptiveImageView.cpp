#include "app/Theme/ZVAdaptiveImageView.h"

#include "app/Theme/ZVAdaptiveColor.h"

void ZVAdaptiveImageView::setAdaptiveImage(std::optional<UIImage> light)
{
    m_lightImage = std::move(light);
    applyImage();
}

void ZVAdaptiveImageView::traitCollectionDidChange(const UITraitCollection& previous)
{
    UIImageView::traitCollectionDidChange(previous);
    applyImage();
}

void ZVAdaptiveImageView::applyImage()
{
    if (m_lightImage && traitCollection().userInterfaceStyle == UIUserInterfaceStyle::dark) {
        setImage(zvadaptive::darkStyleIcon(*m_lightImage));
        return;
    }
    setImage(m_lightImage);
}
