#pragma once

#include "platform/Font.h"

#include <cstdint>
#include <string_view>

namespace platform {

// Deterministic text measures in twips, standing in for a font rasteriser. With em = size in
// points × 20 twips: every code point advances em × 0.5 (em × 0.55 when bold), a line is
// round(em × 1.2) high, a line's width is round(code points × advance), CR LF or LF starts a
// new line, and wrapping breaks at blanks (a word wider than the limit is cut by code points).
class TextMetrics {
public:
    // A measured extent in twips.
    struct Size {
        std::int32_t width = 0;
        std::int32_t height = 0;
        friend bool operator==(const Size&, const Size&) = default;
    };

    // The advance of one code point, in twips.
    static double advance(const Font& font);
    // The height of one line, in twips.
    static std::int32_t lineHeight(const Font& font);
    // The extent of text without wrapping: the widest line by the number of lines (at least one).
    static Size measure(const Font& font, std::string_view text);
    // The extent of text wrapped at width twips: the widest wrapped line by the number of lines.
    static Size measureWrapped(const Font& font, std::string_view text, std::int32_t width);
};

}  // namespace platform
