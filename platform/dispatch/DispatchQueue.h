#pragma once

#include "platform/dispatch/DispatchTime.h"

#include <functional>
#include <memory>
#include <string>

namespace detail {
class QueueCore;
}

// A queue of work items.
//  - main(): runs on the main thread, one item at a time, through the main run loop (RunLoop).
//  - global(): concurrent; items run on a shared pool of worker threads.
//  - makeSerial(): one item at a time, in posting order, on the worker pool.
// async() and asyncAfter() are thread-safe. Delayed work is measured on the dispatch clock
// (Clock) whatever the queue: the main run loop keeps every deadline and hands the work to its
// queue when it falls due, so under the virtual clock it runs only when RunLoop::advance()
// passes the deadline.
//
// The main thread is the thread that first touches the main run loop. The library touches it
// while the program is being initialised, so in practice it is the process's initial thread
// (the thread that runs main() and the tests).
//
// Queue objects may be dropped while work is pending: the pending work keeps the queue alive.
class DispatchQueue {
public:
    static DispatchQueue& main();
    static DispatchQueue& global();
    static std::shared_ptr<DispatchQueue> makeSerial(std::string label);

    void async(std::function<void()> work);
    void asyncAfter(DispatchTime deadline, std::function<void()> work);

    static bool isMainThread();

    const std::string& label() const { return m_label; }

    explicit DispatchQueue(std::shared_ptr<detail::QueueCore> core, std::string label);
    ~DispatchQueue();
    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

    // The queue's engine, shared with pending work, timer sources and groups.
    const std::shared_ptr<detail::QueueCore>& core() const { return m_core; }

private:
    std::shared_ptr<detail::QueueCore> m_core;
    std::string m_label;
};
