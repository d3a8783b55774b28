#include "platform/dispatch/detail/ThreadPool.h"

#include <chrono>
#include <cstdlib>

namespace detail {

ThreadPool& ThreadPool::shared()
{
    // Never destroyed, so that work or destructors running late in process exit can still reach
    // it; the exit handler stops and joins the threads instead.
    static ThreadPool* pool = [] {
        auto* created = new ThreadPool;
        std::atexit([] { ThreadPool::shared().shutdown(); });
        return created;
    }();
    return *pool;
}

void ThreadPool::submit(std::function<void()> job)
{
    std::lock_guard lock(m_mutex);
    m_jobs.push_back(std::move(job));
    if (m_stopping)
        return; // kept, never run: the process is ending
    if (m_jobs.size() > m_idleThreads && m_threads.size() < kMaxThreads)
        m_threads.emplace_back([this] { workerMain(); });
    else
        m_workAvailable.notify_one();
}

void ThreadPool::workerMain()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        while (!m_stopping && m_jobs.empty()) {
            ++m_idleThreads;
            m_workAvailable.wait(lock);
            --m_idleThreads;
        }
        if (m_stopping)
            return;
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        ++m_running;
        lock.unlock();
        job();
        job = nullptr; // its captures go before the pool can count as idle
        lock.lock();
        --m_running;
        if (m_running == 0)
            m_becameIdle.notify_all();
    }
}

bool ThreadPool::waitIdle(double realTimeoutSeconds)
{
    std::unique_lock lock(m_mutex);
    auto idle = [this] { return m_running == 0 && m_jobs.empty(); };
    return m_becameIdle.wait_for(lock, std::chrono::duration<double>(realTimeoutSeconds), idle);
}

bool ThreadPool::isIdle() const
{
    std::lock_guard lock(m_mutex);
    return m_running == 0 && m_jobs.empty();
}

std::size_t ThreadPool::threadCount() const
{
    std::lock_guard lock(m_mutex);
    return m_threads.size();
}

void ThreadPool::shutdown()
{
    std::vector<std::thread> threads;
    bool finished;
    {
        std::unique_lock lock(m_mutex);
        m_stopping = true;
        m_workAvailable.notify_all();
        // Running jobs get a moment to end; one that blocks for longer is left behind rather
        // than hanging the exit.
        finished = m_becameIdle.wait_for(lock, std::chrono::seconds(2), [this] { return m_running == 0; });
        threads.swap(m_threads);
    }
    for (auto& thread : threads) {
        if (finished && thread.get_id() != std::this_thread::get_id())
            thread.join();
        else
            thread.detach();
    }
}

}
