#include "platform/foundation/Date.h"

#include <atomic>
#include <chrono>
#include <mutex>

namespace {

std::atomic<bool> g_clockReplaced { false };

std::mutex& clockMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::function<double()>& testClock()
{
    static std::function<double()> clock;
    return clock;
}

}

Date Date::now()
{
    if (g_clockReplaced.load(std::memory_order_acquire)) {
        std::lock_guard lock(clockMutex());
        if (testClock())
            return Date(testClock()());
    }
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date(std::chrono::duration<double>(since).count());
}

void Date::setClockForTesting(std::function<double()> clock)
{
    std::lock_guard lock(clockMutex());
    testClock() = std::move(clock);
    g_clockReplaced.store(static_cast<bool>(testClock()), std::memory_order_release);
}
