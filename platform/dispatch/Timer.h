#pragma once

#include "platform/dispatch/DispatchTime.h"
#include "platform/dispatch/detail/TimelineKey.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>

// A run-loop timer: its action runs on the main thread, from the main run loop.
//
// A repeating timer keeps its grid: it fires at start + interval, start + 2 * interval, ...
// whatever the lateness of a single fire; fires missed while the loop was busy are skipped, not
// replayed. A non-repeating timer fires once and is then invalidated. The run loop keeps a
// scheduled timer alive until it is invalidated, so its owner may hold it weakly or not at all.
//
// Scheduling and fire() belong to the main thread; invalidate() and isValid() are thread-safe.
class Timer : public std::enable_shared_from_this<Timer> {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    static std::shared_ptr<Timer> scheduledTimer(
        double interval, bool repeats, std::function<void(Timer&)> block);

    // Holds the target weakly: when the target is gone at a fire, the timer invalidates itself
    // instead of calling the action.
    template<class T>
    static std::shared_ptr<Timer> scheduledTimer(double interval,
        std::type_identity_t<std::weak_ptr<T>> target, void (T::*action)(Timer&), bool repeats)
    {
        return scheduledTimer(interval, repeats, [target = std::move(target), action](Timer& timer) {
            auto strong = target.lock();
            if (!strong) {
                timer.invalidate();
                return;
            }
            ((*strong).*action)(timer);
        });
    }

    // Runs the action now, without moving the schedule; a non-repeating timer is then
    // invalidated. Does nothing on an invalid timer.
    void fire();
    // Stops the timer for good and releases the action (and its captures); the run loop lets go
    // of the timer.
    void invalidate();
    bool isValid() const;

    // The repeat interval; 0 for a non-repeating timer, as on the platform.
    double timeInterval() const;
    // The date of the next scheduled fire (the last one once invalid).
    DispatchTime fireDate() const;

    Timer(Passkey, double interval, bool repeats, std::function<void(Timer&)> block);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

private:
    void schedule(double start);
    void scheduleLocked();
    double fireDateLocked() const;
    void fireFromRunLoop(); // the run loop's fire at fireDate

    std::shared_ptr<const std::function<void(Timer&)>> takeBlock(); // null once invalid

    const double m_interval;
    const bool m_repeats;

    mutable std::mutex m_mutex;
    bool m_valid = true;
    std::shared_ptr<const std::function<void(Timer&)>> m_block; // released by invalidate()
    double m_start = 0; // first fire date: the grid's origin
    std::uint64_t m_index = 0; // fireDate = m_start + m_index * m_interval
    std::optional<detail::TimelineKey> m_key; // the pending fire in the run loop, if any
};
