#pragma once

#include "platform/ui/controls/UIButton.h"

#include <optional>

// A button whose icon was drawn in a dark colour for light backgrounds: the icon shows as drawn in
// the light style and as a light copy of its shape in the dark style, switched when the style
// changes.
class ZVAdaptiveIconButton : public UIButton {
public:
    ZVAdaptiveIconButton() = default;

    // The icon for the normal state, as drawn for the light style.
    void setAdaptiveImage(std::optional<UIImage> light);

    void traitCollectionDidChange(const UITraitCollection& previous) override;

private:
    void applyImage();

    std::optional<UIImage> m_lightImage;
};
