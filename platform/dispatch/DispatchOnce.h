#pragma once

#include <mutex>
#include <utility>

// A once-only guard: the first perform() runs its function, every other call waits for that run
// to finish and then does nothing. For lazy singletons:
//     static DispatchOnce once;
//     once.perform([] { ... });
// (A function-local static object is already initialised once; use this where the work is not
// the construction of one object.)
class DispatchOnce {
public:
    template<class F> void perform(F&& f) { std::call_once(m_flag, std::forward<F>(f)); }

    template<class F> void operator()(F&& f) { perform(std::forward<F>(f)); }

private:
    std::once_flag m_flag;
};
