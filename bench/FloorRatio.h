#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cstdint>

namespace quorin::bench {

// The processor time this process has used: on a busy machine it counts only our own work, so
// a ratio of two such times holds where wall-clock times would not.
inline std::chrono::nanoseconds processorTime()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// Runs work as the benchmark's loop, then floor as often, and reports work's processor time as a
// multiple of floor's in the counter "x_floor": a figure that travels between machines, unlike seconds.
template <class Work, class Floor>
void runAgainstFloor(benchmark::State& state, Work&& work, Floor&& floor)
{
    const auto workStart = processorTime();
    for (auto _ : state)
        work();
    const auto workTime = processorTime() - workStart;
    const auto iterations = static_cast<std::int64_t>(state.iterations());
    const auto floorStart = processorTime();
    for (std::int64_t i = 0; i < iterations; ++i)
        floor();
    const auto floorTime = processorTime() - floorStart;
    if (floorTime.count() > 0)
        state.counters["x_floor"] = static_cast<double>(workTime.count()) / static_cast<double>(floorTime.count());
}

}  // namespace quorin::bench
