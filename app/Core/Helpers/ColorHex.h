#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Colours of the app's own views are written as hexadecimal text ("1D1942", "#03FFE1"). Never
// fails; the rules, in order:
//  - surrounding white space and line breaks are dropped; nothing left gives UIColor();
//  - every "#" and then every "0x" (lower-case x only) is removed wherever it stands;
//  - more than 8 characters left give UIColor();
//  - with exactly 8, the first two are the alpha (00...FF over 255, unparsable: 0), replacing
//    the argument;
//  - the rest is one signed base-16 number (optional "+" or "-", either letter case; empty or
//    unparsable: 0) whose bits 16-23, 8-15 and 0-7 are red, green and blue over 255.
// Three digits are not expanded: "FFF" is 0x000FFF.
UIColor colorWithHex(std::string_view hex, CGFloat alpha = 1.0);

// Red, green and blue from bits 16-23, 8-15 and 0-7 of the value.
UIColor colorWithRGBValue(std::int64_t value, CGFloat alpha = 1.0);
// As colorWithRGBValue, with the alpha in bits 24-31 when the value has any (else opaque).
UIColor colorWithARGBValue(std::int64_t value);

// An image of the size filled with the colour (scale 1, not opaque); none for a size without area.
std::optional<UIImage> imageWithColor(const UIColor& color, CGSize size);
// A 1 by 1 image of the colour.
UIImage onePixelImage(const UIColor& color);
