#include "platform/window/FramePacer.h"

#include <algorithm>
#include <cmath>

double FramePacer::frameIntervalForRate(int hertz)
{
    // Displays run between 24 and 500 Hz; anything else is a driver that does not know (Xvfb says 0).
    if (hertz < 24 || hertz > 500)
        return defaultFrameInterval;
    return 1.0 / hertz;
}

FramePacer::FramePacer(double frameInterval)
    : m_interval(std::isfinite(frameInterval) && frameInterval > 0 ? frameInterval : defaultFrameInterval)
{ }

void FramePacer::update(std::uint64_t generation, bool frameRequested)
{
    if (frameRequested || !m_drawnOnce || generation != m_drawnGeneration)
        m_wanted = true;
}

bool FramePacer::shouldDraw(double now) const
{
    auto next = nextFrameTime();
    return next && now >= *next;
}

std::optional<double> FramePacer::nextFrameTime() const
{
    if (!m_wanted)
        return std::nullopt;
    if (!m_lastFrame)
        return -INFINITY;
    return *m_lastFrame + m_interval;
}

void FramePacer::didDraw(double now, std::uint64_t generation)
{
    // A late frame starts the count again from its own time, so frames never bunch up to catch up.
    m_lastFrame = now;
    m_drawnGeneration = generation;
    m_drawnOnce = true;
    m_wanted = false;
    ++m_frames;
}
