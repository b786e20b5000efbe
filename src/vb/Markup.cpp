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
    const std::string upper = upperAscii(html);
    std::vector<ImageSource> sources;
    for (auto tag = upper.find("<IMG"); tag != std::string::npos;) {
        const auto tagEnd = upper.find('>', tag);
        const auto src = upper.find("SRC=\"", tag);
        auto next = tag + 4;
        if (src != std::string::npos && src < tagEnd) {
            const auto start = src + 5;
            if (const auto end = html.find('"', start); end != std::string_view::npos) {
                sources.push_back({start, end});
                next = end + 1;
            }
        }
        tag = upper.find("<IMG", next);
    }
    return sources;
}

}  // namespace vb
