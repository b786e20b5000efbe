#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

namespace quorin::bench {

// Runs work as the benchmark's loop, then floor as often, and reports work's time as a multiple
// of floor's in the counter "x_floor": a figure that travels between machines, unlike seconds.
template <class Work, class Floor>
void runAgainstFloor(benchmark::State& state, Work&& work, Floor&& floor)
{
    using Clock = std::chrono::steady_clock;
    const auto workStart = Clock::now();
    for (auto _ : state)
        work();
    const auto workTime = Clock::now() - workStart;
    const auto iterations = static_cast<std::int64_t>(state.iterations());
    const auto floorStart = Clock::now();
    for (std::int64_t i = 0; i < iterations; ++i)
        floor();
    const auto floorTime = Clock::now() - floorStart;
    if (floorTime.count() > 0)
        state.counters["x_floor"] = static_cast<double>(workTime.count()) / static_cast<double>(floorTime.count());
}

}  // namespace quorin::bench
