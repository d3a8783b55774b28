// Throughput of the main run loop: posting work to the main queue and running it.
#include "platform/dispatch/Clock.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"

#include <benchmark/benchmark.h>
#include <thread>

namespace {

void BM_MainQueuePostAndDrain(benchmark::State& state)
{
    const auto batch = state.range(0);
    long counter = 0;
    for (auto _ : state) {
        for (long i = 0; i < batch; ++i)
            DispatchQueue::main().async([&counter] { ++counter; });
        RunLoop::main().drain();
    }
    benchmark::DoNotOptimize(counter);
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_MainQueuePostAndDrain)->Arg(1)->Arg(100)->Arg(10000);

// Posts from a worker thread while the main thread runs them.
void BM_MainQueuePostFromOtherThread(benchmark::State& state)
{
    const long batch = state.range(0);
    long counter = 0;
    for (auto _ : state) {
        std::thread poster([&counter, batch] {
            for (long i = 0; i < batch; ++i)
                DispatchQueue::main().async([&counter] { ++counter; });
        });
        const long target = counter + batch;
        RunLoop::main().runUntil([&] { return counter == target; });
        poster.join();
    }
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_MainQueuePostFromOtherThread)->Arg(10000);

// Delayed work on the virtual clock: scheduling and stepping through deadlines.
void BM_VirtualDeadlinesAdvance(benchmark::State& state)
{
    const auto batch = state.range(0);
    Clock::useVirtual();
    long counter = 0;
    for (auto _ : state) {
        for (long i = 0; i < batch; ++i)
            DispatchQueue::main().asyncAfter(
                DispatchTime::now() + 0.001 * double(i % 100), [&counter] { ++counter; });
        RunLoop::main().advance(0.1);
    }
    Clock::useReal();
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_VirtualDeadlinesAdvance)->Arg(10000);

}
