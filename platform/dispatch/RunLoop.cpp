#include "platform/dispatch/RunLoop.h"

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/Timer.h"
#include "platform/dispatch/detail/MainThread.h"
#include "platform/dispatch/detail/ThreadPool.h"
#include "platform/dispatch/detail/Timeline.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

std::atomic<std::thread::id> g_mainThread;

// How long drain(), advance() and reset() wait for busy workers before going on without them.
constexpr double kWorkerWaitSeconds = 10.0;
// Under the virtual clock run() polls the workers at this pace before letting time jump.
constexpr double kVirtualIdlePollSeconds = 0.005;
constexpr double kConditionPollSeconds = 0.005;

bool onMainThread(const char* operation)
{
    if (detail::isMainThread())
        return true;
    std::fprintf(stderr, "zv_dispatch: RunLoop::%s is for the main thread; ignored\n", operation);
    return false;
}

}

RunLoop& RunLoop::main()
{
    // Never destroyed: threads and destructors may post to it until the process is gone.
    static RunLoop* loop = [] {
        g_mainThread.store(std::this_thread::get_id());
        return new RunLoop;
    }();
    return *loop;
}

namespace {

// Touch the main run loop while the program initialises, so the main thread is the process's
// initial thread even when a worker happens to post first.
[[maybe_unused]] const bool g_mainThreadClaimed = (RunLoop::main(), true);

}

bool detail::isMainThread()
{
    RunLoop::main();
    return std::this_thread::get_id() == g_mainThread.load();
}

RunLoop::RunLoop()
    : m_timeline(std::make_unique<detail::Timeline>())
{ }

RunLoop::~RunLoop() = default;

void RunLoop::runDue()
{
    while (auto item = m_timeline->takeDue(Clock::now())) {
        if (item->work)
            item->work();
    }
}

bool RunLoop::waitForWorkers()
{
    if (detail::ThreadPool::shared().waitIdle(kWorkerWaitSeconds))
        return true;
    std::fprintf(stderr,
        "zv_dispatch: background work still running after %.0f s; the run loop goes on without it "
        "(work that blocks for long belongs on a thread of its own)\n",
        kWorkerWaitSeconds);
    return false;
}

void RunLoop::run()
{
    if (!onMainThread("run"))
        return;
    for (;;) {
        if (m_timeline->consumeStop())
            return;
        runDue();
        if (m_timeline->consumeStop())
            return;
        if (!Clock::isVirtual()) {
            m_timeline->waitForWork(std::nullopt, true);
            continue;
        }
        if (m_timeline->hasDue(Clock::now()))
            continue;
        // Virtual time moves on only when nothing else can happen first.
        if (!detail::ThreadPool::shared().isIdle()) {
            m_timeline->waitForWork(Clock::realNow() + kVirtualIdlePollSeconds, true);
            continue;
        }
        if (auto next = m_timeline->nextDeadline()) {
            Clock::advanceVirtualTo(*next);
            continue;
        }
        m_timeline->waitForWork(std::nullopt, true);
    }
}

void RunLoop::stop()
{
    m_timeline->requestStop();
}

void RunLoop::advance(double seconds)
{
    if (!onMainThread("advance"))
        return;
    if (!Clock::isVirtual()) {
        drain();
        return;
    }
    const double target = Clock::now() + std::max(0.0, seconds);
    for (;;) {
        drain();
        auto next = m_timeline->nextDeadline();
        if (!next || *next > target + detail::kDeadlineTolerance)
            break;
        Clock::advanceVirtualTo(*next);
    }
    Clock::advanceVirtualTo(target);
    drain();
}

void RunLoop::drain()
{
    if (!onMainThread("drain"))
        return;
    for (;;) {
        runDue();
        if (!waitForWorkers()) {
            runDue();
            return;
        }
        if (!m_timeline->hasDue(Clock::now()))
            return;
    }
}

bool RunLoop::runUntil(const std::function<bool()>& done, double realTimeoutSeconds)
{
    if (!onMainThread("runUntil"))
        return done();
    const double end = Clock::realNow() + realTimeoutSeconds;
    for (;;) {
        runDue();
        if (done())
            return true;
        const double now = Clock::realNow();
        if (now >= end)
            return false;
        // done() may turn true on another thread without a post to wake us (a server's log):
        // look again every few milliseconds.
        m_timeline->waitForWork(std::min(end, now + kConditionPollSeconds), false);
    }
}

void RunLoop::reset()
{
    if (!onMainThread("reset"))
        return;
    auto dropAll = [this] {
        // A few rounds: destroying dropped work may post again.
        for (int round = 0; round < 4 && m_timeline->size() > 0; ++round) {
            auto items = m_timeline->takeAll();
            for (auto& item : items) {
                if (item.timer)
                    item.timer->invalidate();
            }
        }
    };
    dropAll();
    waitForWorkers();
    dropAll();
    m_timeline->consumeStop();
}

std::size_t RunLoop::pendingCount() const
{
    return m_timeline->size();
}

std::optional<DispatchTime> RunLoop::nextDeadline() const
{
    if (auto next = m_timeline->nextDeadline())
        return DispatchTime { *next };
    return std::nullopt;
}
