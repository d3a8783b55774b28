#include "platform/dispatch/detail/QueueCore.h"

#include "platform/dispatch/RunLoop.h"
#include "platform/dispatch/detail/ThreadPool.h"
#include "platform/dispatch/detail/Timeline.h"

namespace detail {

void QueueCore::submitAt(const std::shared_ptr<QueueCore>& queue, double deadline, std::function<void()> work)
{
    auto& timeline = RunLoop::main().timeline();
    if (queue->isMain()) {
        timeline.postAt(deadline, TimelineItem { std::move(work), nullptr });
        return;
    }
    timeline.postAt(deadline,
        TimelineItem {
            [queue, work = std::move(work)]() mutable { queue->submit(std::move(work)); }, nullptr });
}

void MainQueueCore::submit(std::function<void()> work)
{
    RunLoop::main().timeline().post(std::move(work));
}

void GlobalQueueCore::submit(std::function<void()> work)
{
    ThreadPool::shared().submit(std::move(work));
}

void SerialQueueCore::submit(std::function<void()> work)
{
    {
        std::lock_guard lock(m_mutex);
        m_work.push_back(std::move(work));
        if (m_draining)
            return;
        m_draining = true;
    }
    // The drain job keeps the queue alive until its work has run.
    ThreadPool::shared().submit([self = shared_from_this()] { self->drain(); });
}

void SerialQueueCore::drain()
{
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(m_mutex);
            if (m_work.empty()) {
                m_draining = false;
                return;
            }
            work = std::move(m_work.front());
            m_work.pop_front();
        }
        work();
    }
}

}
