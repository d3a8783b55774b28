#include "platform/webkit/ContextPump.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace webkitengine {

namespace {

// Rounds of dispatch per pump: a context that always has something ready (an idle source that
// keeps itself) cannot hold the program's main loop; the next pump goes on at once.
constexpr int maxRoundsPerPump = 64;
// While a wake goes unanswered (the program's loop dropped the posted pump, or is busy), the
// watcher says it again at this pace.
constexpr auto rewakeInterval = std::chrono::milliseconds(100);

}

ContextPump::ContextPump(std::function<void()> wake)
    : m_context(g_main_context_default())
    , m_wake(std::move(wake))
    , m_interrupt(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    // Owned by this thread from now on: sources that other threads add then signal the context's
    // wake-up descriptor, which the watcher sees.
    g_main_context_acquire(m_context);
    m_watcher = std::thread([this] { watch(); });
    m_watcher.detach();
}

void ContextPump::pump()
{
    if (m_pumping)
        return;
    m_pumping = true;
    std::vector<GPollFD> descriptors(16);
    gint count = 0;
    gint timeout = -1;
    bool ready = false;
    for (int round = 0; round < maxRoundsPerPump; ++round) {
        gint priority = 0;
        g_main_context_prepare(m_context, &priority);
        while ((count = g_main_context_query(
                    m_context, priority, &timeout, descriptors.data(), static_cast<gint>(descriptors.size())))
            > static_cast<gint>(descriptors.size()))
            descriptors.resize(static_cast<std::size_t>(count));
        if (count > 0)
            g_poll(descriptors.data(), static_cast<guint>(count), 0);
        ready = g_main_context_check(m_context, priority, descriptors.data(), count);
        if (!ready)
            break;
        g_main_context_dispatch(m_context);
    }
    descriptors.resize(static_cast<std::size_t>(count));
    for (GPollFD& descriptor : descriptors)
        descriptor.revents = 0;
    // Still ready after the last round: come back at once.
    arm(std::move(descriptors), ready ? 0 : timeout);
    m_pumping = false;
}

void ContextPump::arm(std::vector<GPollFD> descriptors, int timeoutMilliseconds)
{
    {
        std::lock_guard lock(m_mutex);
        m_descriptors = std::move(descriptors);
        m_timeout = timeoutMilliseconds;
        ++m_generation;
        m_hasWork = true;
    }
    m_armed.notify_one();
    std::uint64_t one = 1;
    // A watcher polling an older set polls this one instead.
    [[maybe_unused]] auto written = ::write(m_interrupt, &one, sizeof one);
}

void ContextPump::watch()
{
    unsigned long answered = 0;
    std::unique_lock lock(m_mutex);
    for (;;) {
        auto newer = [&] { return m_hasWork && m_generation != answered; };
        if (!newer()) {
            if (!m_armed.wait_for(lock, rewakeInterval, newer)) {
                if (m_hasWork) {
                    lock.unlock();
                    m_wake();
                    lock.lock();
                }
                continue;
            }
        }
        unsigned long generation = m_generation;
        std::vector<pollfd> descriptors;
        descriptors.reserve(m_descriptors.size() + 1);
        for (const GPollFD& descriptor : m_descriptors)
            descriptors.push_back({ descriptor.fd, static_cast<short>(descriptor.events), 0 });
        descriptors.push_back({ m_interrupt, POLLIN, 0 });
        int timeout = m_timeout;
        lock.unlock();

        int result = ::poll(descriptors.data(), descriptors.size(), timeout);
        bool interrupted = descriptors.back().revents != 0;
        if (interrupted) {
            std::uint64_t count = 0;
            [[maybe_unused]] auto read = ::read(m_interrupt, &count, sizeof count);
        }
        bool ready = result == 0;
        for (std::size_t i = 0; i + 1 < descriptors.size(); ++i)
            ready = ready || descriptors[i].revents != 0;
        if (result < 0 && errno != EINTR)
            ready = true;

        lock.lock();
        if (m_generation != generation || !ready)
            continue;
        answered = generation;
        lock.unlock();
        m_wake();
        lock.lock();
    }
}

}
