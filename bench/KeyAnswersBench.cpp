#include "FloorRatio.h"
#include "keyanswers/modSetAnswers.h"

#include "vb/Strings.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string repeated(const std::string& text, std::size_t count)
{
    std::string result;
    for (std::size_t i = 0; i < count; ++i)
        result += text;
    return result;
}

std::string chainOf(std::size_t terms)
{
    return "A" + repeated(" OR B", terms - 1);
}
std::string nestOf(std::size_t depth)
{
    return repeated("(", depth) + "A" + repeated(")", depth);
}

// Evaluates text against the floor of upper-casing a copy of it, the least work any evaluation does.
void evaluateAgainstFloor(benchmark::State& state, const std::string& text, const char* type)
{
    quorin::modSetAnswers keys;
    quorin::bench::runAgainstFloor(
        state, [&] { benchmark::DoNotOptimize(keys.GetKeyAnswers(text, type)); },
        [&] { benchmark::DoNotOptimize(vb::upperAscii(text)); });
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_TypicalKey(benchmark::State& state)
{
    evaluateAgainstFloor(state, "A AND (B OR C) AND NOT D", "MC");
}
BENCHMARK(BM_TypicalKey);

void BM_LongChain(benchmark::State& state)
{
    evaluateAgainstFloor(state, chainOf(static_cast<std::size_t>(state.range(0))), "MC");
}
BENCHMARK(BM_LongChain)->Arg(8)->Arg(20000);

void BM_DeepNest(benchmark::State& state)
{
    evaluateAgainstFloor(state, nestOf(static_cast<std::size_t>(state.range(0))), "MC");
}
BENCHMARK(BM_DeepNest)->Arg(8)->Arg(50000);

void BM_LinkTwins(benchmark::State& state)
{
    evaluateAgainstFloor(state, repeated("(A1B OR B1A) AND ", static_cast<std::size_t>(state.range(0))) + "C2D", "DC");
}
BENCHMARK(BM_LinkTwins)->Arg(1)->Arg(6000);

}  // namespace

BENCHMARK_MAIN();
