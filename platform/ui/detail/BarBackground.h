#pragma once

#include "platform/ui/UIBarStyle.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIImageView.h"

#include <memory>
#include <optional>

namespace detail {

// The colours a bar style gives a bar that sets none of its own.
UIColor barStyleBackgroundColor(UIBarStyle style, bool translucent);
UIColor barStyleHairlineColor(UIBarStyle style);
// Titles and other content drawn on the bar.
UIColor barStyleContentColor(UIBarStyle style);

// The backdrop of a bottom bar (tab bar, tool bar): the background image, else the bar tint, else
// the style's colour, and a hairline along the top edge (the shadow image, else the style's
// line; an empty image hides it). Owned by the bar, which puts the two views behind its content.
class BarBackground {
public:
    struct Look {
        UIBarStyle style = UIBarStyle::defaultStyle;
        std::optional<UIColor> barTintColor;
        std::optional<UIImage> backgroundImage;
        std::optional<UIImage> shadowImage;
    };

    BarBackground();

    const Look& look() const { return m_look; }
    void setLook(Look look);

    // Inserts the two views at the back of the bar once it is owned.
    void attach(UIView& bar);
    void layout(const CGRect& bounds);

private:
    void update();

    Look m_look;
    std::shared_ptr<UIImageView> m_background;
    std::shared_ptr<UIImageView> m_hairline;
};

}
