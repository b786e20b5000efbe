#include "FloorRatio.h"
#include "component/clsMultipleChoice.h"
#include "host/InputFiles.h"
#include "host/SupportObject.h"
#include "vb/Text.h"
#include "velm/DataIO.h"
#include "velm/ItemScorer.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// An item with a key of many terms and a state with as many responses.
std::string itemWithResponses(std::int64_t count)
{
    std::string key = "R0";
    std::string responses;
    for (std::int64_t i = 0; i < count; ++i) {
        if (i > 0)
            key += " AND R" + std::to_string(i);
        responses += "<Response>R" + std::to_string(i) + "</Response>";
    }
    return "<MultipleChoiceItem Language=\"ENU\"><Choices Max=\"" + std::to_string(count) + "\"/><Answers>"
        "<Answer Weight=\"2\">" + key + " AND ONLY</Answer></Answers><State><Responses>" + responses
        + "</Responses></State></MultipleChoiceItem>";
}

// Scoring a loaded document, against serialising it once.
void BM_ScoreDocument(benchmark::State& state)
{
    auto data = std::make_shared<velm::DataIO>();
    data->LoadXml(itemWithResponses(state.range(0)));
    velm::ItemScorer scorer;
    scorer.setData(data);
    quorin::bench::runAgainstFloor(
        state, [&] { benchmark::DoNotOptimize(scorer.RawScore()); },
        [&] { benchmark::DoNotOptimize(data->GetXml()); });
}
BENCHMARK(BM_ScoreDocument)->Arg(4)->Arg(400);

// A driver saving and restoring the state, against converting the state text to bytes and back.
void BM_StateRoundTrip(benchmark::State& state)
{
    auto support = std::make_shared<velm::host::SupportObject>(velm::host::bundledStaticStrings(),
                                                               std::filesystem::temp_directory_path(), "");
    auto component = quorin::clsMultipleChoice::create();
    component->ExternalSupport(support);
    component->InitExternalDisplay(vb::bytesFromText(itemWithResponses(state.range(0))), 0, 0);
    vb::ByteArray saved(static_cast<std::size_t>(component->GetExternalStateBytes()));
    component->GetExternalStateArray(saved, static_cast<std::int32_t>(saved.size()));
    const std::string stateText = vb::textFromBytes(saved);
    quorin::bench::runAgainstFloor(
        state,
        [&] {
            vb::ByteArray bytes(static_cast<std::size_t>(component->GetExternalStateBytes()));
            component->GetExternalStateArray(bytes, static_cast<std::int32_t>(bytes.size()));
            component->SetExternalStateArray(bytes, static_cast<std::int32_t>(bytes.size()));
        },
        [&] { benchmark::DoNotOptimize(vb::textFromBytes(vb::bytesFromText(stateText))); });
    component->FreeExternalDisplay();
}
BENCHMARK(BM_StateRoundTrip)->Arg(4)->Arg(400);

}  // namespace

BENCHMARK_MAIN();
