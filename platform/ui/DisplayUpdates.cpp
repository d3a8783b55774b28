#include "platform/ui/DisplayUpdates.h"

#include <atomic>

namespace {

std::atomic<std::uint64_t> g_generation { 0 };
std::atomic<bool> g_frameRequested { false };

}

void DisplayUpdates::setNeedsDisplay()
{
    g_generation.fetch_add(1, std::memory_order_relaxed);
}

std::uint64_t DisplayUpdates::generation()
{
    return g_generation.load(std::memory_order_relaxed);
}

void DisplayUpdates::requestAnimationFrame()
{
    g_frameRequested.store(true, std::memory_order_relaxed);
}

bool DisplayUpdates::takeAnimationFrameRequest()
{
    return g_frameRequested.exchange(false, std::memory_order_relaxed);
}
