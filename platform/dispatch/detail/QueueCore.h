#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace detail {

// The engine of a DispatchQueue: where its work runs.
class QueueCore {
public:
    virtual ~QueueCore() = default;
    virtual void submit(std::function<void()> work) = 0;
    virtual bool isMain() const { return false; }

    // Runs `work` on this queue once `deadline` (dispatch clock) falls due. The main run loop
    // keeps the deadline; the work keeps this queue alive until it has run.
    static void submitAt(
        const std::shared_ptr<QueueCore>& queue, double deadline, std::function<void()> work);
};

// Work runs on the main thread, from the main run loop.
class MainQueueCore final : public QueueCore {
public:
    void submit(std::function<void()> work) override;
    bool isMain() const override { return true; }
};

// Work runs concurrently on the worker pool.
class GlobalQueueCore final : public QueueCore {
public:
    void submit(std::function<void()> work) override;
};

// Work runs on the worker pool one item at a time, in posting order.
class SerialQueueCore final : public QueueCore, public std::enable_shared_from_this<SerialQueueCore> {
public:
    void submit(std::function<void()> work) override;

private:
    void drain();

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_work;
    bool m_draining = false;
};

}
