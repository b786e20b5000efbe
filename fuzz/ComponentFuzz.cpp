#include "FuzzSupport.h"
#include "component/clsMultipleChoice.h"
#include "host/driver/InputFiles.h"
#include "host/driver/SupportObject.h"
#include "platform/EventLoop.h"
#include "vb/ComError.h"
#include "vb/Text.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace {

constexpr const char* kItem =
    "<MultipleChoiceItem Language=\"ENU\"><Choices Max=\"2\" Min=\"1\"><Choice AnswerID=\"A\"/>"
    "<Choice AnswerID=\"B\"/></Choices><Answers><Answer Weight=\"1\">A AND NOT B</Answer></Answers>"
    "</MultipleChoiceItem>";

}  // namespace

// The first byte picks what the outside bytes are handed to: an item definition (then shown,
// laid out and scored), stored state bytes, a response to rescore, or a response to rescore
// quickly with the item document. Whatever comes in, the component must answer without a crash
// and keep a State the driver can read back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const vb::ByteArray bytes(data + 1, data + size);
    auto support =
        std::make_shared<velm::host::SupportObject>(velm::host::bundledStaticStrings(), fuzzSupportDir(), "");
    auto component = quorin::clsMultipleChoice::create();
    component->ExternalSupport(support);
    const int mode = data[0] % 4;
    const bool definitionFromInput = mode == 0;
    const auto item = vb::bytesFromText(kItem);
    component->InitExternalDisplay(definitionFromInput ? bytes : item, 0, 0);
    std::int16_t counts[4] = {};
    float raw = 0;
    std::int32_t length = 0;
    if (mode == 0) {
        component->ShowExternalDisplay(0, 0, 9000, 6000);
        platform::EventLoop::current().runUntilIdle();
        component->ScoreExternalDisplay(counts[0], counts[1], counts[2], counts[3], raw);
    }
    if (mode == 1)
        component->SetExternalStateArray(bytes, static_cast<std::int32_t>(bytes.size()));
    if (mode == 2)
        component->RescoreExternalDisplay(bytes, static_cast<std::int32_t>(bytes.size()), counts[0], counts[1],
                                          counts[2], counts[3], raw);
    if (mode == 3)
        component->RescoreExternalDisplayQuick(bytes, static_cast<std::int32_t>(bytes.size()), counts[0], counts[1],
                                               counts[2], counts[3], raw, item, length);
    platform::EventLoop::current().runUntilIdle();
    vb::ByteArray state(static_cast<std::size_t>(component->GetExternalStateBytes()));
    if (!state.empty())
        component->GetExternalStateArray(state, static_cast<std::int32_t>(state.size()));
    if (!definitionFromInput && !vb::textFromBytes(state).starts_with("<State"))
        __builtin_trap();
    component->FreeExternalDisplay();
    platform::EventLoop::current().clear();
    return 0;
}
