#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

#include <optional>

// Fills, lines and pictures made for a light page keep their look in the light style and get a
// counterpart in the dark style that stands off the dark page as the light one does off white.
namespace zvadaptive {

// A chip, field, row or button face a shade off its page: the light colour as given, a grey one
// step above the dark sheets in the dark style.
UIColor fillColor(const UIColor& light);

// A hairline, border or separator: the light colour as given, a faint white in the dark style.
UIColor lineColor(const UIColor& light);

// An icon drawn for a light background: as drawn in the light style; in the dark style its
// lightness turned over (dark strokes come out light with their hue, white details dark) and its
// faintest strokes raised to the opacity of the dark style's secondary texts.
std::optional<UIImage> iconImage(const std::optional<UIImage>& light);

// A picture that lies behind a light page: as is in the light style, under the dark page's black
// in the dark style so that it only tints it.
std::optional<UIImage> dimmedImage(const std::optional<UIImage>& light);

}
