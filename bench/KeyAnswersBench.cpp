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

std::string chainOf(std::size_t terms) { return "A" + repeated(" OR B", terms - 1); }
std::string nestOf(std::size_t depth) { return repeated("(", depth) + "A" + repeated(")", depth); }

// The floor: upper-casing a copy of the text, the least work any evaluation of it does.
void BM_FloorUpperCase(benchmark::State& state)
{
    const auto text = chainOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(vb::upperAscii(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FloorUpperCase)->Arg(8)->Arg(20000);

void BM_TypicalKey(benchmark::State& state)
{
    quorin::modSetAnswers keys;
    for (auto _ : state)
        benchmark::DoNotOptimize(keys.GetKeyAnswers("A AND (B OR C) AND NOT D", "MC"));
}
BENCHMARK(BM_TypicalKey);

void BM_LongChain(benchmark::State& state)
{
    const auto text = chainOf(static_cast<std::size_t>(state.range(0)));
    quorin::modSetAnswers keys;
    for (auto _ : state)
        benchmark::DoNotOptimize(keys.GetKeyAnswers(text, "MC"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LongChain)->Arg(8)->Arg(20000);

void BM_DeepNest(benchmark::State& state)
{
    const auto text = nestOf(static_cast<std::size_t>(state.range(0)));
    quorin::modSetAnswers keys;
    for (auto _ : state)
        benchmark::DoNotOptimize(keys.GetKeyAnswers(text, "MC"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DeepNest)->Arg(8)->Arg(50000);

void BM_LinkTwins(benchmark::State& state)
{
    const auto text = repeated("(A1B OR B1A) AND ", static_cast<std::size_t>(state.range(0))) + "C2D";
    quorin::modSetAnswers keys;
    for (auto _ : state)
        benchmark::DoNotOptimize(keys.GetKeyAnswers(text, "DC"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LinkTwins)->Arg(1)->Arg(6000);

}  // namespace

BENCHMARK_MAIN();
