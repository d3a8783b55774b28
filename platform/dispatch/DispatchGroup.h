#pragma once

#include <functional>
#include <memory>

class DispatchQueue;

// Counts work in flight: enter() before each job, leave() when it is done; notify() runs its
// work on a queue once the count is back at zero (at once when it already is). Copies share one
// group. Thread-safe.
class DispatchGroup {
public:
    DispatchGroup();

    void enter();
    // A leave() without a matching enter() is ignored rather than driving the count negative.
    void leave();
    void notify(DispatchQueue& queue, std::function<void()> work);

    int pendingCount() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};
