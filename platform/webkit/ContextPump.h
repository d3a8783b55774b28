#pragma once

#include <condition_variable>
#include <functional>
#include <glib.h>
#include <mutex>
#include <thread>
#include <vector>

namespace webkitengine {

// GLib's default main context, run by a loop that is not GLib's: the program's own main thread
// dispatches what is ready when told to (pump), and a watcher thread only waits on the context's
// descriptors and time-out meanwhile, saying when to pump again. No GLib source ever runs on the
// watcher, so the engine keeps one UI thread: the program's main thread, which owns the context
// for good.
class ContextPump {
public:
    // `wake` is called from the watcher thread; it must be cheap and thread-safe.
    explicit ContextPump(std::function<void()> wake);
    // Never destroyed while the watcher may run: the engine lives as long as the process.
    ~ContextPump() = delete;
    ContextPump(const ContextPump&) = delete;
    ContextPump& operator=(const ContextPump&) = delete;

    // Main thread: dispatches everything ready (a bounded number of rounds), then hands the
    // context's descriptors and time-out to the watcher. Calls from inside a dispatch are ignored.
    void pump();

private:
    void watch();
    void arm(std::vector<GPollFD> descriptors, int timeoutMilliseconds);

    GMainContext* m_context;
    std::function<void()> m_wake;
    bool m_pumping = false;

    std::mutex m_mutex;
    std::condition_variable m_armed;
    // What the watcher waits on next; `m_generation` tells a newer set from the one it polls.
    std::vector<GPollFD> m_descriptors;
    int m_timeout = -1;
    unsigned long m_generation = 0;
    bool m_hasWork = false;
    // Interrupts the watcher's poll when a newer set arrives.
    int m_interrupt = -1;
    std::thread m_watcher;
};

}
