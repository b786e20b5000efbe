#include "itemformat/ItemFormat.h"
#include "qti/ItemImport.h"
#include "velm/ResponseProcessing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Any text handed to the importer comes back as an item or a one-line refusal; an imported item
// reads back as the same item, and its scoring loads in the scorer and scores any response.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    quorin::qti::ImportOptions options;
    options.allowUnfixed = size % 2 == 0;
    const auto result = quorin::qti::importItem(text, options);
    if (!result.definition) {
        if (result.refusal.empty())
            std::abort();
        return 0;
    }
    const std::string written = quorin::itemformat::write(*result.definition);
    const auto reread = quorin::itemformat::read(written);
    if (!reread.item || !reread.item->sameContent(*result.definition))
        std::abort();
    const auto processing = velm::ResponseProcessing::fromXml(written);
    if (!processing)
        std::abort();
    processing->score(processing->answerIds());
    processing->maxScore(result.definition->maxAnswers().value_or(0));
    return 0;
}
