#include "FloorRatio.h"
#include "component/clsMultipleChoice.h"
#include "host/driver/InputFiles.h"
#include "host/driver/SupportObject.h"
#include "keyanswers/modSetAnswers.h"
#include "platform/EventLoop.h"
#include "platform/WindowSystem.h"
#include "vb/Text.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

namespace {

const std::string& mainExample()
{
    static const std::string text =
        velm::host::readFileText(std::filesystem::path(QUORIN_EXAMPLES_DIR) / "basic-item.xml");
    return text;
}

// The least any call on an item does: parse its text and write it back compactly.
void parseAndSerialise(const std::string& text)
{
    pugi::xml_document document;
    document.load_buffer(text.data(), text.size());
    std::ostringstream out;
    document.save(out, "", pugi::format_raw);
    benchmark::DoNotOptimize(out.str());
}

// A component given the driver's support object and window, as a driver hands them over.
struct DriverSide {
    std::shared_ptr<velm::host::SupportObject> support = std::make_shared<velm::host::SupportObject>(
        velm::host::bundledStaticStrings(), std::filesystem::temp_directory_path() / "quorin-bench-support", "");
    platform::WindowHandle window = platform::WindowSystem::instance().createWindow("VelmDriver", "bench");

    DriverSide()
    {
        std::filesystem::create_directories(std::filesystem::temp_directory_path() / "quorin-bench-support");
    }
    ~DriverSide() { platform::WindowSystem::instance().destroyWindow(window); }

    std::shared_ptr<quorin::clsMultipleChoice> initialised()
    {
        auto component = quorin::clsMultipleChoice::create();
        component->ExternalSupport(support);
        component->SetParentWnd(window);
        const auto bytes = vb::bytesFromText(mainExample());
        component->InitExternalDisplay(bytes, static_cast<std::int32_t>(bytes.size()), 0);
        return component;
    }
};

void BM_InitialiseToLaidOut(benchmark::State& state)
{
    DriverSide driver;
    quorin::bench::runAgainstFloor(
        state,
        [&] {
            auto component = driver.initialised();
            component->ShowExternalDisplay(0, 0, 9000, 6000);
            platform::EventLoop::current().runUntilIdle();
            component->FreeExternalDisplay();
            driver.support->clearRecords();
        },
        [] { parseAndSerialise(mainExample()); });
}
BENCHMARK(BM_InitialiseToLaidOut);

void BM_StateRoundTrip(benchmark::State& state)
{
    DriverSide driver;
    auto component = driver.initialised();
    quorin::bench::runAgainstFloor(
        state,
        [&] {
            vb::ByteArray bytes(static_cast<std::size_t>(component->GetExternalStateBytes()));
            component->GetExternalStateArray(bytes, static_cast<std::int32_t>(bytes.size()));
            component->SetExternalStateArray(bytes, static_cast<std::int32_t>(bytes.size()));
            driver.support->clearRecords();
        },
        [] { parseAndSerialise(mainExample()); });
    component->FreeExternalDisplay();
}
BENCHMARK(BM_StateRoundTrip);

void BM_ScoreExternalDisplay(benchmark::State& state)
{
    DriverSide driver;
    auto component = driver.initialised();
    std::int16_t correct = 0, incorrect = 0, notAttempted = 0, notScored = 0;
    float raw = 0;
    quorin::bench::runAgainstFloor(
        state,
        [&] {
            component->ScoreExternalDisplay(correct, incorrect, notAttempted, notScored, raw);
            driver.support->clearRecords();
        },
        [] { parseAndSerialise(mainExample()); });
    component->FreeExternalDisplay();
}
BENCHMARK(BM_ScoreExternalDisplay);

// The driver's fast rescoring: the item document and the response handed over with each call.
void BM_RescoreExternalDisplayQuick(benchmark::State& state)
{
    DriverSide driver;
    auto component = driver.initialised();
    const auto response = vb::bytesFromText("<Responses><Response>A</Response><Response>C</Response></Responses>");
    const auto document = vb::bytesFromText(mainExample());
    std::int16_t correct = 0, incorrect = 0, notAttempted = 0, notScored = 0;
    float raw = 0;
    std::int32_t length = 0;
    quorin::bench::runAgainstFloor(
        state,
        [&] {
            component->RescoreExternalDisplayQuick(response, static_cast<std::int32_t>(response.size()), correct,
                                                   incorrect, notAttempted, notScored, raw, document, length);
            driver.support->clearRecords();
        },
        [] { parseAndSerialise(mainExample()); });
    if (correct != 1)
        state.SkipWithError("the keyed response did not score as correct");
    component->FreeExternalDisplay();
}
BENCHMARK(BM_RescoreExternalDisplayQuick);

void BM_GetKeyAnswers(benchmark::State& state)
{
    quorin::modSetAnswers keys;
    quorin::bench::runAgainstFloor(
        state, [&] { benchmark::DoNotOptimize(keys.GetKeyAnswers("A AND C ", "MC")); },
        [] { parseAndSerialise(mainExample()); });
}
BENCHMARK(BM_GetKeyAnswers);

}  // namespace

BENCHMARK_MAIN();
