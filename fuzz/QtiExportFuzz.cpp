#include "itemformat/ItemFormat.h"
#include "qti/Exporter.h"
#include "qti/ItemImport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Any item of ours exports as a QTI item or a one-line refusal, and what is exported imports
// back: the exporter never writes a QTI item that the importer (our reader of the standard) refuses.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto read = quorin::itemformat::read(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.item)
        return 0;
    const auto version = size % 2 == 0 ? quorin::qti::QtiVersion::V2p2 : quorin::qti::QtiVersion::V3p0;
    const auto exported = quorin::qti::exportItem(*read.item, version, "fuzzed");
    if (exported.xml.empty() == exported.refusal.empty() || exported.refusal.find('\n') != std::string::npos)
        std::abort();
    if (!exported.xml.empty() && !quorin::qti::importItem(exported.xml, {.allowUnfixed = true}).definition)
        std::abort();
    return 0;
}
