#pragma once

// Tables of texts and what lies behind them, in the light and the dark style: the light style keeps
// the colours as the design writes them, the dark style reads at the ratio a text needs.

#include "platform/ui/UIColor.h"
#include "platform/ui/device/ContrastAudit.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace styletest {

struct Text {
    std::string name;
    UIColor text;
    // What is drawn right behind it; translucent layers lie over the page of the style.
    UIColor back;
    // The colours the light style keeps, as the design writes them (the background only where it
    // gives one).
    UIColor lightText;
    std::optional<UIColor> lightBack {};
    // 4.5 for body text, 3 for large text and icons.
    double needed = 4.5;
};

inline UIColor::RGBA over(const UIColor::RGBA& top, const UIColor::RGBA& under)
{
    double a = top.alpha;
    return { top.red * a + under.red * (1 - a), top.green * a + under.green * (1 - a),
        top.blue * a + under.blue * (1 - a), 1 };
}

// The ratio of a text over its background, both resolved in the style, over that style's page.
inline double ratioIn(UIUserInterfaceStyle style, const UIColor& text, const UIColor& back)
{
    UIColor::RGBA page
        = style == UIUserInterfaceStyle::dark ? UIColor::RGBA { 0, 0, 0, 1 } : UIColor::RGBA { 1, 1, 1, 1 };
    UIColor::RGBA behind = over(back.resolved(style).rgba(), page);
    return contrastRatio(over(text.resolved(style).rgba(), behind), behind);
}

inline void expectReadableInTheDarkAndAsDesignedInTheLight(const std::vector<Text>& texts)
{
    for (const Text& t : texts) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.text.resolved(UIUserInterfaceStyle::light), t.lightText);
        if (t.lightBack) {
            EXPECT_EQ(t.back.resolved(UIUserInterfaceStyle::light), *t.lightBack);
        }
        double dark = ratioIn(UIUserInterfaceStyle::dark, t.text, t.back);
        EXPECT_GE(dark + 0.005, t.needed)
            << t.text.resolved(UIUserInterfaceStyle::dark).debugDescription() << " on "
            << t.back.resolved(UIUserInterfaceStyle::dark).debugDescription();
    }
}

}
