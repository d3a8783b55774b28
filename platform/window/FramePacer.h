#pragma once

#include <cstdint>
#include <optional>

// When a live screen draws: only when there is something new to see (a change reported to
// DisplayUpdates, or a drawing that asked for the next frame), and then at most once per frame
// of the display; between frames the loop sleeps. Times are seconds on one monotonic clock.
class FramePacer {
public:
    static constexpr double defaultFrameInterval = 1.0 / 60;

    // A display's refresh rate in hertz; unknown or implausible rates give 60 Hz.
    static double frameIntervalForRate(int hertz);

    explicit FramePacer(double frameInterval = defaultFrameInterval);

    double frameInterval() const { return m_interval; }

    // Compares the change count with the one drawn last and takes a pending frame request; either
    // one means a frame is wanted.
    void update(std::uint64_t generation, bool frameRequested);
    // A frame is wanted whatever changed (the window's pixels were lost, its size changed).
    void invalidate() { m_wanted = true; }
    bool wantsFrame() const { return m_wanted; }

    // Whether to draw at `now`: a frame is wanted and a frame interval has passed since the last.
    bool shouldDraw(double now) const;
    // The time of the next frame while one is wanted (it may be now or past); none otherwise.
    std::optional<double> nextFrameTime() const;
    // A frame was drawn at `now` showing every change up to `generation`.
    void didDraw(double now, std::uint64_t generation);

    int framesDrawn() const { return m_frames; }

private:
    double m_interval;
    std::optional<double> m_lastFrame;
    std::uint64_t m_drawnGeneration = 0;
    bool m_drawnOnce = false;
    bool m_wanted = false;
    int m_frames = 0;
};
