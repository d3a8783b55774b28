#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace detail {

// The worker threads behind the global and serial queues. Threads start on demand, one more
// whenever work waits and no thread is idle (up to a cap), so work that blocks does not starve
// the rest. The pool lives for the whole process; at exit it lets running jobs finish, joins
// its threads and runs nothing more.
class ThreadPool {
public:
    static ThreadPool& shared();

    void submit(std::function<void()> job);

    // Blocks until no job waits or runs, at most `realTimeoutSeconds`; true when idle.
    bool waitIdle(double realTimeoutSeconds);
    bool isIdle() const;
    std::size_t threadCount() const;

    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

private:
    ThreadPool() = default;
    ~ThreadPool() = default; // never runs: see shared()

    void workerMain();
    void shutdown();

    static constexpr std::size_t kMaxThreads = 64;

    mutable std::mutex m_mutex;
    std::condition_variable m_workAvailable;
    std::condition_variable m_becameIdle;
    std::deque<std::function<void()>> m_jobs;
    std::vector<std::thread> m_threads;
    std::size_t m_idleThreads = 0;
    std::size_t m_running = 0;
    bool m_stopping = false;
};

}
