#include "app/Core/Helpers/Debounce.h"

#include "platform/dispatch/DispatchQueue.h"

#include <cmath>

namespace {

double seconds(std::int64_t milliseconds)
{
    return static_cast<double>(milliseconds) / 1000.0;
}

}

std::function<void()> debounce(double interval, DispatchQueue& queue, std::function<void()> action)
{
    auto lastFire = std::make_shared<DispatchTime>(DispatchTime::now());
    const double milliseconds = std::trunc(interval * 1000);
    // Guards the conversion: a NaN or huge interval would be undefined as an integer.
    const std::int64_t intervalMilliseconds = std::isfinite(milliseconds) && std::abs(milliseconds) < 9.0e15
        ? static_cast<std::int64_t>(milliseconds)
        : 0;
    auto shared = std::make_shared<const std::function<void()>>(std::move(action));
    return [&queue, shared, lastFire, intervalMilliseconds] {
        scheduleDebounceCheck(intervalMilliseconds, queue, lastFire, [shared] { (*shared)(); });
    };
}

void scheduleDebounceCheck(std::int64_t intervalMilliseconds, DispatchQueue& queue, DebounceLastFire lastFire,
    std::function<void()> action)
{
    queue.asyncAfter(DispatchTime::now() + seconds(intervalMilliseconds),
        [lastFire = std::move(lastFire), intervalMilliseconds, action = std::move(action)] {
            runIfQuiet(lastFire, intervalMilliseconds, action);
        });
}

void runIfQuiet(
    const DebounceLastFire& lastFire, std::int64_t intervalMilliseconds, const std::function<void()>& action)
{
    DispatchTime now = DispatchTime::now();
    if (now < *lastFire + seconds(intervalMilliseconds))
        return;
    *lastFire = now;
    if (action)
        action();
}
