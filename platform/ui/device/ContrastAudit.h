#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

#include <string>
#include <vector>

// The contrast ratio of two opaque colours as the accessibility guidelines define it: the
// relative luminances, each plus 0.05, the lighter over the darker (1 to 21).
double contrastRatio(const UIColor::RGBA& a, const UIColor::RGBA& b);

// One text or icon of the screen, measured against what is drawn behind it.
struct ContrastFinding {
    enum class Kind { text, icon };
    Kind kind = Kind::text;
    // The text, or what the icon is ("icon 20x20").
    std::string subject;
    // The nearest views up from it, by class, for finding it ("UILabel in ZV_...").
    std::string where;
    // The classes of its view and of every view up from it, its own first.
    std::vector<std::string> ancestry;
    // A text's own colours as given (each colour of its runs), resolved in its style.
    std::vector<UIColor::RGBA> colors;
    // On the screen, in points.
    CGRect frame;
    UIUserInterfaceStyle style = UIUserInterfaceStyle::light;
    // Its size in points as shown (for a text: the smallest font of it).
    CGFloat pointSize = 0;
    bool bold = false;
    // The colours of the pixel pair that decided, as drawn: with and without the text or icon.
    UIColor::RGBA foreground;
    UIColor::RGBA background;
    double ratio = 1;
    double required = 4.5;
    // Nothing of it differs from what lies behind: drawn in the colour of its background (the
    // colours are then the text's own colour over that background).
    bool unseen = false;

    bool passes() const;
    // One line: what, where, both colours, the ratio and what it needs.
    std::string description() const;
};

// Measures the contrast of every text and icon that the application's windows show. A text needs
// 4.5:1, a large one (18 pt, or 14 pt bold) 3:1, an icon (a small image of the program's own
// bundle) 3:1, against what is really drawn behind it: the screen is drawn a second time with texts
// and icons left out, and each one's pixels are compared with the same pixels of that drawing.
// Texts and icons that something drawn later covers (a sheet, a dimmed backdrop, a fade) are left
// alone, as are those clipped out of sight. Main thread; the tree must not change between the
// screen's drawing and the measuring.
class ContrastAudit {
public:
    static constexpr double bodyTextRatio = 4.5;
    static constexpr double largeTextRatio = 3;
    static constexpr double iconRatio = 3;
    // Icons are images of the bundle shown at most this large (pictures and placeholders are larger).
    static constexpr CGFloat largestIcon = 48;

    // Every text and icon in sight on `shown`, the screen as Renderer::renderScreen() drew it
    // just now, in drawing order.
    static std::vector<ContrastFinding> measureScreen(const UIImage& shown);
};
