#include "itemwindow/ImagePaths.h"

#include "vb/Strings.h"

#include <string_view>

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

void rewriteImageElements(std::string& html, const std::string& supportDir, const GraphicsPathLookup& graphicsPath)
{
    for (std::size_t at = vb::upperAscii(html).find("<IMG"); at != std::string::npos;) {
        const std::string upper = vb::upperAscii(html);
        const auto tagEnd = upper.find('>', at);
        const auto src = upper.find("SRC=\"", at);
        std::size_t next = at + 4;
        if (src != std::string::npos && src < tagEnd) {
            const auto start = src + 5;
            const auto end = html.find('"', start);
            if (end != std::string::npos) {
                const std::string reference = html.substr(start, end - start);
                std::string path = reference.find(kFrameBitmapMark) == std::string::npos ? graphicsPath(reference) : "";
                if (path.empty())
                    path = supportDir + reference;
                next = replaceReference(html, start, end, path) + 1;
            }
        }
        at = vb::upperAscii(html).find("<IMG", next);
    }
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
