#pragma once

#include "platform/dispatch/DispatchTime.h"

#include <cstdint>
#include <functional>
#include <memory>

class DispatchQueue;

// A debounced action: each call of the returned operation checks, one interval later on `queue`,
// whether the action has run since that call was made (the factory's creation counts as the
// first run time); if not, the action runs then. So the first call always runs, and a burst of
// calls shorter than the interval runs the action once, one interval after the burst's first
// call. The interval is kept in whole milliseconds (truncated). The returned operation keeps the
// state; checks already scheduled keep it too, so they still run after the owner lets go.
std::function<void()> debounce(double interval, DispatchQueue& queue, std::function<void()> action);

// The pieces of a debounced call. `lastFire` is the time of the latest run, shared by every call
// of one debounced action and only touched on its queue.
using DebounceLastFire = std::shared_ptr<DispatchTime>;

// Schedules one quiet check on `queue`, `intervalMilliseconds` from now. Leaves `lastFire` alone.
void scheduleDebounceCheck(std::int64_t intervalMilliseconds, DispatchQueue& queue, DebounceLastFire lastFire,
    std::function<void()> action);
// Runs the action, and records now as its run time, unless it ran within the interval.
void runIfQuiet(
    const DebounceLastFire& lastFire, std::int64_t intervalMilliseconds, const std::function<void()>& action);
