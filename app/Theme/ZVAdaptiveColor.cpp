#include "app/Theme/ZVAdaptiveColor.h"

#include <algorithm>
#include <cmath>

namespace zvadaptive {

namespace {

constexpr CGFloat minimumDarkTextAlpha = 0.55;

double channel(double c)
{
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const UIColor::RGBA& c)
{
    return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}

}

UIColor textColor(const UIColor& light)
{
    CGFloat alpha = std::max<CGFloat>(light.alphaComponent(), minimumDarkTextAlpha);
    return UIColor::dynamic(light, UIColor::white(1, alpha));
}

UIColor surfaceColor(const UIColor& light)
{
    return UIColor::dynamic(light, UIColor(0.11, 0.11, 0.118, 1));
}

UIColor pageColor(const UIColor& light)
{
    return UIColor::dynamic(light, UIColor::black());
}

double contrastRatio(const UIColor& foreground, const UIColor& background)
{
    UIColor::RGBA back = background.rgba();
    UIColor::RGBA fore = foreground.rgba();
    // The foreground's alpha blends it over the background first.
    UIColor::RGBA seen { fore.red * fore.alpha + back.red * (1 - fore.alpha),
        fore.green * fore.alpha + back.green * (1 - fore.alpha),
        fore.blue * fore.alpha + back.blue * (1 - fore.alpha), 1 };
    double a = luminance(seen);
    double b = luminance(back);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}
