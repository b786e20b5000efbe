#include "FloorRatio.h"
#include "host/batch/RescoreWriter.h"
#include "host/batch/ResponseReader.h"
#include "host/cli/CommandLine.h"
#include "host/driver/InputFiles.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

namespace {

// Stored responses of the main example in JSON lines, cycling through the three forms.
std::string responses(std::int64_t count)
{
    const char* const forms[] = {"A, C", "B", "<Responses><Response>A</Response></Responses>",
                                 "<UserAnswers><C/></UserAnswers>"};
    std::string text;
    for (std::int64_t i = 0; i < count; ++i)
        text += "{\"id\":" + std::to_string(i) + ",\"response\":\"" + forms[i % 4] + "\"}\n";
    return text;
}

// Reads a string in place, so the benchmark's input is not copied into the measured memory.
class StringViewBuffer : public std::streambuf {
public:
    explicit StringViewBuffer(const std::string& text)
    {
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

// Takes every character and keeps none, as a pipe to the next program would.
class DiscardingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

long maxResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The main example, or the main example keyed with three weighted keys, as a file to rescore against.
std::string itemPath(std::int64_t which)
{
    const auto mainExample = std::filesystem::path(QUORIN_EXAMPLES_DIR) / "basic-item.xml";
    if (which == 0)
        return mainExample.string();
    const auto weighted = std::filesystem::temp_directory_path() / "quorin-bench-weighted-item.xml";
    std::string text = velm::host::readFileText(mainExample);
    const std::string key = R"(<Answer Weight="1">A AND C AND ONLY</Answer>)";
    text.replace(text.find(key), key.size(),
                 R"(<Answer Weight="2">A AND C AND ONLY</Answer><Answer Weight="1">A AND NOT B</Answer>)"
                 R"(<Answer Weight="0.5">C OR D</Answer>)");
    std::ofstream(weighted) << text;
    return weighted.string();
}

// The least a line filter does for the input: read each line with the same reader and write a
// record of the same shape, without scoring.
void readAndWrite(const std::string& input)
{
    StringViewBuffer inBuffer(input);
    DiscardingBuffer outBuffer;
    std::istream in(&inBuffer);
    std::ostream out(&outBuffer);
    velm::host::ResponseReader reader(in, velm::host::ResponseReader::Format::JsonLines);
    velm::host::RescoreWriter writer(out, velm::host::ResponseReader::Format::JsonLines);
    velm::host::RescoreOutcome outcome;
    outcome.score = {true, 1, 0, 0, 0, 1};
    while (const auto record = reader.next())
        writer.write(*record, outcome);
}

// velm-host rescore as a line filter over count responses against the main example (0) or an
// item with three weighted keys (1): the rate, its time as a multiple of reading and writing the
// same lines without scoring, and how much the resident high-water mark grew while it ran (flat
// means constant memory, whatever the count).
void BM_VelmHostRescore(benchmark::State& state)
{
    const std::string input = responses(state.range(0));
    const std::string item = itemPath(state.range(1));
    const char* argv[] = {"velm-host", "rescore", item.c_str(), "-"};
    const long residentBefore = maxResidentKb();
    const auto workStart = quorin::bench::processorTime();
    for (auto _ : state) {
        StringViewBuffer inBuffer(input);
        DiscardingBuffer outBuffer;
        std::istream in(&inBuffer);
        std::ostream out(&outBuffer);
        std::ostringstream err;
        velm::host::Console console{in, out, err};
        if (velm::host::runCommandLine(4, argv, console) != 0)
            state.SkipWithError(err.str().c_str());
    }
    const auto workTime = quorin::bench::processorTime() - workStart;
    state.counters["lines_per_s"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["rss_growth_kb"] = static_cast<double>(maxResidentKb() - residentBefore);
    const auto floorStart = quorin::bench::processorTime();
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(state.iterations()); ++i)
        readAndWrite(input);
    const auto floorTime = quorin::bench::processorTime() - floorStart;
    if (floorTime.count() > 0)
        state.counters["x_floor"] = static_cast<double>(workTime.count()) / static_cast<double>(floorTime.count());
}
BENCHMARK(BM_VelmHostRescore)
    ->ArgNames({"lines", "weighted"})
    ->Args({10000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
