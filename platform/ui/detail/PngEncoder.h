#pragma once

#include "platform/foundation/Data.h"

#include <cairo.h>
#include <optional>

namespace detail {

// PNG of an opaque (RGB24) or premultiplied (ARGB32) Cairo image surface, with the pixels as
// Cairo's own writer stores them but compressed for speed: screenshots are written often and
// only looked at. Other formats go through Cairo's writer. Nothing for a surface it cannot read.
std::optional<Data> encodePngFast(cairo_surface_t* surface);

}
