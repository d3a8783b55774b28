#pragma once

#include "platform/ui/UIImage.h"

#include <optional>

// The image redrawn with its orientation applied, so that its bitmap is stored upright (uploads
// carry no orientation). An upright image comes back as it is. The new bitmap has one pixel per
// point of the image's size, at scale 1. None when the image has no bitmap or no bitmap of that
// size can be made.
std::optional<UIImage> fixOrientation(const UIImage& image);
