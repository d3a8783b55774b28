#include "platform/dispatch/detail/Timeline.h"

#include "platform/dispatch/Clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace detail {

namespace {

std::chrono::steady_clock::time_point steadyPoint(double realSeconds)
{
    using namespace std::chrono;
    return steady_clock::time_point(duration_cast<steady_clock::duration>(duration<double>(realSeconds)));
}

}

TimelineKey Timeline::post(std::function<void()> work)
{
    TimelineKey key;
    {
        std::lock_guard lock(m_mutex);
        key = TimelineKey { Clock::now(), ++m_seq };
        m_posts.emplace_back(key, std::move(work));
        if (m_waker)
            m_waker();
    }
    m_wake.notify_one();
    return key;
}

TimelineKey Timeline::postAt(double deadline, TimelineItem item)
{
    TimelineKey key;
    {
        std::lock_guard lock(m_mutex);
        // A deadline already passed is due now, behind what is already waiting, as on the
        // platform, where it is queued when its timer fires.
        key = TimelineKey { std::max(deadline, Clock::now()), ++m_seq };
        m_deadlines.emplace(key, std::move(item));
        if (m_waker)
            m_waker();
    }
    m_wake.notify_one();
    return key;
}

std::optional<TimelineItem> Timeline::cancel(const TimelineKey& key)
{
    std::lock_guard lock(m_mutex);
    auto it = m_deadlines.find(key);
    if (it == m_deadlines.end())
        return std::nullopt;
    std::optional<TimelineItem> item(std::move(it->second));
    m_deadlines.erase(it);
    return item;
}

std::optional<TimelineItem> Timeline::takeDue(double now)
{
    std::lock_guard lock(m_mutex);
    bool deadlineDue
        = !m_deadlines.empty() && m_deadlines.begin()->first.deadline <= now + kDeadlineTolerance;
    bool postWaiting = !m_posts.empty();
    if (deadlineDue && (!postWaiting || m_deadlines.begin()->first < m_posts.front().first)) {
        auto node = m_deadlines.extract(m_deadlines.begin());
        return std::move(node.mapped());
    }
    if (!postWaiting)
        return std::nullopt;
    TimelineItem item { std::move(m_posts.front().second), nullptr };
    m_posts.pop_front();
    return item;
}

bool Timeline::hasDueLocked(double now) const
{
    return !m_posts.empty()
        || (!m_deadlines.empty() && m_deadlines.begin()->first.deadline <= now + kDeadlineTolerance);
}

bool Timeline::hasDue(double now) const
{
    std::lock_guard lock(m_mutex);
    return hasDueLocked(now);
}

std::optional<double> Timeline::nextDeadline() const
{
    std::lock_guard lock(m_mutex);
    if (m_deadlines.empty())
        return std::nullopt;
    return m_deadlines.begin()->first.deadline;
}

std::size_t Timeline::size() const
{
    std::lock_guard lock(m_mutex);
    return m_posts.size() + m_deadlines.size();
}

std::vector<TimelineItem> Timeline::takeAll()
{
    std::vector<TimelineItem> items;
    std::lock_guard lock(m_mutex);
    items.reserve(m_posts.size() + m_deadlines.size());
    for (auto& [key, work] : m_posts)
        items.push_back(TimelineItem { std::move(work), nullptr });
    for (auto& [key, item] : m_deadlines)
        items.push_back(std::move(item));
    m_posts.clear();
    m_deadlines.clear();
    return items;
}

void Timeline::waitForWork(std::optional<double> realDeadline, bool wakeOnStop)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (wakeOnStop && m_stop)
            return;
        if (hasDueLocked(Clock::now()))
            return;
        double wakeAt = realDeadline.value_or(INFINITY);
        if (!Clock::isVirtual() && !m_deadlines.empty())
            wakeAt = std::min(wakeAt, m_deadlines.begin()->first.deadline);
        if (Clock::realNow() >= wakeAt)
            return;
        if (std::isinf(wakeAt))
            m_wake.wait(lock);
        else
            m_wake.wait_until(lock, steadyPoint(wakeAt));
    }
}

void Timeline::requestStop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        if (m_waker)
            m_waker();
    }
    m_wake.notify_all();
}

bool Timeline::consumeStop()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_stop, false);
}

bool Timeline::isStopRequested() const
{
    std::lock_guard lock(m_mutex);
    return m_stop;
}

void Timeline::setWaker(std::function<void()> waker)
{
    std::lock_guard lock(m_mutex);
    m_waker = std::move(waker);
}

}
