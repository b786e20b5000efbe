#include "vb/Markup.h"

#include "vb/Strings.h"

#include <string>

namespace vb {

bool isHtml(std::string_view text)
{
    return text.starts_with("<html>");
}

std::vector<ImageSource> imageSources(std::string_view html)
{
    std::vector<ImageSource> sources;
    for (auto tag = findIgnoringCase(html, "<IMG"); tag != std::string_view::npos;) {
        // An attribute that opens before the tag's end lies wholly before it: it holds no '>'.
        const auto tagEnd = html.find('>', tag);
        const auto src = findIgnoringCase(html.substr(0, tagEnd), "SRC=\"", tag);
        auto next = tag + 4;
        if (src != std::string_view::npos) {
            const auto start = src + 5;
            if (const auto end = html.find('"', start); end != std::string_view::npos) {
                sources.push_back({start, end});
                next = end + 1;
            }
        }
        tag = findIgnoringCase(html, "<IMG", next);
    }
    return sources;
}

}  // namespace vb
