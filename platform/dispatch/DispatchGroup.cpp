#include "platform/dispatch/DispatchGroup.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/detail/QueueCore.h"

#include <mutex>
#include <utility>
#include <vector>

struct DispatchGroup::State {
    std::mutex mutex;
    int count = 0;
    std::vector<std::pair<std::shared_ptr<detail::QueueCore>, std::function<void()>>> waiting;
};

DispatchGroup::DispatchGroup()
    : m_state(std::make_shared<State>())
{ }

void DispatchGroup::enter()
{
    std::lock_guard lock(m_state->mutex);
    ++m_state->count;
}

void DispatchGroup::leave()
{
    decltype(State::waiting) ready;
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->count == 0)
            return;
        if (--m_state->count == 0)
            ready.swap(m_state->waiting);
    }
    for (auto& [queue, work] : ready)
        queue->submit(std::move(work));
}

void DispatchGroup::notify(DispatchQueue& queue, std::function<void()> work)
{
    if (!work)
        return;
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->count > 0) {
            m_state->waiting.emplace_back(queue.core(), std::move(work));
            return;
        }
    }
    queue.core()->submit(std::move(work));
}

int DispatchGroup::pendingCount() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->count;
}
