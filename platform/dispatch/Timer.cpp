#include "platform/dispatch/Timer.h"

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/dispatch/detail/Timeline.h"

#include <algorithm>
#include <cmath>

namespace {

// The platform's floor for timer intervals.
constexpr double kMinimumInterval = 0.0001;

}

std::shared_ptr<Timer> Timer::scheduledTimer(double interval, bool repeats, std::function<void(Timer&)> block)
{
    auto timer = std::make_shared<Timer>(Passkey {}, interval, repeats, std::move(block));
    timer->schedule(Clock::now() + timer->m_interval);
    return timer;
}

Timer::Timer(Passkey, double interval, bool repeats, std::function<void(Timer&)> block)
    : m_interval(std::max(interval, kMinimumInterval))
    , m_repeats(repeats)
{
    if (block)
        m_block = std::make_shared<const std::function<void(Timer&)>>(std::move(block));
}

std::shared_ptr<const std::function<void(Timer&)>> Timer::takeBlock()
{
    std::lock_guard lock(m_mutex);
    return m_valid ? m_block : nullptr;
}

Timer::~Timer() = default;

double Timer::fireDateLocked() const
{
    return m_start + static_cast<double>(m_index) * m_interval;
}

void Timer::schedule(double start)
{
    std::lock_guard lock(m_mutex);
    m_start = start;
    m_index = 0;
    scheduleLocked();
}

void Timer::scheduleLocked()
{
    if (!m_valid)
        return;
    auto self = shared_from_this();
    m_key = RunLoop::main().timeline().postAt(
        fireDateLocked(), detail::TimelineItem { [self] { self->fireFromRunLoop(); }, self });
}

void Timer::fireFromRunLoop()
{
    auto self = shared_from_this(); // the action may drop the last outside reference
    std::shared_ptr<const std::function<void(Timer&)>> block;
    {
        std::lock_guard lock(m_mutex);
        if (!m_valid)
            return;
        block = m_block;
        m_key.reset();
        if (m_repeats) {
            // Next point of the grid after now: a late fire does not shift later ones, and fires
            // missed while the loop was busy are skipped.
            const double now = Clock::now();
            std::uint64_t next = m_index + 1;
            if (m_start + static_cast<double>(next) * m_interval <= now + detail::kDeadlineTolerance) {
                auto passed = static_cast<std::uint64_t>(std::floor((now - m_start) / m_interval));
                next = std::max(next, passed + 1);
                if (m_start + static_cast<double>(next) * m_interval <= now + detail::kDeadlineTolerance)
                    ++next;
            }
            m_index = next;
            scheduleLocked();
        }
    }
    if (block)
        (*block)(*this);
    if (!m_repeats)
        invalidate();
}

void Timer::fire()
{
    auto self = shared_from_this();
    auto block = takeBlock();
    if (!block)
        return;
    (*block)(*this);
    if (!m_repeats)
        invalidate();
}

void Timer::invalidate()
{
    // Released after the lock: the pending fire may hold the last reference to this timer, and
    // the action's captures may do anything when they go.
    std::optional<detail::TimelineItem> removed;
    std::shared_ptr<const std::function<void(Timer&)>> block;
    std::lock_guard lock(m_mutex);
    if (!m_valid)
        return;
    m_valid = false;
    block = std::move(m_block);
    if (m_key) {
        removed = RunLoop::main().timeline().cancel(*m_key);
        m_key.reset();
    }
}

bool Timer::isValid() const
{
    std::lock_guard lock(m_mutex);
    return m_valid;
}

double Timer::timeInterval() const
{
    return m_repeats ? m_interval : 0.0;
}

DispatchTime Timer::fireDate() const
{
    std::lock_guard lock(m_mutex);
    return DispatchTime { fireDateLocked() };
}
