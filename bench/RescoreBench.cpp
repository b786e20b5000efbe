#include "FloorRatio.h"
#include "host/cli/CommandLine.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

namespace {

// Stored responses of the main example in JSON lines, cycling through the three forms.
std::string responses(std::int64_t count)
{
    const char* const forms[] = {"A, C", "B", "<Responses><Response>A</Response></Responses>", "<UserAnswers><C/></UserAnswers>"};
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

// velm-host rescore as a line filter over count responses: the rate, and how much the resident
// high-water mark grew while it ran (flat means constant memory, whatever the count).
void BM_VelmHostRescore(benchmark::State& state)
{
    const std::string input = responses(state.range(0));
    const std::string item = std::string(QUORIN_EXAMPLES_DIR) + "/basic-item.xml";
    const char* argv[] = {"velm-host", "rescore", item.c_str(), "-"};
    const long residentBefore = maxResidentKb();
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
    state.counters["lines_per_s"] = benchmark::Counter(static_cast<double>(state.range(0)) * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate);
    state.counters["rss_growth_kb"] = static_cast<double>(maxResidentKb() - residentBefore);
}
BENCHMARK(BM_VelmHostRescore)->Arg(10000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
