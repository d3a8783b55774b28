#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

// Colours picked for a light background (dark navy or near-black texts, white bars) keep their
// value in the light style and get a readable counterpart on the dark style's black background.
namespace zvadaptive {

// The light text colour as given; in the dark style white, at least half opaque so that faded
// secondary texts stay legible on black.
UIColor textColor(const UIColor& light);

// A bar or page surface: the light colour as given, a dark grey close to the system background in
// the dark style.
UIColor surfaceColor(const UIColor& light);

// A page behind cards and bubbles: the light colour as given, the system's black in the dark style.
UIColor pageColor(const UIColor& light);

// A chip, tag or card that stands out from a surface: the light colour as given, a grey a step
// lighter than the dark surface in the dark style.
UIColor raisedColor(const UIColor& light);

// White text on a bright coloured tag or badge (the orange of the title tags): as given in the
// light style; in the dark style, where the bright tag is all that lights up, the page's navy.
UIColor tagTextColor(const UIColor& light);

// A bright fill under white text (a button, a bubble, a badge): the light colour as given; in the
// dark style, where it would glare, the same hue darkened until white text reads on it at 4.5:1.
UIColor whiteTextFill(const UIColor& light);

// An icon drawn dark for light backgrounds, as the dark style shows it: its shape in white, its
// faintest drawn part raised so that the whole of it reads on black.
UIImage darkStyleIcon(const UIImage& light);

// An icon's shape in one colour (of the light style, alpha included), its most opaque pixel raised
// to that colour's full strength: a faint drawing becomes a solid mark.
UIImage iconInColor(const UIImage& icon, const UIColor& color);

// WCAG contrast ratio (1...21) of a plain foreground drawn over a plain opaque background.
double contrastRatio(const UIColor& foreground, const UIColor& background);

}
