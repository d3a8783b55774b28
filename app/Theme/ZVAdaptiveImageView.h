#pragma once

#include "platform/ui/UIImageView.h"

#include <optional>

// An image view whose icon was drawn dark for light backgrounds: the icon as drawn in the light
// style, its shape in white in the dark style (zvadaptive::darkStyleIcon), switched when the style
// changes.
class ZVAdaptiveImageView : public UIImageView {
public:
    ZVAdaptiveImageView() = default;

    // The icon as drawn for the light style.
    void setAdaptiveImage(std::optional<UIImage> light);
    const std::optional<UIImage>& adaptiveImage() const { return m_lightImage; }

    void traitCollectionDidChange(const UITraitCollection& previous) override;

private:
    void applyImage();

    std::optional<UIImage> m_lightImage;
};
