#pragma once

#include "platform/ui/CGGeometry.h"

#include <cairo.h>

// Blurs, in place, what has already been drawn under a rectangle of the current drawing: the
// pixels of the current target (the innermost group, if one is open) under `rect` (user space of
// `cr`) are averaged down to a small copy, box-blurred three times (close to a Gaussian of
// `radius` points; the edge pixels stand in for what lies beyond, so nothing from outside the
// rectangle bleeds in) and painted back scaled up, inside the current clip. Returns false,
// drawing nothing, when the target is not an image surface (ARGB32 or RGB24) or the area is empty
// or too large (over 8192 pixels a side).
bool blurBackdrop(cairo_t* cr, const CGRect& rect, CGFloat radius);

namespace detail {
// Three passes of a box blur of the given radius over premultiplied ARGB32 pixels.
void boxBlurARGB(unsigned char* data, int width, int height, int stride, int radius);
}
