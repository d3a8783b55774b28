#include "platform/dispatch/DispatchSource.h"

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/dispatch/detail/QueueCore.h"
#include "platform/dispatch/detail/Timeline.h"

#include <algorithm>
#include <cmath>

// One fire on its way to the source's queue. Whether it runs or is dropped (run loop reset, pool
// stopped at exit), its end lets the next fire through.
struct DispatchSourceTimer::Delivery {
    std::weak_ptr<DispatchSourceTimer> source;

    ~Delivery()
    {
        if (auto strong = source.lock())
            strong->deliveryEnded();
    }
};

std::shared_ptr<DispatchSourceTimer> DispatchSource::makeTimerSource(DispatchQueue* queue)
{
    DispatchQueue& target = queue ? *queue : DispatchQueue::global();
    return std::make_shared<DispatchSourceTimer>(DispatchSourceTimer::Passkey {}, target.core());
}

DispatchSourceTimer::DispatchSourceTimer(Passkey, std::shared_ptr<detail::QueueCore> queue)
    : m_queue(std::move(queue))
{ }

DispatchSourceTimer::~DispatchSourceTimer()
{
    if (m_key)
        RunLoop::main().timeline().cancel(*m_key);
}

void DispatchSourceTimer::schedule(DispatchTime deadline, double repeating, double)
{
    std::lock_guard lock(m_mutex);
    if (m_cancelled)
        return;
    disarmLocked();
    m_start = deadline.seconds;
    m_index = 0;
    m_interval = repeating > 0 ? repeating : 0;
    m_scheduled = true;
    armLocked();
}

void DispatchSourceTimer::setEventHandler(std::function<void()> handler)
{
    std::shared_ptr<const std::function<void()>> previous; // released after the lock
    std::lock_guard lock(m_mutex);
    if (m_cancelled)
        return;
    previous = std::move(m_handler);
    if (handler)
        m_handler = std::make_shared<const std::function<void()>>(std::move(handler));
}

void DispatchSourceTimer::resume()
{
    std::lock_guard lock(m_mutex);
    if (m_cancelled || m_suspendCount == 0)
        return;
    if (--m_suspendCount == 0)
        armLocked();
}

void DispatchSourceTimer::suspend()
{
    std::lock_guard lock(m_mutex);
    if (m_cancelled)
        return;
    if (m_suspendCount++ == 0)
        disarmLocked();
}

void DispatchSourceTimer::cancel()
{
    std::shared_ptr<const std::function<void()>> handler; // released after the lock: it may own this source
    std::lock_guard lock(m_mutex);
    if (m_cancelled)
        return;
    m_cancelled = true;
    disarmLocked();
    handler = std::move(m_handler);
}

bool DispatchSourceTimer::isCancelled() const
{
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

void DispatchSourceTimer::armLocked()
{
    if (!m_scheduled || m_suspendCount > 0 || m_cancelled)
        return;
    const std::uint64_t generation = ++m_generation;
    const double deadline = m_start + static_cast<double>(m_index) * m_interval;
    m_key = RunLoop::main().timeline().postAt(deadline,
        detail::TimelineItem { [weak = weak_from_this(), generation] {
                                  if (auto source = weak.lock())
                                      source->fallDue(generation);
                              },
            nullptr });
}

void DispatchSourceTimer::disarmLocked()
{
    ++m_generation;
    if (m_key) {
        // The removed item holds this source only weakly, so it may go under the lock.
        RunLoop::main().timeline().cancel(*m_key);
        m_key.reset();
    }
}

void DispatchSourceTimer::fallDue(std::uint64_t generation)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_cancelled || generation != m_generation || m_suspendCount > 0 || !m_scheduled)
            return;
        m_key.reset();
        if (m_interval > 0) {
            const double now = Clock::now();
            std::uint64_t next = m_index + 1;
            if (m_start + static_cast<double>(next) * m_interval <= now + detail::kDeadlineTolerance) {
                auto passed = static_cast<std::uint64_t>(std::floor((now - m_start) / m_interval));
                next = std::max(next, passed + 1);
                if (m_start + static_cast<double>(next) * m_interval <= now + detail::kDeadlineTolerance)
                    ++next;
            }
            m_index = next;
            armLocked();
        } else {
            m_scheduled = false;
        }
        if (m_fireQueued)
            return; // coalesced into the fire already on its way
        m_fireQueued = true;
    }
    auto delivery = std::make_shared<Delivery>();
    delivery->source = weak_from_this();
    m_queue->submit([delivery] {
        if (auto source = delivery->source.lock())
            source->deliver();
    });
}

void DispatchSourceTimer::deliver()
{
    std::shared_ptr<const std::function<void()>> handler;
    {
        std::lock_guard lock(m_mutex);
        if (m_cancelled)
            return;
        handler = m_handler;
    }
    if (handler && *handler)
        (*handler)();
}

void DispatchSourceTimer::deliveryEnded()
{
    std::lock_guard lock(m_mutex);
    m_fireQueued = false;
}
