#pragma once

#include <cstdint>

// What the screen shows changed, or keeps changing as time passes. Layers and views report every
// change of what they draw here; a screen shown live (a window) draws a frame only when there is
// something new to see, and frame after frame only while a drawing asks for the next one. Headless,
// nobody reads it. Thread-safe (changes come from the main thread).
class DisplayUpdates {
public:
    // Something drawn changed: the next frame shows it.
    static void setNeedsDisplay();
    // Grows with each change; a screen keeps the value it drew and compares.
    static std::uint64_t generation();

    // Called while drawing by content that depends on the time (a scrolling marquee): it looks
    // different at the next frame even if nothing changes.
    static void requestAnimationFrame();
    // Whether a frame was asked for since the last call, and forgets the request.
    static bool takeAnimationFrameRequest();
};
