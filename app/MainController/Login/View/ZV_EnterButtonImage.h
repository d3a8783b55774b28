#pragma once

#include "platform/ui/UIImage.h"

#include <optional>

namespace accountform {

// The face of the round enter button while it waits for input, from its drawing
// ("login_enter_nor"): as drawn in the light style, a pale disc on the light page. The drawing's
// disc is black at a tenth of full strength under a white arrow, so on the dark page the disc
// vanishes and a bright arrow is left that reads as a button to press. The dark style gets a
// grey disc a step above the fields' fill with the arrow at half strength on it: seen, and
// plainly apart from the bright accent of the enabled face. Nothing, or a drawing without
// pixels, stays as it is.
std::optional<UIImage> waitingEnterImage(const std::optional<UIImage>& drawn);

}
