#include "itemwindow/ImagePaths.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// A folder name no input holds, so every place the rewriting touched can be found again.
const std::string kSupportDir = "\x01support\x01/";

std::string withoutSupportDir(std::string text)
{
    for (auto at = text.find(kSupportDir); at != std::string::npos; at = text.find(kSupportDir, at))
        text.erase(at, kSupportDir.size());
    return text;
}

}  // namespace

// The first byte picks whether the driver knows images; the rest is the HTML. Whatever it is,
// the rewriting ends, and when the driver knows no image it only inserts the support folder:
// taking those insertions out again must give the HTML back unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool driverKnowsImages = (data[0] & 1) != 0;
    const std::string html(reinterpret_cast<const char*>(data + 1), size - 1);
    if (html.find('\x01') != std::string::npos)
        return 0;
    const quorin::GraphicsPathLookup driver = [&](const std::string& reference) {
        return driverKnowsImages ? "/graphics/" + reference : std::string();
    };
    const auto rewritten = quorin::rewriteImagePaths(html, kSupportDir, driver);
    if (!driverKnowsImages && withoutSupportDir(rewritten) != html)
        __builtin_trap();
    return 0;
}
