#pragma once

#include "platform/ui/UIImageView.h"

// A picture behind a whole page (the ranking and explore backgrounds): as drawn in the light style;
// in the dark style a faint hint of it over the black page, so that the page's light texts read
// over it.
class ZVBackdropImageView : public UIImageView {
public:
    static constexpr CGFloat darkStyleAlpha = 0.3;

    explicit ZVBackdropImageView(std::optional<UIImage> image = std::nullopt);

    void traitCollectionDidChange(const UITraitCollection& previous) override;
};
