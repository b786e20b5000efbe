#include "itemwindow/ImagePaths.h"

#include "vb/Markup.h"

#include <string_view>
#include <vector>

namespace quorin {
namespace {

constexpr std::string_view kFrameBitmapMark = "hdt.bmp";

// Puts replacement in place of the reference at [start, end) and returns where the text after
// it now begins, so a reference is never visited twice, whatever the replacement holds.
std::size_t replaceReference(std::string& html, std::size_t start, std::size_t end, const std::string& replacement)
{
    html.replace(start, end - start, replacement);
    return start + replacement.size();
}

// The driver is asked in the order the references stand; they are then replaced from the last
// to the first, so each replacement leaves the places before it standing.
void rewriteImageElements(std::string& html, const std::string& supportDir, const GraphicsPathLookup& graphicsPath)
{
    const auto sources = vb::imageSources(html);
    std::vector<std::string> paths;
    for (const auto& source : sources) {
        const std::string reference = html.substr(source.start, source.end - source.start);
        std::string path = reference.find(kFrameBitmapMark) == std::string::npos ? graphicsPath(reference) : "";
        paths.push_back(path.empty() ? supportDir + reference : path);
    }
    for (auto i = sources.size(); i-- > 0;)
        html.replace(sources[i].start, sources[i].end - sources[i].start, paths[i]);
}

void rewriteUrlDeclarations(std::string& html, std::string_view pattern, const std::string& supportDir)
{
    for (auto at = html.find(pattern); at != std::string::npos;) {
        const auto start = at + pattern.size();
        const auto end = html.find(')', start);
        if (end == std::string::npos)
            return;
        const auto next = replaceReference(html, start, end, supportDir + html.substr(start, end - start));
        at = html.find(pattern, next);
    }
}

}  // namespace

std::string rewriteImagePaths(std::string html, const std::string& supportDir, const GraphicsPathLookup& graphicsPath)
{
    rewriteImageElements(html, supportDir, graphicsPath);
    rewriteUrlDeclarations(html, "BACKGROUND-IMAGE:url(", supportDir);
    rewriteUrlDeclarations(html, "LIST-STYLE-IMAGE:url(", supportDir);
    return html;
}

}  // namespace quorin
