#include "platform/dispatch/Clock.h"

#include <atomic>
#include <chrono>

namespace {

std::atomic<bool> g_virtual { false };
std::atomic<double> g_virtualNow { 0.0 };

}

double Clock::realNow()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double Clock::now()
{
    if (g_virtual.load(std::memory_order_acquire))
        return g_virtualNow.load(std::memory_order_acquire);
    return realNow();
}

void Clock::useVirtual(double start)
{
    g_virtualNow.store(start, std::memory_order_release);
    g_virtual.store(true, std::memory_order_release);
}

void Clock::useReal()
{
    g_virtual.store(false, std::memory_order_release);
}

bool Clock::isVirtual()
{
    return g_virtual.load(std::memory_order_acquire);
}

void Clock::advanceVirtualTo(double seconds)
{
    double current = g_virtualNow.load(std::memory_order_acquire);
    while (seconds > current
        && !g_virtualNow.compare_exchange_weak(current, seconds, std::memory_order_acq_rel)) { }
}
