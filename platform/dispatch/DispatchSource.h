#pragma once

#include "platform/dispatch/DispatchTime.h"
#include "platform/dispatch/detail/TimelineKey.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class DispatchQueue;

namespace detail {
class QueueCore;
}

// A dispatch timer source: fires its event handler on its queue at a deadline, then, when
// repeating, every interval on the grid deadline + k * interval (no drift; missed fires are
// coalesced into one). Deadlines are measured on the dispatch clock (see Clock).
//
// Like the platform's, a source starts suspended: it fires only after resume(), and only while
// the caller holds it (dropping the last reference stops it). The handler never runs twice at
// the same time: a fire that falls due while the previous one is still queued or running is
// coalesced into it. All operations are thread-safe.
class DispatchSourceTimer : public std::enable_shared_from_this<DispatchSourceTimer> {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    // Arms the timer; replaces any earlier schedule. `repeating` <= 0 means one shot. The
    // leeway is accepted for the platform's signature; fires come at their deadlines.
    void schedule(DispatchTime deadline, double repeating /* <= 0: one shot */, double leeway = 0);
    // Replaces the handler, also for a fire that is already queued.
    void setEventHandler(std::function<void()> handler);
    void resume();
    void suspend();
    // The handler never runs again, even for a fire that was already queued; it is released.
    void cancel();
    bool isCancelled() const;

    DispatchSourceTimer(Passkey, std::shared_ptr<detail::QueueCore> queue);
    ~DispatchSourceTimer();
    DispatchSourceTimer(const DispatchSourceTimer&) = delete;
    DispatchSourceTimer& operator=(const DispatchSourceTimer&) = delete;

private:
    friend struct DispatchSource;

    void armLocked();
    void disarmLocked();
    void fallDue(std::uint64_t generation);
    void deliver();
    void deliveryEnded();
    struct Delivery;

    const std::shared_ptr<detail::QueueCore> m_queue;

    mutable std::mutex m_mutex;
    std::shared_ptr<const std::function<void()>> m_handler;
    std::optional<detail::TimelineKey> m_key; // the pending deadline in the run loop, if any
    std::uint64_t m_generation = 0; // bumped on every arm and disarm: stale deadlines are ignored
    double m_start = 0; // the grid: fires at m_start + m_index * m_interval
    std::uint64_t m_index = 0;
    double m_interval = 0;
    int m_suspendCount = 1;
    bool m_scheduled = false;
    bool m_cancelled = false;
    bool m_fireQueued = false;
};

struct DispatchSource {
    static std::shared_ptr<DispatchSourceTimer> makeTimerSource(DispatchQueue* queue = nullptr /* global */);
};
