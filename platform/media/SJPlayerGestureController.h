#pragma once

#include "platform/ui/CGGeometry.h"

#include <functional>

class SJBaseVideoPlayer;

// The gestures a player's view answers, as a bit set.
enum SJPlayerGestureTypeMask : unsigned {
    SJPlayerGestureTypeMask_SingleTap = 1 << 0,
    SJPlayerGestureTypeMask_DoubleTap = 1 << 1,
    SJPlayerGestureTypeMask_Pan = 1 << 2,
    SJPlayerGestureTypeMask_Pinch = 1 << 3,
    // Held down: plays at the player's rateWhenLongPressGestureTriggered until released.
    SJPlayerGestureTypeMask_LongPress = 1 << 4,
    SJPlayerGestureTypeMask_Default = SJPlayerGestureTypeMask_SingleTap | SJPlayerGestureTypeMask_DoubleTap
        | SJPlayerGestureTypeMask_Pan | SJPlayerGestureTypeMask_Pinch,
};

// Which gestures a player's view takes and what a single tap does. Of these gestures the player
// acts on the single tap and the long press; the others are only bits that apps switch off.
struct SJPlayerGestureController {
    using TapHandler = std::function<void(SJBaseVideoPlayer& player, CGPoint location)>;

    unsigned supportedGestureTypes = SJPlayerGestureTypeMask_Default;
    // Replaces the player's own answer to a single tap (the full player shows or hides its controls).
    TapHandler singleTapHandler;

    bool supports(SJPlayerGestureTypeMask type) const { return (supportedGestureTypes & type) != 0; }
};
