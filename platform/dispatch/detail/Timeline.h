#pragma once

#include "platform/dispatch/detail/TimelineKey.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class Timer;

namespace detail {

// Deadlines closer than this count as equal, so that sums of floating-point intervals land on
// the times they name.
inline constexpr double kDeadlineTolerance = 1e-9;

struct TimelineItem {
    std::function<void()> work;
    std::shared_ptr<Timer> timer; // set for a run-loop timer's fire, which reset() invalidates
};

// The main run loop's schedule: posts (due when posted) and deadlines, ordered by
// (deadline, posting order). Thread-safe. Items taken out are run and destroyed by the caller,
// outside the lock, so that work may post again.
class Timeline {
public:
    // Due at once, after everything posted before.
    TimelineKey post(std::function<void()> work);
    // Due at `deadline` on the dispatch clock (a deadline in the past counts as now).
    TimelineKey postAt(double deadline, TimelineItem item);
    // Removes a deadline that has not been taken yet.
    std::optional<TimelineItem> cancel(const TimelineKey& key);

    // The first item due at `now`, if any.
    std::optional<TimelineItem> takeDue(double now);
    bool hasDue(double now) const;
    std::optional<double> nextDeadline() const;
    std::size_t size() const;
    std::vector<TimelineItem> takeAll();

    // Blocks until an item is due, a stop was requested (when `wakeOnStop`) or the real clock
    // reaches `realDeadline`. Under the real clock, deadlines also end the wait.
    void waitForWork(std::optional<double> realDeadline, bool wakeOnStop);

    void requestStop();
    bool consumeStop();
    bool isStopRequested() const;

    // Called (under the lock, from the posting thread) after each post, new deadline and stop
    // request, for a loop that waits on something else than waitForWork. Empty: none.
    void setWaker(std::function<void()> waker);

private:
    bool hasDueLocked(double now) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::pair<TimelineKey, std::function<void()>>> m_posts;
    std::map<TimelineKey, TimelineItem> m_deadlines;
    std::uint64_t m_seq = 0;
    bool m_stop = false;
    std::function<void()> m_waker;
};

}
